#pragma once

#include "platform/RegistryStore.h"

namespace tamsel {

// The Windows registry itself, reached with the wide registry calls. Texts are UTF-16 in the
// registry and UTF-8 in RegistryData; the results and failures are those of every other store.
class Win32RegistryStore : public RegistryStore {
  public:
    bool keyExists(RegistryRoot root, const std::string& path) override;
    bool createKey(RegistryRoot root, const std::string& path) override;
    bool deleteKey(RegistryRoot root, const std::string& path) override;
    std::optional<RegistryData> readValue(RegistryRoot root, const std::string& path,
                                          const std::string& name) override;
    bool writeValue(RegistryRoot root, const std::string& path, const std::string& name,
                    const RegistryData& data) override;
    bool deleteValue(RegistryRoot root, const std::string& path, const std::string& name) override;
    std::optional<std::vector<std::string>> subkeys(RegistryRoot root,
                                                    const std::string& path) override;

  protected:
    // Every operation above goes to the registry directly; there is no snapshot to hand out.
    bool view(RegistryRoot, const std::function<void(const RegistryKey&)>&) override {
        return false;
    }
    bool update(RegistryRoot, const std::function<bool(RegistryKey&)>&) override { return false; }
};

}  // namespace tamsel
