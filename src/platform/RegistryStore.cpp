#include "platform/RegistryStore.h"

#include <algorithm>

namespace tamsel {

namespace {

// Control characters would break the exported file's lines; such names are never created.
bool Printable(std::string_view text) {
    return std::none_of(text.begin(), text.end(),
                        [](char c) { return static_cast<unsigned char>(c) < 0x20; });
}

}  // namespace

std::string RegistryRootName(RegistryRoot root) {
    switch (root) {
        case RegistryRoot::ClassesRoot:
            return "HKEY_CLASSES_ROOT";
        case RegistryRoot::CurrentUser:
            return "HKEY_CURRENT_USER";
        case RegistryRoot::LocalMachine:
            return "HKEY_LOCAL_MACHINE";
    }
    return {};
}

bool RegistryStore::keyExists(RegistryRoot root, const std::string& path) {
    bool exists = false;
    view(root, [&](const RegistryKey& top) { exists = top.find(path) != nullptr; });
    return exists;
}

bool RegistryStore::createKey(RegistryRoot root, const std::string& path) {
    if (!Printable(path)) {
        return false;
    }
    bool existed = false;
    view(root, [&](const RegistryKey& top) { existed = top.find(path) != nullptr; });
    return existed || update(root, [&](RegistryKey& top) {
               top.create(path);
               return true;
           });
}

bool RegistryStore::deleteKey(RegistryRoot root, const std::string& path) {
    const auto names = SplitKeyPath(path);
    if (names.empty()) {
        return false;
    }
    const std::string parentPath(path.substr(0, names.back().data() - path.data()));
    return update(root, [&](RegistryKey& top) {
        RegistryKey* parent = top.find(parentPath);
        const RegistryKey* key = parent ? parent->find(names.back()) : nullptr;
        return key && key->subkeys().empty() && parent->removeSubkey(names.back());
    });
}

std::optional<RegistryData> RegistryStore::readValue(RegistryRoot root, const std::string& path,
                                                     const std::string& name) {
    std::optional<RegistryData> result;
    view(root, [&](const RegistryKey& top) {
        if (const RegistryKey* key = top.find(path)) {
            if (const RegistryData* data = key->value(name)) {
                result = *data;
            }
        }
    });
    return result;
}

bool RegistryStore::writeValue(RegistryRoot root, const std::string& path, const std::string& name,
                               const RegistryData& data) {
    if (!Printable(name)) {
        return false;
    }
    return update(root, [&](RegistryKey& top) {
        RegistryKey* key = top.find(path);
        if (key) {
            key->setValue(name, data);
        }
        return key != nullptr;
    });
}

bool RegistryStore::deleteValue(RegistryRoot root, const std::string& path,
                                const std::string& name) {
    return update(root, [&](RegistryKey& top) {
        RegistryKey* key = top.find(path);
        return key && key->removeValue(name);
    });
}

std::optional<std::vector<std::string>> RegistryStore::subkeys(RegistryRoot root,
                                                               const std::string& path) {
    std::optional<std::vector<std::string>> names;
    view(root, [&](const RegistryKey& top) {
        if (const RegistryKey* key = top.find(path)) {
            names.emplace();
            for (const auto& [name, subkey] : key->subkeys()) {
                names->push_back(subkey->name());
            }
        }
    });
    return names;
}

bool MemoryRegistryStore::view(RegistryRoot root,
                               const std::function<void(const RegistryKey&)>& look) {
    look(roots_[static_cast<int>(root)]);
    return true;
}

bool MemoryRegistryStore::update(RegistryRoot root,
                                 const std::function<bool(RegistryKey&)>& change) {
    return change(roots_[static_cast<int>(root)]);
}

}  // namespace tamsel
