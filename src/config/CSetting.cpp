#include "config/CSetting.h"

#include <algorithm>

#include "util/Text.h"

namespace tamsel {

namespace {

// A line break or a double quote in a value would end it early and start a line of its own (a
// forged "local=" read by the next run), so a value never keeps one.
std::string SettingValue(std::string value) {
    std::erase_if(value, [](char c) { return c == '\r' || c == '\n' || c == '"'; });
    return value;
}

}  // namespace

void CSetting::Value(const std::string& value) {
    if (type_ == SettingLine) {
        value_ = SettingValue(value);
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
    value_ = SettingValue(value);
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
        // A hand-edited value that lost its closing quote runs to the end of the line.
        const auto open = rest.find('"');
        const auto close = open == std::string::npos ? open : rest.find('"', open + 1);
        setting.Setting(TrimSpaces(std::string_view(line).substr(0, equals)),
                        open == std::string::npos    ? rest
                        : close == std::string::npos ? rest.substr(open + 1)
                                                     : rest.substr(open + 1, close - open - 1));
    }
    // Anything else, a section header included, is a blank line.
    setting.read_ = line;
    setting.unchanged_ = true;
    return setting;
}

}  // namespace tamsel
