#include "reporting/VersionResource.h"

#include "util/Utf8.h"

namespace tamsel {
namespace {

constexpr int kMaxDepth = 8;
constexpr std::uint16_t kTextType = 1;
constexpr std::size_t kHeaderSize = 6;
constexpr std::size_t kFixedSize = 52;

std::uint64_t AlignToFour(std::uint64_t offset) {
    return (offset + 3) & ~std::uint64_t{3};
}

char16_t FoldAscii(char16_t c) {
    return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - u'a' + u'A') : c;
}

bool KeyEquals(const std::u16string& key, std::string_view wanted) {
    if (key.size() != wanted.size()) {
        return false;
    }
    for (std::size_t i = 0; i < key.size(); ++i) {
        if (FoldAscii(key[i]) != FoldAscii(static_cast<unsigned char>(wanted[i]))) {
            return false;
        }
    }
    return true;
}

// UTF-16 up to the first NUL; a lone surrogate becomes U+FFFD.
std::string Utf16ToUtf8(Bytes bytes) {
    std::string out;
    std::uint16_t unit = 0;
    for (std::uint64_t at = 0; ReadU16(bytes, at, unit) && unit != 0; at += 2) {
        std::uint16_t next = 0;
        if (unit >= 0xD800 && unit < 0xDC00 && ReadU16(bytes, at + 2, next) && next >= 0xDC00 &&
            next < 0xE000) {
            AppendUtf8(out, 0x10000 + ((unit - 0xD800u) << 10) + (next - 0xDC00u));
            at += 2;
        } else if (unit >= 0xD800 && unit < 0xE000) {
            AppendUtf8(out, 0xFFFD);
        } else {
            AppendUtf8(out, unit);
        }
    }
    return out;
}

}  // namespace

bool VersionResource::ParseNode(Bytes block, int depth, Node& node) {
    std::uint16_t length = 0;
    std::uint16_t valueLength = 0;
    std::uint16_t type = 0;
    if (depth > kMaxDepth || !ReadU16(block, 0, length) || !ReadU16(block, 2, valueLength) ||
        !ReadU16(block, 4, type) || length < kHeaderSize || length > block.size()) {
        return false;
    }
    const Bytes own = block.first(length);
    std::uint64_t at = kHeaderSize;
    std::uint16_t unit = 0;
    for (; ReadU16(own, at, unit) && unit != 0; at += 2) {
        node.key += static_cast<char16_t>(unit);
    }
    at = AlignToFour(at + 2);
    // A text value counts UTF-16 units, any other value bytes; either is cut at the node's end.
    const std::uint64_t valueBytes = type == kTextType ? valueLength * 2ull : valueLength;
    if (at < own.size()) {
        const auto value = own.subspan(at, std::min<std::uint64_t>(valueBytes, own.size() - at));
        node.value.assign(value.begin(), value.end());
    }
    for (at = AlignToFour(at + valueBytes); at + kHeaderSize <= own.size();) {
        Node child;
        const Bytes rest = own.subspan(at);
        if (!ParseNode(rest, depth + 1, child)) {
            break;
        }
        std::uint16_t childLength = 0;
        ReadU16(rest, 0, childLength);
        node.children.push_back(std::move(child));
        at = AlignToFour(at + childLength);
    }
    return true;
}

std::optional<VersionResource> VersionResource::Parse(Bytes block) {
    VersionResource resource;
    if (!ParseNode(block, 0, resource.root_) || resource.root_.value.size() < kFixedSize) {
        return std::nullopt;
    }
    const Bytes value(resource.root_.value);
    std::uint32_t* fields[] = {&resource.fixed_.signature,        &resource.fixed_.structureVersion,
                               &resource.fixed_.fileVersionMS,    &resource.fixed_.fileVersionLS,
                               &resource.fixed_.productVersionMS, &resource.fixed_.productVersionLS,
                               &resource.fixed_.fileFlagsMask,    &resource.fixed_.fileFlags,
                               &resource.fixed_.fileOS,           &resource.fixed_.fileType,
                               &resource.fixed_.fileSubtype,      &resource.fixed_.fileDateMS,
                               &resource.fixed_.fileDateLS};
    for (std::size_t i = 0; i < std::size(fields); ++i) {
        ReadU32(value, 4 * i, *fields[i]);
    }
    if (resource.fixed_.signature != kFixedFileInfoSignature) {
        return std::nullopt;
    }
    return resource;
}

std::optional<std::vector<std::uint8_t>> VersionResource::Query(std::string_view path) const {
    const Node* node = &root_;
    while (!path.empty()) {
        const auto separator = path.find('\\');
        const auto key = path.substr(0, separator);
        path =
            separator == std::string_view::npos ? std::string_view() : path.substr(separator + 1);
        if (key.empty()) {
            continue;
        }
        const Node* next = nullptr;
        for (const auto& child : node->children) {
            if (KeyEquals(child.key, key)) {
                next = &child;
                break;
            }
        }
        if (next == nullptr) {
            return std::nullopt;
        }
        node = next;
    }
    return node->value;
}

std::string VersionResource::QueryText(std::string_view path) const {
    const auto value = Query(path);
    return value ? Utf16ToUtf8(*value) : std::string();
}

}  // namespace tamsel
