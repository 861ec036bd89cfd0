#include "config/CSetting.h"

#include "util/Text.h"

namespace tamsel {

void CSetting::Value(const std::string& value) {
    if (type_ == SettingLine) {
        value_ = value;
    }
}

void CSetting::Blank() {
    type_ = BlankLine;
    key_.clear();
    value_.clear();
}

void CSetting::Comment(const std::string& text) {
    type_ = CommentLine;
    key_ = text;
    value_.clear();
}

void CSetting::Setting(const std::string& key, const std::string& value) {
    type_ = SettingLine;
    key_ = key;
    value_ = value;
}

std::string CSetting::toString() const {
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
        return setting;
    }
    const auto equals = line.find('=');
    if (equals == std::string::npos) {
        return setting;  // anything else, a section header included, is a blank line
    }
    const std::string rest = TrimSpaces(std::string_view(line).substr(equals + 1));
    setting.Setting(TrimSpaces(std::string_view(line).substr(0, equals)), TextBetween(rest, "\""));
    return setting;
}

}  // namespace tamsel
