#include "CatalogueLint.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <limits>
#include <map>

#include "catalogue/CatalogueSyntax.h"
#include "catalogue/KitUrl.h"
#include "catalogue/NumberText.h"
#include "util/DateTime.h"
#include "util/Error.h"
#include "util/Text.h"

namespace tamsel::kit {

namespace {

constexpr Section kAllSections[] = {Section::Common, Section::Menu, Section::Exclude,
                                    Section::Settings, Section::Special};

bool AllDigits(std::string_view text) {
    if (text.empty()) {
        return false;
    }
    for (const char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c))) {
            return false;
        }
    }
    return true;
}

// Written as the file-system walk writes dates: dd/mm/yyyy, a real calendar date.
bool WalkDate(std::string_view date) {
    if (date.size() != 10 || date[2] != '/' || date[5] != '/' || !AllDigits(date.substr(0, 2)) ||
        !AllDigits(date.substr(3, 2)) || !AllDigits(date.substr(6, 4))) {
        return false;
    }
    const int day = std::stoi(std::string(date.substr(0, 2)));
    const int month = std::stoi(std::string(date.substr(3, 2)));
    const int year = std::stoi(std::string(date.substr(6, 4)));
    return month >= 1 && month <= 12 && day >= 1 && day <= DaysInMonth(year, month);
}

bool MarkerInsideValue(std::string_view line) {
    std::size_t open = line.find('"');
    while (open != std::string_view::npos) {
        const auto close = line.find('"', open + 1);
        if (close == std::string_view::npos) {
            return false;
        }
        const auto value = line.substr(open + 1, close - open - 1);
        for (Section section : kAllSections) {
            if (ContainsNoCase(value, SectionMarker(section))) {
                return true;
            }
        }
        open = line.find('"', close + 1);
    }
    return false;
}

class Linter {
  public:
    std::vector<LintWarning> run(std::string_view content) {
        std::size_t position = 0;
        while (position < content.size()) {
            auto end = content.find('\n', position);
            if (end == std::string_view::npos) {
                end = content.size();
            }
            ++lineNumber_;
            std::string_view raw = content.substr(position, end - position);
            if (!raw.empty() && raw.back() == '\r') {
                raw.remove_suffix(1);
            }
            line(raw);
            position = end + 1;
        }
        return std::move(warnings_);
    }

  private:
    void warn(std::string message) { warnings_.push_back({lineNumber_, std::move(message)}); }

    void line(std::string_view raw) {
        const std::string text = TrimSpaces(raw);
        if (text.empty() || text.front() == '\'') {
            return;
        }
        const auto quotes = std::count(text.begin(), text.end(), '"');
        if (quotes % 2 != 0) {
            warn("unbalanced quotes: a value opened here is never closed");
        }
        if (const auto header = SectionHeader(text)) {
            if (MarkerInsideValue(text)) {
                warn("section marker inside a value: the whole line is read as the header " +
                     std::string(SectionMarker(*header)));
            }
            section_ = *header;
            return;
        }
        const std::string stripped = StripQuoted(text);
        try {
            data(text, stripped);
        } catch (const TamselError&) {
            // The unbalanced quote behind this is already reported.
        }
    }

    void data(const std::string& text, const std::string& stripped) {
        auto has = [&](std::string_view key) { return HasKey(stripped, key); };
        auto value = [&](std::string_view key) { return KeyValue(key, text); };
        switch (section_) {
            case Section::Common: {
                std::string missing;
                for (const char* key : {"url", "date", "size"}) {
                    if (!has(key)) {
                        missing += std::string(missing.empty() ? "" : ", ") + key;
                    }
                }
                if (!missing.empty()) {
                    warn("file line lacks " + missing + ": the updater ignores it");
                    return;
                }
                fileEntry(value("url"), value("date"), value("size"), true);
                break;
            }
            case Section::Special:
                if (!has("script") && has("url")) {
                    fileEntry(value("url"), has("date") ? value("date") : "",
                              has("size") ? value("size") : "", false);
                }
                break;
            case Section::Menu:
                if (!has("caption") && has("force")) {
                    force(value("force"));
                }
                break;
            case Section::Exclude:
            case Section::Settings:
                break;
        }
    }

    void fileEntry(const std::string& url, const std::string& date, const std::string& size,
                   bool kitFile) {
        if (const KitUrlFault fault = CheckKitUrl(url); fault != KitUrlFault::None) {
            warn("url \"" + url + "\" " + std::string(KitUrlFaultText(fault)) +
                 ": the updater drops the entry");
        } else if (url.front() != '/') {
            warn("url \"" + url +
                 "\" does not begin with \"/\": the file is requested from "
                 "the wrong address");
        }
        if ((kitFile || !date.empty()) && !WalkDate(date)) {
            warn("date \"" + date +
                 "\" is not a dd/mm/yyyy date with two-digit day and month: the file always "
                 "reads as \"Wrong Date\"");
        }
        if ((kitFile || !size.empty()) && !AllDigits(size)) {
            warn("size \"" + size +
                 "\" is not decimal digits: the file always reads as \"Wrong Size\"");
        }
        if (!kitFile) {
            return;
        }
        const auto [first, added] = firstLineOfUrl_.emplace(ToUpper(url), lineNumber_);
        if (!added) {
            warn("duplicate url \"" + url + "\" (first on line " + std::to_string(first->second) +
                 ")");
        }
    }

    void force(const std::string& text) {
        double number = 0;
        if (!ReadNumber(text, number)) {
            warn("force \"" + text + "\" is not a number: the updater ignores it");
        } else if (std::fabs(std::nearbyint(number)) > std::numeric_limits<std::int16_t>::max()) {
            warn("force \"" + text + "\" is too large: the whole catalogue fails to load");
        }
    }

    std::vector<LintWarning> warnings_;
    std::map<std::string, long> firstLineOfUrl_;
    Section section_ = Section::Common;
    long lineNumber_ = 0;
};

}  // namespace

std::vector<LintWarning> LintCatalogue(std::string_view content) {
    return Linter().run(content);
}

}  // namespace tamsel::kit
