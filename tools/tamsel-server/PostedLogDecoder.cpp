#include "PostedLogDecoder.h"

namespace tamsel::server {

namespace {

constexpr std::string_view kField = "data";

}  // namespace

void PostedLogDecoder::feed(std::string_view piece, std::string& out) {
    for (const char c : piece) {
        switch (state_) {
            case State::Name:
                if (c == '=') {
                    state_ = name_ == kField ? State::Data : State::OtherValue;
                } else if (c == '&') {
                    name_.clear();
                } else if (name_.size() <= kField.size()) {
                    name_ += c;
                }
                break;
            case State::OtherValue:
                if (c == '&') {
                    name_.clear();
                    state_ = State::Name;
                }
                break;
            case State::Data:
                if (c == '&') {
                    flushEscape(out);
                    state_ = State::Done;
                } else {
                    takeData(c, out);
                }
                break;
            case State::Done:
                return;
        }
    }
}

void PostedLogDecoder::finish(std::string& out) {
    if (state_ == State::Data) {
        flushEscape(out);
        state_ = State::Done;
    }
}

void PostedLogDecoder::takeData(char c, std::string& out) {
    if (escapeLength_ == 0) {
        if (c == '%') {
            escape_[escapeLength_++] = c;
        } else {
            out += c == '+' ? ' ' : c;
        }
        return;
    }
    if (escapeLength_ == 1) {
        escape_[escapeLength_++] = c;
        return;
    }
    const char digits[] = {escape_[1], c};
    escapeLength_ = 0;
    if (digits[0] == '2' && digits[1] == '6') {
        out += '&';
    } else if (digits[0] == '0' && (digits[1] == 'D' || digits[1] == 'd')) {
        out += '\r';
    } else if (digits[0] == '0' && (digits[1] == 'A' || digits[1] == 'a')) {
        out += '\n';
    } else {
        // Not an escape: the "%" stands for itself and what followed it is read afresh.
        out += '%';
        takeData(digits[0], out);
        takeData(digits[1], out);
    }
}

void PostedLogDecoder::flushEscape(std::string& out) {
    // At the field's end an unfinished escape is no escape: each "%" stands for itself.
    while (escapeLength_ > 0) {
        const std::size_t length = escapeLength_;
        const char second = escape_[1];
        escapeLength_ = 0;
        out += '%';
        if (length == 2) {
            takeData(second, out);
        }
    }
}

}  // namespace tamsel::server
