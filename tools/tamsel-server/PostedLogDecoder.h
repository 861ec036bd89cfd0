#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tamsel::server {

// Takes an upload body ("name=value&...") piece by piece, as it arrives, and gives out the
// unescaped value of its first "data" field: "+" becomes a blank, "%26" "&", "%0D" CR and "%0A"
// LF; every other character is taken as written. A raw "&" ends the field.
class PostedLogDecoder {
  public:
    // Appends what `piece` adds to the log to `out`.
    void feed(std::string_view piece, std::string& out);
    // Appends what was held back at the end of the body (an unfinished escape) to `out`.
    void finish(std::string& out);
    // Whether the body holds a "data" field.
    bool found() const { return state_ != State::Name && state_ != State::OtherValue; }

  private:
    enum class State { Name, OtherValue, Data, Done };

    void takeData(char c, std::string& out);
    void flushEscape(std::string& out);

    State state_ = State::Name;
    std::string name_;
    // An escape begun but not yet complete: "%" or "%x".
    char escape_[2] = {};
    std::size_t escapeLength_ = 0;
};

}  // namespace tamsel::server
