#pragma once

#include <string>

#include "platform/RegistryStore.h"

namespace tamsel {

// A registry kept in a folder, one exported-registry file per root ("HKEY_CURRENT_USER.reg" and
// so on), which installers, administrators and tests can read and write by hand. A missing file is
// an empty root. Each change reads the file, changes it and replaces it atomically while holding
// an advisory lock, so changes made by several processes at once are all kept. A file that cannot
// be read or parsed is never overwritten: reads find nothing in it and changes fail.
class FileRegistryStore : public RegistryStore {
  public:
    explicit FileRegistryStore(std::string folder = DefaultFolder());

    const std::string& folder() const { return folder_; }
    std::string filePath(RegistryRoot root) const;

    // $TAMSEL_REGISTRY when set, else $XDG_CONFIG_HOME/tamsel/registry (~/.config when unset).
    static std::string DefaultFolder();

  protected:
    bool view(RegistryRoot root, const std::function<void(const RegistryKey&)>& look) override;
    bool update(RegistryRoot root, const std::function<bool(RegistryKey&)>& change) override;

  private:
    std::string folder_;
};

// The one registry of this user (on Linux the files of the default folder), for callers that are
// not handed another.
RegistryStore& SystemRegistryStore();

}  // namespace tamsel
