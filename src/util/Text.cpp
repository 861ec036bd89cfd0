#include "util/Text.h"

#include <algorithm>

#include "util/Error.h"

namespace tamsel {

namespace {

char UpperChar(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}
char LowerChar(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

std::string TrimSpaces(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

std::string ParentFolder(std::string_view path) {
    const auto pos = path.find_last_of(kPathSeparators);
    if (pos == std::string_view::npos)
        return {};
    return std::string(path.substr(0, pos));
}

std::string FolderWithBackslash(std::string_view path) {
    const auto pos = path.find_last_of(kPathSeparators);
    if (pos == std::string_view::npos)
        return std::string(path);
    return std::string(path.substr(0, pos + 1));
}

std::string AddTrailingBackslash(std::string_view path) {
    std::string result(path);
    if (result.empty() ||
        std::string_view(kPathSeparators).find(result.back()) == std::string_view::npos)
        result += '/';
    return result;
}

std::string FileBaseName(std::string_view path) {
    const auto dot = path.rfind('.');
    if (dot == std::string_view::npos || dot == 0)
        return {};
    const auto sep = path.find_last_of("\\/", dot - 1);
    if (sep == std::string_view::npos)
        return {};
    return std::string(path.substr(sep + 1, dot - sep - 1));
}

std::string UrlToPath(std::string_view text) {
    return std::string(text);
}

std::string PathToUrl(std::string_view text) {
    std::string result(text);
    std::replace(result.begin(), result.end(), '\\', '/');
    return result;
}

std::string TextBetween(std::string_view text, std::string_view delimiter) {
    if (delimiter.empty())
        return {};
    const auto first = text.find(delimiter);
    if (first == std::string_view::npos)
        return {};
    const auto start = first + delimiter.size();
    const auto second = text.find(delimiter, start);
    if (second == std::string_view::npos)
        return {};
    return std::string(text.substr(start, second - start));
}

std::string KeyValue(std::string_view key, std::string_view line) {
    // Each step moves pos strictly forward (past an "=" and a closing quote), so the loop ends.
    std::size_t pos = 0;
    while (pos < line.size()) {
        const auto equals = line.find('=', pos);
        if (equals == std::string_view::npos)
            return {};
        const std::string name = TrimSpaces(line.substr(pos, equals - pos));
        const auto open = line.find('"', equals);
        if (EqualsNoCase(name, key)) {
            if (open == std::string_view::npos)
                return {};
            const auto close = line.find('"', open + 1);
            if (close == std::string_view::npos) {
                throw TamselError(
                    err::InvalidArgument, "KeyValue",
                    "Invalid procedure call or argument: unbalanced quote in the value of " +
                        std::string(key));
            }
            return std::string(line.substr(open + 1, close - open - 1));
        }
        // Skip this pair: its value ends at the quote after the opening one.
        if (open == std::string_view::npos)
            return {};
        const auto close = line.find('"', open + 1);
        if (close == std::string_view::npos)
            return {};
        pos = close + 1;
    }
    return {};
}

std::string EscapeSpacesAndQuotes(std::string_view text) {
    return ReplaceAll(ReplaceAll(text, " ", "%20"), "\"", "%22");
}

std::string ExpandLineBreaks(std::string_view text) {
    return ReplaceAll(text, "\\n", "\r\n");
}

std::string PipeField(std::string_view text, long n) {
    if (n < 1)
        return {};
    const std::string trimmed = TrimSpaces(text);
    if (trimmed.empty())
        return {};
    std::size_t start = 0;
    for (long field = 1;; ++field) {
        const auto bar = trimmed.find('|', start);
        if (field == n) {
            return trimmed.substr(start,
                                  bar == std::string::npos ? std::string::npos : bar - start);
        }
        if (bar == std::string::npos)
            return {};
        start = bar + 1;
    }
}

std::string ToUpper(std::string_view text) {
    std::string result(text);
    for (char& c : result)
        c = UpperChar(c);
    return result;
}

std::string ToLower(std::string_view text) {
    std::string result(text);
    for (char& c : result)
        c = LowerChar(c);
    return result;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (UpperChar(a[i]) != UpperChar(b[i]))
            return false;
    }
    return true;
}

std::size_t FindNoCase(std::string_view haystack, std::string_view needle, std::size_t from) {
    if (from > haystack.size())
        return std::string_view::npos;
    if (needle.empty())
        return from;
    if (needle.size() > haystack.size() - from)
        return std::string_view::npos;
    const std::size_t last = haystack.size() - needle.size();
    for (std::size_t i = from; i <= last; ++i) {
        std::size_t j = 0;
        while (j < needle.size() && UpperChar(haystack[i + j]) == UpperChar(needle[j]))
            ++j;
        if (j == needle.size())
            return i;
    }
    return std::string_view::npos;
}

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
    if (from.empty())
        return std::string(text);
    std::string result;
    result.reserve(text.size());
    std::size_t pos = 0;
    while (true) {
        const auto hit = text.find(from, pos);
        if (hit == std::string_view::npos)
            break;
        result.append(text.substr(pos, hit - pos));
        result.append(to);
        pos = hit + from.size();
    }
    result.append(text.substr(pos));
    return result;
}

bool NameLess(std::string_view a, std::string_view b) {
    // Fold to upper case as the Windows file systems do, compare bytes unsigned.
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const auto ca = static_cast<unsigned char>(UpperChar(a[i]));
        const auto cb = static_cast<unsigned char>(UpperChar(b[i]));
        if (ca != cb)
            return ca < cb;
    }
    if (a.size() != b.size())
        return a.size() < b.size();
    return a < b;
}

bool HasControlCharacter(std::string_view text) {
    return std::any_of(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7F;
    });
}

}  // namespace tamsel
