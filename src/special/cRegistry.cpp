#include "special/cRegistry.h"

#include <cstdlib>
#include <optional>

#include "platform/ExecutableName.h"
#include "util/Error.h"

namespace tamsel {

namespace {

std::optional<RegistryRoot> RootOf(std::int32_t classKey) {
    switch (classKey) {
        case HKEY_CLASSES_ROOT:
            return RegistryRoot::ClassesRoot;
        case HKEY_CURRENT_USER:
            return RegistryRoot::CurrentUser;
        case HKEY_LOCAL_MACHINE:
            return RegistryRoot::LocalMachine;
        default:
            return std::nullopt;
    }
}

// The text of a text value: its bytes without the terminating zero.
std::string TextOf(const std::vector<std::uint8_t>& bytes) {
    std::string text(bytes.begin(), bytes.end());
    if (!text.empty() && text.back() == '\0') {
        text.pop_back();
    }
    return text;
}

// Replaces each %NAME% by the environment's NAME; a reference to an unset name stays as it is.
std::string ExpandEnvironment(const std::string& text) {
    std::string expanded;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const auto open = text.find('%', pos);
        const auto close = open == std::string::npos ? open : text.find('%', open + 1);
        if (close == std::string::npos) {
            break;
        }
        expanded.append(text, pos, open - pos);
        const std::string name = text.substr(open + 1, close - open - 1);
        const char* setting = name.empty() ? nullptr : std::getenv(name.c_str());
        if (setting) {
            expanded += setting;
            pos = close + 1;
        } else {
            // The second "%" may open a reference of its own.
            expanded.append(text, open, close - open);
            pos = close;
        }
    }
    expanded.append(text, std::min(pos, text.size()));
    return expanded;
}

std::int32_t NumberOf(const std::vector<std::uint8_t>& bytes, bool bigEndian) {
    std::uint32_t number = 0;
    for (int i = 0; i < 4; ++i) {
        const std::size_t index = bigEndian ? static_cast<std::size_t>(i) : 3 - i;
        number = (number << 8) | (index < bytes.size() ? bytes[index] : 0);
    }
    return static_cast<std::int32_t>(number);
}

// A "%" with another "%" at least two characters after it marks a text to be expanded on reading.
bool HoldsReference(const std::string& text) {
    const auto first = text.find('%');
    return first != std::string::npos && text.find('%', first + 2) != std::string::npos;
}

std::optional<RegistryData> DataToWrite(std::int32_t valueType, const RegistryValue& value) {
    switch (valueType) {
        case regtype::Text:
        case regtype::ExpandText: {
            const std::string text = RegistryValueText(value);
            return RegistryText(text, HoldsReference(text) ? regtype::ExpandText : regtype::Text);
        }
        case regtype::Number:
        case regtype::NumberBigEndian: {
            std::int32_t number = 0;
            if (const auto* small = std::get_if<std::int16_t>(&value)) {
                number = *small;
            } else if (const auto* large = std::get_if<std::int32_t>(&value)) {
                number = *large;
            } else {
                return std::nullopt;
            }
            const auto bits = static_cast<std::uint32_t>(number);
            return RegistryData{
                regtype::Number,
                {static_cast<std::uint8_t>(bits), static_cast<std::uint8_t>(bits >> 8),
                 static_cast<std::uint8_t>(bits >> 16), static_cast<std::uint8_t>(bits >> 24)}};
        }
        default:
            return std::nullopt;
    }
}

}  // namespace

void cRegistry::raise(long number, const std::string& message) const {
    throw TamselError(number, ExecutableName() + ".cRegistry", message);
}

std::string cRegistry::setValueMessage(const RegistryValue& value) const {
    return "Failed to set registry value Key: '" + std::to_string(m_lngClassKey) + "',Section: '" +
           m_strSectionKey + "',Key: '" + m_strValueKey + "' to value: '" +
           RegistryValueText(value) + "'";
}

bool cRegistry::KeyExists() {
    const auto root = RootOf(m_lngClassKey);
    return root && m_store.keyExists(*root, m_strSectionKey);
}

bool cRegistry::CreateKey() {
    const auto root = RootOf(m_lngClassKey);
    if (!root || !m_store.createKey(*root, m_strSectionKey)) {
        raise(kRegistryError, "Failed to create registry Key: '" + m_strSectionKey);
    }
    return true;
}

bool cRegistry::DeleteKey() {
    const auto root = RootOf(m_lngClassKey);
    return root && m_store.deleteKey(*root, m_strSectionKey);
}

bool cRegistry::DeleteValue() {
    const auto root = RootOf(m_lngClassKey);
    const std::string where = std::to_string(m_lngClassKey) + "',Section: '" + m_strSectionKey;
    if (!root || !m_store.keyExists(*root, m_strSectionKey)) {
        raise(kRegistryError, "Failed to open key '" + where + "' for delete access");
    }
    if (!m_store.deleteValue(*root, m_strSectionKey, m_strValueKey)) {
        raise(kRegistryError,
              "Failed to delete registry Key: '" + where + "',Key: '" + m_strValueKey);
    }
    return true;
}

RegistryValue cRegistry::Value() {
    const auto root = RootOf(m_lngClassKey);
    const auto data =
        root ? m_store.readValue(*root, m_strSectionKey, m_strValueKey) : std::nullopt;
    if (!data) {
        return m_vDefault;
    }
    m_lngValueType = static_cast<std::int32_t>(data->type);
    switch (data->type) {
        case regtype::Text:
        case regtype::TextList:
            return TextOf(data->bytes);
        case regtype::ExpandText:
            return ExpandEnvironment(TextOf(data->bytes));
        case regtype::Number:
            return NumberOf(data->bytes, false);
        case regtype::NumberBigEndian:
            return NumberOf(data->bytes, true);
        default:
            return data->bytes;
    }
}

void cRegistry::Value(const RegistryValue& value) {
    const auto root = RootOf(m_lngClassKey);
    if (!root || !m_store.createKey(*root, m_strSectionKey)) {
        raise(kRegistryError, setValueMessage(value));
    }
    std::optional<RegistryData> data;
    if (m_lngValueType == static_cast<std::int32_t>(regtype::Binary)) {
        const auto* bytes = std::get_if<std::vector<std::uint8_t>>(&value);
        if (!bytes) {
            raise(kRegistryError, "");
        }
        data = RegistryData{regtype::Binary, *bytes};
    } else {
        data = DataToWrite(m_lngValueType, value);
    }
    if (!data || !m_store.writeValue(*root, m_strSectionKey, m_strValueKey, *data)) {
        raise(kRegistryWriteFailed, setValueMessage(value));
    }
    m_vLastWritten = value;
}

bool cRegistry::EnumerateSections(std::vector<std::string>& names, std::int32_t& count) {
    names.clear();
    count = 0;
    const auto root = RootOf(m_lngClassKey);
    if (root) {
        if (auto found = m_store.subkeys(*root, m_strSectionKey)) {
            names = std::move(*found);
        }
    }
    count = static_cast<std::int32_t>(names.size());
    return true;
}

}  // namespace tamsel
