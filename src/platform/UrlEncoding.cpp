#include "platform/UrlEncoding.h"

#include <cctype>

namespace tamsel {

namespace {

bool IsHexDigit(char c) {
    return std::isxdigit(static_cast<unsigned char>(c)) != 0;
}

bool NeedsEncoding(unsigned char c) {
    if (c <= 0x20 || c >= 0x7F) {
        return true;
    }
    // "#" too: a name such as "C# Guide.pot" is a file name, and none of our requests carries
    // a fragment (it would never reach the server anyway).
    constexpr std::string_view unsafe = "\"#<>\\^`{|}";
    return unsafe.find(static_cast<char>(c)) != std::string_view::npos;
}

void AppendEscape(std::string& out, unsigned char c) {
    constexpr char digits[] = "0123456789ABCDEF";
    out += '%';
    out += digits[c >> 4];
    out += digits[c & 0x0F];
}

}  // namespace

std::string EncodeRequestUrl(std::string_view url) {
    std::string out;
    out.reserve(url.size());
    for (std::size_t i = 0; i < url.size(); ++i) {
        const auto c = static_cast<unsigned char>(url[i]);
        if (c == '%') {
            const bool escape =
                i + 2 < url.size() && IsHexDigit(url[i + 1]) && IsHexDigit(url[i + 2]);
            if (escape) {
                out += '%';
            } else {
                AppendEscape(out, c);
            }
        } else if (NeedsEncoding(c)) {
            AppendEscape(out, c);
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

}  // namespace tamsel
