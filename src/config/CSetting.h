#pragma once

#include <string>

namespace tamsel {

// One line of a settings file: blank, comment or key="value". A line read from a file is written
// back exactly as it was read until it is changed, so lines the program does not understand
// (hand-edited, unquoted, junk) survive a rewrite.
class CSetting {
  public:
    static constexpr long BlankLine = 0;
    static constexpr long CommentLine = 1;
    static constexpr long SettingLine = 2;

    long myType() const { return type_; }
    // The key of a setting line; empty for any other line.
    std::string Key() const { return type_ == SettingLine ? key_ : std::string(); }
    std::string Value() const { return type_ == SettingLine ? value_ : std::string(); }
    // No effect on a line that is not a setting. Values drop every CR, LF and double quote.
    void Value(const std::string& value);

    void Comment(const std::string& text);
    void Setting(const std::string& key, const std::string& value);

    // The line as written to the file, without its line end.
    std::string toString() const;

    // Classifies one line of a file as it is read. A value without quotes is the text after the
    // first "=", trimmed; one whose closing quote is missing is the text after its opening quote.
    static CSetting Parse(const std::string& line);

  private:
    long type_ = BlankLine;
    std::string key_;  // the whole text of a comment line
    std::string value_;
    std::string read_;  // the text the line was read from
    bool unchanged_ = false;
};

}  // namespace tamsel
