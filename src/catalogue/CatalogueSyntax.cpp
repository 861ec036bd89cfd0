#include "catalogue/CatalogueSyntax.h"

#include <array>

#include "util/Text.h"

namespace tamsel {

namespace {

constexpr std::array<Section, 5> kSectionOrder = {Section::Common, Section::Menu, Section::Exclude,
                                                  Section::Settings, Section::Special};

}  // namespace

std::string_view SectionMarker(Section section) {
    switch (section) {
        case Section::Common:
            return "[COMMON]";
        case Section::Menu:
            return "[MENU]";
        case Section::Exclude:
            return "[EXCLUDE]";
        case Section::Settings:
            return "[SETTINGS]";
        case Section::Special:
            return "[SPECIAL]";
    }
    return {};
}

std::optional<Section> SectionHeader(std::string_view line) {
    if (line.find('[') == std::string_view::npos) {
        return std::nullopt;
    }
    for (Section section : kSectionOrder) {
        if (ContainsNoCase(line, SectionMarker(section))) {
            return section;
        }
    }
    return std::nullopt;
}

std::string StripQuoted(std::string_view line) {
    std::string kept;
    kept.reserve(line.size());
    std::size_t position = 0;
    while (position < line.size()) {
        const auto open = line.find('"', position);
        if (open == std::string_view::npos) {
            kept.append(line.substr(position));
            break;
        }
        kept.append(line.substr(position, open - position));
        const auto close = line.find('"', open + 1);
        if (close == std::string_view::npos) {
            break;
        }
        position = close + 1;
    }
    return kept;
}

bool HasKey(std::string_view stripped, std::string_view key) {
    if (key.empty()) {
        return false;
    }
    const auto at = FindNoCase(stripped, key);
    if (at == std::string_view::npos) {
        return false;
    }
    const auto after = at + key.size();
    if (after >= stripped.size()) {
        return false;
    }
    const char next = stripped[after];
    if (at == 0) {
        return next == '=';
    }
    return stripped[at - 1] == ' ' && (next == ' ' || next == '=');
}

bool LooksLikeMarkup(std::string_view text) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") {
        text.remove_prefix(3);
    }
    const auto first = text.find_first_not_of(" \t\r\n\f\v");
    return (first != std::string_view::npos && text[first] == '<') ||
           ContainsNoCase(text, "<HTML>");
}

bool CatalogueLineReader::next(std::string_view& line) {
    if (position_ >= text_.size()) {
        return false;
    }
    const auto end = text_.find('\n', position_);
    if (end == std::string_view::npos) {
        position_ = text_.size();
        return false;
    }
    line = text_.substr(position_, end - position_);
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    position_ = end + 1;
    ++lineNumber_;
    return true;
}

}  // namespace tamsel
