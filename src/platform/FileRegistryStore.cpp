#include "platform/FileRegistryStore.h"

#include <cstdlib>
#include <filesystem>
#include <optional>

#include "platform/FileLock.h"
#include "platform/RegistryExport.h"
#include "util/FileSystem.h"

namespace tamsel {

namespace {

// The root's keys as the file holds them: empty for a missing file, nothing for a file that
// cannot be read or parsed.
std::optional<RegistryKey> LoadRoot(const std::string& path, RegistryRoot root) {
    if (!EntryExists(path)) {
        return RegistryKey();
    }
    std::string bytes;
    if (!ReadWholeFile(path, bytes)) {
        return std::nullopt;
    }
    return ParseRegistryExport(bytes, root);
}

}  // namespace

FileRegistryStore::FileRegistryStore(std::string folder) : folder_(std::move(folder)) {}

std::string FileRegistryStore::DefaultFolder() {
    if (const char* folder = std::getenv("TAMSEL_REGISTRY"); folder && *folder) {
        return folder;
    }
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config) {
        return std::string(config) + "/tamsel/registry";
    }
    const char* home = std::getenv("HOME");
    return std::string(home ? home : "") + "/.config/tamsel/registry";
}

std::string FileRegistryStore::filePath(RegistryRoot root) const {
    return folder_ + "/" + RegistryRootName(root) + ".reg";
}

bool FileRegistryStore::view(RegistryRoot root,
                             const std::function<void(const RegistryKey&)>& look) {
    const auto top = LoadRoot(filePath(root), root);
    if (top) {
        look(*top);
    }
    return top.has_value();
}

bool FileRegistryStore::update(RegistryRoot root, const std::function<bool(RegistryKey&)>& change) {
    std::error_code ignored;
    std::filesystem::create_directories(folder_, ignored);
    const std::string path = filePath(root);
    // The root's file itself is replaced by renaming, so a file beside it carries the lock.
    const FileLock lock(path + ".lock");
    if (!lock.held()) {
        return false;
    }
    auto top = LoadRoot(path, root);
    return top && change(*top) && WriteFileAtomically(path, FormatRegistryExport(*top, root));
}

}  // namespace tamsel
