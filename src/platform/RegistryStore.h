#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/RegistryKey.h"

namespace tamsel {

// The three roots the program reaches.
enum class RegistryRoot { ClassesRoot, CurrentUser, LocalMachine };

// The root's full name as exports write it, "HKEY_CURRENT_USER" and so on.
std::string RegistryRootName(RegistryRoot root);

// A registry of keys below three roots. A key path is its names separated by "\" (empty names
// are skipped, so an empty path is the root itself); names compare ignoring case. Every operation
// reports failure by its result and never throws. A store that holds a snapshot of keys works
// through view and update; the system's own registry replaces the operations themselves.
class RegistryStore {
  public:
    virtual ~RegistryStore() = default;

    virtual bool keyExists(RegistryRoot root, const std::string& path);
    // Creates the key and any missing parent; true when it exists afterwards.
    virtual bool createKey(RegistryRoot root, const std::string& path);
    // Deletes a key without subkeys. False for a missing key, a key with subkeys or the root.
    virtual bool deleteKey(RegistryRoot root, const std::string& path);
    // The value named (empty for the key's default value); nothing when the key or value is
    // missing or the root cannot be read.
    virtual std::optional<RegistryData> readValue(RegistryRoot root, const std::string& path,
                                                  const std::string& name);
    // Creates or replaces a value of an existing key; a new value goes after the others.
    virtual bool writeValue(RegistryRoot root, const std::string& path, const std::string& name,
                            const RegistryData& data);
    // False when the key or the value is missing.
    virtual bool deleteValue(RegistryRoot root, const std::string& path, const std::string& name);
    // The names of the key's direct subkeys, ordered ignoring case; nothing for a missing key.
    virtual std::optional<std::vector<std::string>> subkeys(RegistryRoot root,
                                                            const std::string& path);

  protected:
    // Calls look with the root's top key; false when the root cannot be read.
    virtual bool view(RegistryRoot root, const std::function<void(const RegistryKey&)>& look) = 0;
    // Calls change with the root's top key and keeps what it did when it returns true. False when
    // the root cannot be read or kept, or change returned false (nothing is kept then).
    virtual bool update(RegistryRoot root, const std::function<bool(RegistryKey&)>& change) = 0;
};

// A registry held in memory, for tests and for runs that must not touch the user's files.
class MemoryRegistryStore : public RegistryStore {
  protected:
    bool view(RegistryRoot root, const std::function<void(const RegistryKey&)>& look) override;
    bool update(RegistryRoot root, const std::function<bool(RegistryKey&)>& change) override;

  private:
    RegistryKey roots_[3];
};

// The registry of this user for a run: the Windows registry on Windows, the files of
// FileRegistryStore's default folder elsewhere.
std::shared_ptr<RegistryStore> MakeUserRegistryStore();

}  // namespace tamsel
