#include "app/RegistryReading.h"

#include "special/cRegistry.h"

namespace tamsel {

namespace {

// A wrapper on the root named as exports name it; an unknown name gets a handle no root has.
cRegistry Opened(RegistryStore& store, const std::string& root, const std::string& key) {
    cRegistry registry(store);
    registry.ClassKey(root == "HKEY_CLASSES_ROOT"    ? HKEY_CLASSES_ROOT
                      : root == "HKEY_CURRENT_USER"  ? HKEY_CURRENT_USER
                      : root == "HKEY_LOCAL_MACHINE" ? HKEY_LOCAL_MACHINE
                                                     : 0);
    registry.SectionKey(key);
    return registry;
}

}  // namespace

std::string RegistryWrapperReader::Value(const std::string& root, const std::string& key,
                                         const std::string& name) const {
    cRegistry registry = Opened(*store_, root, key);
    registry.ValueKey(name);
    return RegistryValueText(registry.Value());
}

std::vector<std::string> RegistryWrapperReader::SubKeys(const std::string& root,
                                                        const std::string& key) const {
    cRegistry registry = Opened(*store_, root, key);
    std::vector<std::string> names;
    std::int32_t count = 0;
    registry.EnumerateSections(names, count);
    return names;
}

}  // namespace tamsel
