#include "Uploads.h"

#include "PostedLogDecoder.h"

#include "util/FileSystem.h"
#include "util/Text.h"

#include <ctime>
#include <system_error>

namespace tamsel::server {

namespace fs = std::filesystem;

std::string UnescapePostData(std::string_view escaped) {
    std::string out;
    out.reserve(escaped.size());
    for (std::size_t i = 0; i < escaped.size(); ++i) {
        const std::string_view rest = escaped.substr(i);
        if (escaped[i] == '+') {
            out += ' ';
        } else if (rest.size() >= 3 && rest[0] == '%' && EqualsNoCase(rest.substr(0, 3), "%26")) {
            out += '&';
            i += 2;
        } else if (rest.size() >= 3 && EqualsNoCase(rest.substr(0, 3), "%0D")) {
            out += '\r';
            i += 2;
        } else if (rest.size() >= 3 && EqualsNoCase(rest.substr(0, 3), "%0A")) {
            out += '\n';
            i += 2;
        } else {
            out += escaped[i];
        }
    }
    return out;
}

std::optional<std::string> UploadedLog(std::string_view body) {
    PostedLogDecoder decoder;
    std::string log;
    decoder.feed(body, log);
    decoder.finish(log);
    return decoder.found() ? std::optional(std::move(log)) : std::nullopt;
}

ReportStore::ReportStore(fs::path folder) : folder_(std::move(folder)) {}

std::optional<fs::path> ReportStore::store(const std::string& log) {
    std::lock_guard lock(mutex_);
    std::error_code error;
    fs::create_directories(folder_, error);
    if (!fs::is_directory(folder_, error)) {
        return std::nullopt;
    }
    const fs::path file = nextName();
    if (!WriteFileAtomically(file.string(), log)) {
        return std::nullopt;
    }
    return file;
}

std::optional<fs::path> ReportStore::keep(const fs::path& written) {
    std::lock_guard lock(mutex_);
    const fs::path file = nextName();
    std::error_code error;
    fs::rename(written, file, error);
    if (error) {
        return std::nullopt;
    }
    return file;
}

fs::path ReportStore::freshName() {
    std::lock_guard lock(mutex_);
    return nextName();
}

fs::path ReportStore::nextName() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    std::error_code error;
    fs::path file;
    do {
        file =
            folder_ / ("report-" + std::string(stamp) + "-" + std::to_string(++counter_) + ".txt");
    } while (fs::exists(file, error));
    return file;
}

}  // namespace tamsel::server
