#include "platform/RegistryExport.h"

#include <cstdio>
#include <vector>

#include "util/Text.h"
#include "util/Utf8.h"

namespace tamsel {

namespace {

constexpr std::string_view kHeader = "Windows Registry Editor Version 5.00";

// --- UTF-8 and UTF-16LE ---------------------------------------------------------------------

// UTF-16LE bytes as UTF-8; nothing for an odd length or an unpaired surrogate.
std::optional<std::string> Utf16ToUtf8(std::string_view bytes) {
    if (bytes.size() % 2 != 0) {
        return std::nullopt;
    }
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); i += 2) {
        char32_t unit =
            static_cast<unsigned char>(bytes[i]) | (static_cast<unsigned char>(bytes[i + 1]) << 8);
        if (unit >= 0xD800 && unit < 0xDC00) {
            if (i + 3 >= bytes.size()) {
                return std::nullopt;
            }
            const char32_t low = static_cast<unsigned char>(bytes[i + 2]) |
                                 (static_cast<unsigned char>(bytes[i + 3]) << 8);
            if (low < 0xDC00 || low >= 0xE000) {
                return std::nullopt;
            }
            unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
            i += 2;
        } else if (unit >= 0xDC00 && unit < 0xE000) {
            return std::nullopt;
        }
        AppendUtf8(out, unit);
    }
    return out;
}

// The next character of UTF-8 text; a byte that does not start a valid sequence stands for itself
// (as Latin-1), so any bytes convert.
char32_t NextCodePoint(std::string_view text, std::size_t& i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    const int extra = lead >= 0xF0 && lead < 0xF5 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC2 ? 1 : 0;
    if (lead >= 0x80 && extra > 0 && i + extra < text.size()) {
        char32_t c = lead & (0x3F >> extra);
        bool valid = true;
        for (int k = 1; k <= extra; ++k) {
            valid = valid && (byte(i + k) & 0xC0) == 0x80;
            c = (c << 6) | (byte(i + k) & 0x3F);
        }
        const char32_t least = extra == 1 ? 0x80 : extra == 2 ? 0x800 : 0x10000;
        if (valid && c >= least && c <= 0x10FFFF && !(c >= 0xD800 && c < 0xE000)) {
            i += extra + 1;
            return c;
        }
    }
    ++i;
    return lead;
}

