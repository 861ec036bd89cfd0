#pragma once

#include "platform/UniqueFile.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

namespace tamsel {

// A response body on its way to disk: a uniquely named hidden file, readable by its owner only,
// that is deleted when this object goes, unless it has been moved into place with commitTo.
class SpoolFile {
  public:
    // A new empty file in the folder; nullptr when it cannot be created.
    static std::unique_ptr<SpoolFile> Create(const std::filesystem::path& folder);

    ~SpoolFile();
    SpoolFile(const SpoolFile&) = delete;
    SpoolFile& operator=(const SpoolFile&) = delete;

    bool write(const char* data, std::size_t size);
    // Flushes and closes the file; false when any write failed.
    bool close();
    std::uintmax_t size() const { return size_; }
    const std::filesystem::path& path() const { return path_; }
    // The whole content (the file must be closed).
    std::string readAll() const;
    // Moves the closed file to the target, creating or replacing it. The target is only ever
    // replaced by a complete file: across file systems the content is first copied to a
    // temporary file in the target's folder and that one is renamed.
    bool commitTo(const std::filesystem::path& target);

    // A name for a temporary file in the folder that no other file of this process uses:
    // ".tamsel-<process id>-<salt>-<counter>.part".
    static std::filesystem::path UniqueNameIn(const std::filesystem::path& folder);

  private:
    SpoolFile(std::filesystem::path path, UniqueFile file);

    std::filesystem::path path_;
    UniqueFile file_;
    std::uintmax_t size_ = 0;
    bool writeFailed_ = false;
    bool committed_ = false;
};

// The folder for response bodies: the system's temporary folder.
std::filesystem::path DefaultSpoolFolder();

// Removes the spool files left in the folder (and below it when recursive, not through linked
// folders) by processes of this user that are no longer running (killed mid-download).
void RemoveStaleSpoolFiles(const std::filesystem::path& folder, bool recursive);

}  // namespace tamsel
