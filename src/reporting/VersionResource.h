#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "reporting/ByteReader.h"

// A version resource block (the VS_VERSIONINFO tree of nodes, each a length, a value length, a
// type, a UTF-16 key, a value and children, aligned to four bytes) and the questions asked of it.
// Parsing copies what it keeps and checks every length against the block, so corrupt input gives
// no block or fewer nodes, never a read outside the buffer.
namespace tamsel {

// The fixed record at the root, as the published VS_FIXEDFILEINFO lays it out.
struct FixedFileInfo {
    std::uint32_t signature = 0;
    std::uint32_t structureVersion = 0;
    std::uint32_t fileVersionMS = 0;
    std::uint32_t fileVersionLS = 0;
    std::uint32_t productVersionMS = 0;
    std::uint32_t productVersionLS = 0;
    std::uint32_t fileFlagsMask = 0;
    std::uint32_t fileFlags = 0;
    std::uint32_t fileOS = 0;
    std::uint32_t fileType = 0;
    std::uint32_t fileSubtype = 0;
    std::uint32_t fileDateMS = 0;
    std::uint32_t fileDateLS = 0;
};

inline constexpr std::uint32_t kFixedFileInfoSignature = 0xFEEF04BD;

class VersionResource {
  public:
    // Nothing when the block has no valid root node carrying the 52-byte fixed record.
    static std::optional<VersionResource> Parse(Bytes block);

    const FixedFileInfo& Fixed() const { return fixed_; }
    // The value bytes of the node at a path of keys separated by "\" (keys compared ignoring
    // ASCII case, as the platform's query does); nothing when there is no such node.
    std::optional<std::vector<std::uint8_t>> Query(std::string_view path) const;
    // The text of a string entry at the path, up to its first NUL, as UTF-8; empty when the node
    // is missing or has no text.
    std::string QueryText(std::string_view path) const;

  private:
    struct Node {
        std::u16string key;
        std::vector<std::uint8_t> value;
        std::vector<Node> children;
    };
    static bool ParseNode(Bytes block, int depth, Node& node);

    Node root_;
    FixedFileInfo fixed_;
};

}  // namespace tamsel
