#include "ByteRange.h"

#include "util/Text.h"

#include <algorithm>
#include <charconv>
#include <optional>

namespace tamsel::server {

namespace {

std::string_view Trim(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::optional<std::uint64_t> Number(std::string_view text) {
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

ByteRange ChooseByteRange(std::string_view rangeHeader, std::uint64_t fileSize) {
    constexpr std::string_view unit = "bytes=";
    const std::string_view header = Trim(rangeHeader);
    if (header.size() <= unit.size() || !EqualsNoCase(header.substr(0, unit.size()), unit) ||
        header.find(',') != std::string_view::npos) {
        return {};
    }
    const std::string_view range = Trim(header.substr(unit.size()));
    const std::size_t dash = range.find('-');
    if (dash == std::string_view::npos) {
        return {};
    }
    const auto first = Number(Trim(range.substr(0, dash)));
    const std::string_view lastText = Trim(range.substr(dash + 1));
    const auto last = Number(lastText);
    if (!first) {
        // "-N": the last N bytes.
        if (!last) {
            return {};
        }
        if (*last == 0 || fileSize == 0) {
            return {ByteRange::Kind::Unsatisfiable};
        }
        const std::uint64_t length = std::min(*last, fileSize);
        return {ByteRange::Kind::Part, fileSize - length, length};
    }
    if ((!last && !lastText.empty()) || (last && *last < *first)) {
        return {};
    }
    if (*first >= fileSize) {
        return {ByteRange::Kind::Unsatisfiable};
    }
    const std::uint64_t end = last ? std::min(*last, fileSize - 1) : fileSize - 1;
    return {ByteRange::Kind::Part, *first, end - *first + 1};
}

}  // namespace tamsel::server
