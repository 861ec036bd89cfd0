#include "ui/NameServer.h"

#include "util/Text.h"

namespace tamsel {

std::string NameServerQueryUrl(const CCatalogue& remote, std::string_view ein) {
    return ReplaceAll(remote.EinConfirmation(), "%ein%", ein);
}

bool IsNameServerAnswer(const CCatalogue& remote, std::string_view answer) {
    return answer.find(remote.EinConfirmationResponse()) != std::string_view::npos;
}

bool IsIncorrectNumberAnswer(const CCatalogue& remote, std::string_view answer) {
    return answer.find(remote.EinConfirmationResponseFail()) != std::string_view::npos;
}

std::string NameServerField(std::string_view answer, std::string_view key) {
    if (answer.empty()) {
        return {};
    }
    const std::size_t keyAt = FindNoCase(answer, key);
    if (keyAt == std::string_view::npos) {
        return {};
    }
    // The "=" is looked for from the key's second character on.
    const std::size_t equalsAt = answer.find('=', keyAt + 1);
    if (equalsAt == std::string_view::npos) {
        return {};
    }
    const std::size_t valueAt = answer.find_first_not_of(' ', equalsAt + 1);
    if (valueAt == std::string_view::npos) {
        return {};
    }
    const std::size_t endAt = answer.find(',', valueAt);
    return std::string(answer.substr(
        valueAt, endAt == std::string_view::npos ? std::string_view::npos : endAt - valueAt));
}

NameServerPerson ReadNameServerPerson(std::string_view answer) {
    return NameServerPerson{NameServerField(answer, "name"), NameServerField(answer, "surname"),
                            NameServerField(answer, "email")};
}

void KeepNameServerAnswer(CMetrics& metrics, const std::string& answer) {
    metrics.EinResponse(answer + "\r\n");
}

}  // namespace tamsel
