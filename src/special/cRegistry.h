#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/RegistryStore.h"
#include "special/RegistryValue.h"

namespace tamsel {

// Root key handles as cRegistry's ClassKey holds them.
inline constexpr std::int32_t HKEY_CLASSES_ROOT = static_cast<std::int32_t>(0x80000000);
inline constexpr std::int32_t HKEY_CURRENT_USER = static_cast<std::int32_t>(0x80000001);
inline constexpr std::int32_t HKEY_LOCAL_MACHINE = static_cast<std::int32_t>(0x80000002);

// Error numbers cRegistry raises (as TamselError, source "<program>.cRegistry").
inline constexpr long kRegistryError = 26001;
inline constexpr long kRegistryWriteFailed = -2147194455;  // 0x800469A9

// The program's only way to the registry: set the root, key path and value name as properties,
// then call an operation. Writing operations raise their failures; reading ones report by result.
class cRegistry {
  public:
    explicit cRegistry(RegistryStore& store) : m_store(store) {}

    // Opens root\SectionKey for reading; true when it exists.
    bool KeyExists();
    // Creates or opens root\SectionKey; raises 26001 when it cannot.
    bool CreateKey();
    // Deletes root\SectionKey; false when it cannot be deleted (missing, has subkeys). Never
    // raises.
    bool DeleteKey();
    // Deletes ValueKey of root\SectionKey; raises 26001 when the key cannot be opened or the
    // value cannot be deleted.
    bool DeleteValue();

    // Reads ValueKey; sets ValueType from what was read. Default (ValueType untouched) when the
    // value cannot be read. Types 1 and 7 read as text (a list keeps its inner zero separators),
    // 2 as text with environment references expanded, 4 and 5 as 32-bit integers, any other type
    // as bytes.
    RegistryValue Value();
    // Writes ValueKey according to ValueType: 1 or 2 write the value's text (type 2 when it holds
    // a "%" with another "%" at least two characters on); 3 needs bytes; 4 or 5 need an integer and
    // write type 4. Raises 26001 when the key cannot be created or type 3 gets no bytes, and
    // -2147194455 when nothing was written.
    void Value(const RegistryValue& value);

    // The names of root\SectionKey's direct subkeys. True with none for a key without subkeys
    // (and for a missing key).
    bool EnumerateSections(std::vector<std::string>& names, std::int32_t& count);

    std::int32_t ValueType() const { return m_lngValueType; }
    void ValueType(std::int32_t type) { m_lngValueType = type; }
    std::int32_t ClassKey() const { return m_lngClassKey; }
    void ClassKey(std::int32_t key) { m_lngClassKey = key; }
    const std::string& SectionKey() const { return m_strSectionKey; }
    void SectionKey(std::string key) { m_strSectionKey = std::move(key); }
    const std::string& ValueKey() const { return m_strValueKey; }
    void ValueKey(std::string key) { m_strValueKey = std::move(key); }
    const RegistryValue& Default() const { return m_vDefault; }
    void Default(RegistryValue value) { m_vDefault = std::move(value); }

  private:
    [[noreturn]] void raise(long number, const std::string& message) const;
    std::string setValueMessage(const RegistryValue& value) const;

    RegistryStore& m_store;
    std::int32_t m_lngValueType = 1;
    std::int32_t m_lngClassKey = HKEY_CURRENT_USER;
    std::string m_strSectionKey;
    std::string m_strValueKey;
    RegistryValue m_vDefault;
    RegistryValue m_vLastWritten;
};

}  // namespace tamsel
