#include "reporting/VersionBlockWriter.h"

#include <cstdio>

namespace tamsel {
namespace {

class Writer {
  public:
    void U16(std::uint16_t v) {
        bytes_.push_back(static_cast<std::uint8_t>(v & 0xFF));
        bytes_.push_back(static_cast<std::uint8_t>(v >> 8));
    }
    void U32(std::uint32_t v) {
        U16(static_cast<std::uint16_t>(v & 0xFFFF));
        U16(static_cast<std::uint16_t>(v >> 16));
    }
    void Text(const std::string& text) {
        for (const char c : text) {
            U16(static_cast<unsigned char>(c));
        }
        U16(0);
    }
    void Align() {
        while (bytes_.size() % 4 != 0) {
            bytes_.push_back(0);
        }
    }
    // Starts a node; the returned position is handed to End once its children are written.
    std::size_t Begin(const std::string& key, std::uint16_t valueLength, std::uint16_t type) {
        Align();
        const std::size_t start = bytes_.size();
        U16(0);
        U16(valueLength);
        U16(type);
        Text(key);
        Align();
        return start;
    }
    void End(std::size_t start) {
        const auto length = static_cast<std::uint16_t>(bytes_.size() - start);
        bytes_[start] = static_cast<std::uint8_t>(length & 0xFF);
        bytes_[start + 1] = static_cast<std::uint8_t>(length >> 8);
    }
    std::vector<std::uint8_t>& Bytes() { return bytes_; }

  private:
    std::vector<std::uint8_t> bytes_;
};

std::uint32_t Join(std::uint16_t high, std::uint16_t low) {
    return static_cast<std::uint32_t>(high) << 16 | low;
}

}  // namespace

std::vector<std::uint8_t> WriteVersionBlock(const VersionBlockContent& content) {
    Writer w;
    const auto root = w.Begin("VS_VERSION_INFO", 52, 0);
    const auto& f = content.fileVersion;
    const auto& p = content.productVersion;
    for (const std::uint32_t field :
         {0xFEEF04BDu, 0x00010000u, Join(f[0], f[1]), Join(f[2], f[3]), Join(p[0], p[1]),
          Join(p[2], p[3]), 0x3Fu, content.fileFlags, content.fileOS, content.fileType,
          content.fileSubtype, 0u, 0u}) {
        w.U32(field);
    }
    const auto stringInfo = w.Begin("StringFileInfo", 0, 1);
    char table[9];
    std::snprintf(table, sizeof table, "%04X%04X", content.stringLanguage, content.codePage);
    const auto strings = w.Begin(table, 0, 1);
    for (const auto& [key, value] : content.strings) {
        const auto entry = w.Begin(key, static_cast<std::uint16_t>(value.size() + 1), 1);
        w.Text(value);
        w.End(entry);
    }
    w.End(strings);
    w.End(stringInfo);
    const auto varInfo = w.Begin("VarFileInfo", 0, 1);
    const auto translation = w.Begin("Translation", 4, 0);
    w.U16(content.language);
    w.U16(content.codePage);
    w.End(translation);
    w.End(varInfo);
    w.End(root);
    return std::move(w.Bytes());
}

}  // namespace tamsel