std::vector<std::uint8_t> Utf8ToUtf16(std::string_view text) {
    std::vector<std::uint8_t> out;
    const auto unit = [&](char32_t u) {
        out.push_back(static_cast<std::uint8_t>(u & 0xFF));
        out.push_back(static_cast<std::uint8_t>(u >> 8));
    };
    for (std::size_t i = 0; i < text.size();) {
        const char32_t c = NextCodePoint(text, i);
        if (c >= 0x10000) {
            unit(0xD800 + ((c - 0x10000) >> 10));
            unit(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            unit(c);
        }
    }
    return out;
}

bool IsTextType(std::uint32_t type) {
    return type == regtype::Text || type == regtype::ExpandText || type == regtype::TextList;
}

// --- Reading ----------------------------------------------------------------------------------

std::string_view TrimWhite(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// A quoted text at the start of rest, its escapes resolved; rest moves past the closing quote.
// A backslash before anything but a backslash or a quote stays a backslash.
std::optional<std::string> TakeQuoted(std::string_view& rest) {
    if (rest.empty() || rest.front() != '"') {
        return std::nullopt;
    }
    std::string text;
    for (std::size_t i = 1; i < rest.size(); ++i) {
        const char c = rest[i];
        if (c == '"') {
            rest.remove_prefix(i + 1);
            return text;
        }
        if (c == '\\' && i + 1 < rest.size() && (rest[i + 1] == '\\' || rest[i + 1] == '"')) {
            ++i;
        }
        text += rest[i];
    }
    return std::nullopt;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::optional<std::uint32_t> HexNumber(std::string_view digits) {
    if (digits.empty() || digits.size() > 8) {
        return std::nullopt;
    }
    std::uint32_t number = 0;
    for (const char c : digits) {
        const int digit = HexDigit(c);
        if (digit < 0) {
            return std::nullopt;
        }
        number = number * 16 + static_cast<std::uint32_t>(digit);
    }
    return number;
}

// "xx,xx,..." with spaces anywhere between bytes.
std::optional<std::vector<std::uint8_t>> HexBytes(std::string_view list) {
    std::vector<std::uint8_t> bytes;
    list = TrimWhite(list);
    while (!list.empty()) {
        const auto comma = list.find(',');
        const auto item = TrimWhite(list.substr(0, comma));
        const auto number = item.size() == 2 ? HexNumber(item) : std::nullopt;
        if (!number) {
            return std::nullopt;
        }
        bytes.push_back(static_cast<std::uint8_t>(*number));
        if (comma == std::string_view::npos) {
            break;
        }
        list = TrimWhite(list.substr(comma + 1));
        if (list.empty()) {
            return std::nullopt;  // a trailing comma without a byte after it
        }
    }
    return bytes;
}

std::optional<RegistryData> ParseData(std::string_view data) {
    if (data.starts_with('"')) {
        const auto text = TakeQuoted(data);
        if (!text || !TrimWhite(data).empty()) {
            return std::nullopt;
        }
        return RegistryText(*text);
    }
    if (data.starts_with("dword:")) {
        const auto number = HexNumber(TrimWhite(data.substr(6)));
        if (!number) {
            return std::nullopt;
        }
        return RegistryData{
            regtype::Number,
            {static_cast<std::uint8_t>(*number), static_cast<std::uint8_t>(*number >> 8),
             static_cast<std::uint8_t>(*number >> 16), static_cast<std::uint8_t>(*number >> 24)}};
    }
    std::uint32_t type = regtype::Binary;
    if (data.starts_with("hex(")) {
        const auto close = data.find(')');
        const auto number =
            close == std::string_view::npos ? std::nullopt : HexNumber(data.substr(4, close - 4));
        if (!number) {
            return std::nullopt;
        }
        type = *number;
        data.remove_prefix(close + 1);
    } else if (data.starts_with("hex")) {
        data.remove_prefix(3);
    } else {
        return std::nullopt;
    }
    if (!data.starts_with(':')) {
        return std::nullopt;
    }
    auto bytes = HexBytes(data.substr(1));
    if (!bytes) {
        return std::nullopt;
    }
    if (IsTextType(type)) {
        const auto text = Utf16ToUtf8(
            std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
        if (!text) {
            return std::nullopt;
        }
        bytes->assign(text->begin(), text->end());
    }
    return RegistryData{type, std::move(*bytes)};
}

class Parser {
  public:
    explicit Parser(RegistryRoot root) : rootName_(RegistryRootName(root)) {}

    std::optional<RegistryKey> parse(std::string_view text) {
        std::vector<std::string_view> lines;
        while (!text.empty()) {
            const auto end = text.find('\n');
            auto line = text.substr(0, end);
            if (line.ends_with('\r')) {
                line.remove_suffix(1);
            }
            lines.push_back(line);
            text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        }
        if (lines.empty() || TrimWhite(lines[0]) != kHeader) {
            return std::nullopt;
        }
        for (std::size_t i = 1; i < lines.size(); ++i) {
            std::string line(TrimWhite(lines[i]));
            // Hex data runs on over lines that end with a backslash (no other line can end so).
            while (line.ends_with('\\') && i + 1 < lines.size()) {
                line.pop_back();
                line += TrimWhite(lines[++i]);
            }
            if (!parseLine(line)) {
                return std::nullopt;
            }
        }
        return std::move(top_);
    }

  private:
    bool parseLine(std::string_view line) {
        if (line.empty() || line.front() == ';') {
            return true;
        }
        if (line.front() == '[') {
            return parseSection(line);
        }
        return current_ && parseValue(line);
    }

    bool parseSection(std::string_view line) {
        const auto close = line.rfind(']');
        if (close == std::string_view::npos || close + 1 != line.size()) {
            return false;
        }
        std::string_view path = line.substr(1, close - 1);
        const bool deletion = path.starts_with('-');
        if (deletion) {
            path.remove_prefix(1);
        }
        if (!EqualsNoCase(path.substr(0, rootName_.size()), rootName_) ||
            (path.size() > rootName_.size() && path[rootName_.size()] != '\\')) {
            return false;
        }
        path.remove_prefix(rootName_.size());
        if (!deletion) {
            current_ = &top_.create(path);
            return true;
        }
        current_ = nullptr;
        const auto names = SplitKeyPath(path);
        if (names.empty()) {
            return false;
        }
        if (RegistryKey* parent = top_.find(path.substr(0, names.back().data() - path.data()))) {
            parent->removeSubkey(names.back());
        }
        return true;
    }

    bool parseValue(std::string_view line) {
        std::string name;
        if (line.starts_with('@')) {
            line.remove_prefix(1);
        } else if (auto quoted = TakeQuoted(line)) {
            name = std::move(*quoted);
        } else {
            return false;
        }
        line = TrimWhite(line);
        if (!line.starts_with('=')) {
            return false;
        }
        line = TrimWhite(line.substr(1));
        if (line == "-") {
            current_->removeValue(name);
            return true;
        }
        auto data = ParseData(line);
        if (!data) {
            return false;
        }
        current_->setValue(name, std::move(*data));
        return true;
    }

    std::string rootName_;
    RegistryKey top_;
    RegistryKey* current_ = nullptr;
};

// --- Writing ----------------------------------------------------------------------------------

std::string Quoted(std::string_view text) {
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '\\' || c == '"') {
            quoted += '\\';
        }
        quoted += c;
    }
    return quoted + '"';
}

// A text value that reads back the same from a quoted text: one terminating zero, no other
// zero or line break inside.
bool FitsQuoted(const RegistryData& data) {
    if (data.type != regtype::Text || data.bytes.empty() || data.bytes.back() != 0) {
        return false;
    }
    for (std::size_t i = 0; i + 1 < data.bytes.size(); ++i) {
        const auto c = data.bytes[i];
        if (c == 0 || c == '\r' || c == '\n') {
            return false;
        }
    }
    return true;
}

void AppendHex(std::string& out, std::size_t lineStart, const std::vector<std::uint8_t>& bytes) {
    char digits[3];
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        std::snprintf(digits, sizeof digits, "%02x", bytes[i]);
        out += digits;
        if (i + 1 < bytes.size()) {
            out += ',';
            if (out.size() - lineStart > 76) {
                out += "\\\r\n  ";
                lineStart = out.size() - 2;
            }
        }
    }
}

void AppendValue(std::string& out, const RegistryNamedValue& value) {
    const std::size_t lineStart = out.size();
    out += value.name.empty() ? "@" : Quoted(value.name);
    out += '=';
    const RegistryData& data = value.data;
    if (FitsQuoted(data)) {
        out += Quoted(std::string_view(reinterpret_cast<const char*>(data.bytes.data()),
                                       data.bytes.size() - 1));
    } else if (data.type == regtype::Number && data.bytes.size() == 4) {
        char number[16];
        std::snprintf(number, sizeof number, "dword:%02x%02x%02x%02x", data.bytes[3], data.bytes[2],
                      data.bytes[1], data.bytes[0]);
        out += number;
    } else {
        char prefix[24];
        if (data.type == regtype::Binary) {
            std::snprintf(prefix, sizeof prefix, "hex:");
        } else {
            std::snprintf(prefix, sizeof prefix, "hex(%x):", data.type);
        }
        out += prefix;
        AppendHex(out, lineStart,
                  IsTextType(data.type)
                      ? Utf8ToUtf16(std::string_view(
                            reinterpret_cast<const char*>(data.bytes.data()), data.bytes.size()))
                      : data.bytes);
    }
    out += "\r\n";
}

void AppendKey(std::string& out, const RegistryKey& key, const std::string& path) {
    out += "[" + path + "]\r\n";
    for (const auto& value : key.values()) {
        AppendValue(out, value);
    }
    out += "\r\n";
    for (const auto& [name, subkey] : key.subkeys()) {
        AppendKey(out, *subkey, path + "\\" + subkey->name());
    }
}

}  // namespace

std::optional<RegistryKey> ParseRegistryExport(std::string_view bytes, RegistryRoot root) {
    if (bytes.starts_with("\xFF\xFE")) {
        const auto text = Utf16ToUtf8(bytes.substr(2));
        return text ? Parser(root).parse(*text) : std::nullopt;
    }
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        bytes.remove_prefix(3);
    }
    return Parser(root).parse(bytes);
}

std::string FormatRegistryExport(const RegistryKey& top, RegistryRoot root) {
    std::string out = std::string(kHeader) + "\r\n\r\n";
    const std::string rootName = RegistryRootName(root);
    if (!top.values().empty()) {
        out += "[" + rootName + "]\r\n";
        for (const auto& value : top.values()) {
            AppendValue(out, value);
        }
        out += "\r\n";
    }
    for (const auto& [name, subkey] : top.subkeys()) {
        AppendKey(out, *subkey, rootName + "\\" + subkey->name());
    }
    return out;
}

}  // namespace tamsel
