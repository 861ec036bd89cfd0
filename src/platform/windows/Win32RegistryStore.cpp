#include "platform/windows/Win32RegistryStore.h"

#include <windows.h>

#include <algorithm>

#include "util/Text.h"
#include "util/windows/WideText.h"

namespace tamsel {

namespace {

HKEY RootKey(RegistryRoot root) {
    switch (root) {
        case RegistryRoot::ClassesRoot:
            return HKEY_CLASSES_ROOT;
        case RegistryRoot::CurrentUser:
            return HKEY_CURRENT_USER;
        case RegistryRoot::LocalMachine:
            return HKEY_LOCAL_MACHINE;
    }
    return HKEY_CURRENT_USER;
}

// A key path as the registry takes it: the names joined by single "\", empty names left out.
std::wstring KeyPath(const std::string& path) {
    std::string joined;
    for (const std::string_view name : SplitKeyPath(path)) {
        joined += (joined.empty() ? "" : "\\") + std::string(name);
    }
    return Widen(joined);
}

bool Printable(std::string_view text) {
    return std::none_of(text.begin(), text.end(),
                        [](char c) { return static_cast<unsigned char>(c) < 0x20; });
}

// An open key, closed when it goes.
class OpenKey {
  public:
    OpenKey(RegistryRoot root, const std::string& path, REGSAM access) {
        if (::RegOpenKeyExW(RootKey(root), KeyPath(path).c_str(), 0, access, &key_) !=
            ERROR_SUCCESS) {
            key_ = nullptr;
        }
    }
    ~OpenKey() {
        if (key_ != nullptr) {
            ::RegCloseKey(key_);
        }
    }
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;
    HKEY get() const { return key_; }

  private:
    HKEY key_ = nullptr;
};

bool IsText(std::uint32_t type) {
    return type == regtype::Text || type == regtype::ExpandText || type == regtype::TextList;
}

// UTF-16 registry bytes of a text value from its UTF-8 bytes (terminating zeros included).
std::vector<std::uint8_t> WideBytes(const std::vector<std::uint8_t>& utf8) {
    const std::wstring wide =
        Widen(std::string_view(reinterpret_cast<const char*>(utf8.data()), utf8.size()));
    const auto* first = reinterpret_cast<const std::uint8_t*>(wide.data());
    return {first, first + wide.size() * sizeof(wchar_t)};
}

// UTF-8 bytes of a text value from the registry's UTF-16 bytes, with the terminating zeros a
// well-formed value has (a text one, a list two) even when the registry kept none.
std::vector<std::uint8_t> Utf8Bytes(const std::vector<std::uint8_t>& bytes, std::uint32_t type) {
    std::wstring wide(bytes.size() / sizeof(wchar_t), L'\0');
    std::copy_n(bytes.begin(), wide.size() * sizeof(wchar_t),
                reinterpret_cast<std::uint8_t*>(wide.data()));
    const std::size_t zeros = type == regtype::TextList ? 2 : 1;
    std::size_t end = wide.size();
    while (end > 0 && wide[end - 1] == L'\0') {
        --end;
    }
    wide.resize(end);
    std::string text = Narrow(wide);
    text.append(zeros, '\0');
    return {text.begin(), text.end()};
}

}  // namespace

std::shared_ptr<RegistryStore> MakeUserRegistryStore() {
    return std::make_shared<Win32RegistryStore>();
}

RegistryStore& SystemRegistryStore() {
    static Win32RegistryStore store;
    return store;
}

bool Win32RegistryStore::keyExists(RegistryRoot root, const std::string& path) {
    return OpenKey(root, path, KEY_READ).get() != nullptr;
}

bool Win32RegistryStore::createKey(RegistryRoot root, const std::string& path) {
    if (!Printable(path)) {
        return false;
    }
    HKEY key = nullptr;
    if (::RegCreateKeyExW(RootKey(root), KeyPath(path).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                          KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS) {
        return false;
    }
    ::RegCloseKey(key);
    return true;
}

bool Win32RegistryStore::deleteKey(RegistryRoot root, const std::string& path) {
    const auto names = SplitKeyPath(path);
    if (names.empty()) {
        return false;
    }
    // The registry deletes only a key without subkeys, as every store does.
    return ::RegDeleteKeyW(RootKey(root), KeyPath(path).c_str()) == ERROR_SUCCESS;
}

std::optional<RegistryData> Win32RegistryStore::readValue(RegistryRoot root,
                                                          const std::string& path,
                                                          const std::string& name) {
    const OpenKey key(root, path, KEY_QUERY_VALUE);
    if (key.get() == nullptr) {
        return std::nullopt;
    }
    const std::wstring wideName = Widen(name);
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD type = 0;
        DWORD size = 0;
        if (::RegQueryValueExW(key.get(), wideName.c_str(), nullptr, &type, nullptr, &size) !=
            ERROR_SUCCESS) {
            return std::nullopt;
        }
        std::vector<std::uint8_t> bytes(size);
        const LONG result =
            ::RegQueryValueExW(key.get(), wideName.c_str(), nullptr, &type, bytes.data(), &size);
        if (result == ERROR_MORE_DATA) {
            continue;  // the value grew in between
        }
        if (result != ERROR_SUCCESS) {
            return std::nullopt;
        }
        bytes.resize(size);
        return RegistryData{type, IsText(type) ? Utf8Bytes(bytes, type) : std::move(bytes)};
    }
    return std::nullopt;
}

bool Win32RegistryStore::writeValue(RegistryRoot root, const std::string& path,
                                    const std::string& name, const RegistryData& data) {
    if (!Printable(name)) {
        return false;
    }
    const OpenKey key(root, path, KEY_SET_VALUE);
    if (key.get() == nullptr) {
        return false;
    }
    const std::vector<std::uint8_t> bytes = IsText(data.type) ? WideBytes(data.bytes) : data.bytes;
    return ::RegSetValueExW(key.get(), Widen(name).c_str(), 0, data.type, bytes.data(),
                            static_cast<DWORD>(bytes.size())) == ERROR_SUCCESS;
}

bool Win32RegistryStore::deleteValue(RegistryRoot root, const std::string& path,
                                     const std::string& name) {
    const OpenKey key(root, path, KEY_SET_VALUE);
    return key.get() != nullptr &&
           ::RegDeleteValueW(key.get(), Widen(name).c_str()) == ERROR_SUCCESS;
}

std::optional<std::vector<std::string>> Win32RegistryStore::subkeys(RegistryRoot root,
                                                                    const std::string& path) {
    const OpenKey key(root, path, KEY_ENUMERATE_SUB_KEYS);
    if (key.get() == nullptr) {
        return std::nullopt;
    }
    std::vector<std::string> names;
    std::wstring name(256, L'\0');  // the longest key name is 255 characters
    for (DWORD index = 0;; ++index) {
        DWORD length = static_cast<DWORD>(name.size());
        const LONG result = ::RegEnumKeyExW(key.get(), index, name.data(), &length, nullptr,
                                            nullptr, nullptr, nullptr);
        if (result == ERROR_NO_MORE_ITEMS) {
            break;
        }
        if (result != ERROR_SUCCESS) {
            return std::nullopt;
        }
        names.push_back(Narrow(std::wstring_view(name.data(), length)));
    }
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return RegistryKey::NameLessIgnoringCase{}(a, b);
    });
    return names;
}

}  // namespace tamsel
