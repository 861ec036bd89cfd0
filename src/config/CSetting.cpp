#include "config/CSetting.h"

#include <algorithm>

#include "util/Text.h"

namespace tamsel {

void CSetting::Value(const std::string& value) {
    if (type_ == SettingLine) {
        value_ = value;
        unchanged_ = false;
    }
}

void CSetting::Comment(const std::string& text) {
    unchanged_ = false;
    type_ = CommentLine;
    key_ = text;
    value_.clear();
}

void CSetting::Setting(const std::string& key, const std::string& value) {
    unchanged_ = false;
    type_ = SettingLine;
    key_ = key;
    value_ = value;
}

std::string CSetting::toString() const {
    if (unchanged_) {
        return read_;
    }
    switch (type_) {
        case CommentLine:
            return key_;
        case SettingLine:
            return key_ + "=\"" + value_ + "\"";
        default:
            return {};
    }
}

CSetting CSetting::Parse(const std::string& line) {
    CSetting setting;
    if (!line.empty() && line.front() == '\'') {
        setting.Comment(line);
    } else if (const auto equals = line.find('='); equals != std::string::npos) {
        const std::string rest = TrimSpaces(std::string_view(line).substr(equals + 1));
        const bool quoted = std::count(rest.begin(), rest.end(), '"') >= 2;
        setting.Setting(TrimSpaces(std::string_view(line).substr(0, equals)),
                        quoted ? TextBetween(rest, "\"") : rest);
    }
    // Anything else, a section header included, is a blank line.
    setting.read_ = line;
    setting.unchanged_ = true;
    return setting;
}

}  // namespace tamsel
