#include "CatalogueJson.h"

#include <string_view>

namespace tamsel::kit {

namespace {

bool IsUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t follow = 0;
        if (lead < 0x80) {
            follow = 0;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            follow = 1;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            follow = 2;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            follow = 3;
        } else {
            return false;
        }
        if (i + follow >= text.size()) {
            return false;
        }
        for (std::size_t k = 1; k <= follow; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) {
                return false;
            }
        }
        i += follow + 1;
    }
    return true;
}

// Catalogues are single-byte text; JSON wants UTF-8.
std::string Text(const std::string& text) {
    if (IsUtf8(text)) {
        return text;
    }
    std::string utf8;
    utf8.reserve(text.size() * 2);
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            utf8 += c;
        } else {
            utf8 += static_cast<char>(0xC0 | (byte >> 6));
            utf8 += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return utf8;
}

nlohmann::ordered_json FileJson(const CFile& file) {
    return {{"url", Text(file.URL())},
            {"fullURL", Text(file.fullURL())},
            {"date", Text(file.Time())},
            {"size", Text(file.Size())},
            {"action", Text(file.Action())}};
}

}  // namespace

nlohmann::ordered_json CatalogueToJson(const CCatalogue& catalogue) {
    nlohmann::ordered_json files = nlohmann::ordered_json::array();
    for (const auto& file : catalogue.Files().asCollection()) {
        files.push_back(FileJson(*file));
    }
    nlohmann::ordered_json excluded = nlohmann::ordered_json::array();
    for (const auto& file : catalogue.Excluded().asCollection()) {
        excluded.push_back({{"url", Text(file->URL())}});
    }
    nlohmann::ordered_json special = nlohmann::ordered_json::array();
    for (const auto& file : catalogue.Special().asCollection()) {
        if (file->isScript()) {
            special.push_back({{"script", Text(file->Script())}});
        } else {
            special.push_back(FileJson(*file));
        }
    }
    nlohmann::ordered_json menus = nlohmann::ordered_json::array();
    for (const auto& menu : catalogue.Menus().asCollection()) {
        nlohmann::ordered_json choices = nlohmann::ordered_json::array();
        for (const auto& choice : menu->asCollection()) {
            choices.push_back({{"choice", Text(choice->Choice())},
                               {"home", Text(choice->Home())},
                               {"active", choice->Active()}});
        }
        menus.push_back(
            {{"caption", Text(menu->Caption())}, {"force", menu->Force()}, {"choices", choices}});
    }
    nlohmann::ordered_json settings = {
        {"log", Text(catalogue.Log())},
        {"full_log", Text(catalogue.FullLog())},
        {"full_confirmation", Text(catalogue.FullConfirmation())},
        {"ein_confirmation", Text(catalogue.EinConfirmation())},
        {"ein_confirmation_response", Text(catalogue.EinConfirmationResponse())},
        {"ein_confirmation_response_fail", Text(catalogue.EinConfirmationResponseFail())},
    };
    return {{"files", files},
            {"excluded", excluded},
            {"special", special},
            {"menus", menus},
            {"settings", settings}};
}

}  // namespace tamsel::kit
