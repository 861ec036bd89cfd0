#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tamsel {

// Registry data types, numbered as the registry numbers them.
namespace regtype {
inline constexpr std::uint32_t None = 0;
inline constexpr std::uint32_t Text = 1;
inline constexpr std::uint32_t ExpandText = 2;
inline constexpr std::uint32_t Binary = 3;
inline constexpr std::uint32_t Number = 4;
inline constexpr std::uint32_t NumberBigEndian = 5;
inline constexpr std::uint32_t TextList = 7;
}  // namespace regtype

// A value as the registry keeps it: a type and bytes. Texts (types 1, 2 and 7) are UTF-8 bytes
// with their terminating zero (a list ends with two); type 4 is four bytes little-endian, type 5
// four bytes big-endian.
struct RegistryData {
    std::uint32_t type = regtype::None;
    std::vector<std::uint8_t> bytes;
    bool operator==(const RegistryData&) const = default;
};

// A text value: the text's bytes and a terminating zero.
RegistryData RegistryText(std::string_view text, std::uint32_t type = regtype::Text);

struct RegistryNamedValue {
    std::string name;  // empty for the key's default value
    RegistryData data;
};

// One key: its name as it was created, its values in the order they were first written, and its
// subkeys ordered ignoring case. Names compare ignoring case.
class RegistryKey {
  public:
    explicit RegistryKey(std::string name = {}) : name_(std::move(name)) {}

    const std::string& name() const { return name_; }

    // The key below this one along the path's "\"-separated names; null when missing.
    const RegistryKey* find(std::string_view path) const;
    RegistryKey* find(std::string_view path);
    // The key along the path, created with any missing parent.
    RegistryKey& create(std::string_view path);
    // Removes a direct subkey with everything below it; false when there is none by that name.
    bool removeSubkey(std::string_view name);

    const std::vector<RegistryNamedValue>& values() const { return values_; }
    const RegistryData* value(std::string_view name) const;
    // Replaces the data of an existing value (keeping its name's case) or appends a new value.
    void setValue(std::string_view name, RegistryData data);
    bool removeValue(std::string_view name);

    struct NameLessIgnoringCase {
        using is_transparent = void;
        bool operator()(std::string_view a, std::string_view b) const;
    };
    using Subkeys = std::map<std::string, std::unique_ptr<RegistryKey>, NameLessIgnoringCase>;
    const Subkeys& subkeys() const { return subkeys_; }

  private:
    std::string name_;
    std::vector<RegistryNamedValue> values_;
    Subkeys subkeys_;
};

// The "\"-separated names of a key path, empty names left out.
std::vector<std::string_view> SplitKeyPath(std::string_view path);

}  // namespace tamsel
