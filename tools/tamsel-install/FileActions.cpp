#include "FileActions.h"

#include "util/Error.h"
#include "util/FileSystem.h"

namespace tamsel::desktop {

void Fail(const std::string& message) {
    throw TamselError(err::PathNotFound, "tamsel-install", message);
}

std::string ReadIfPresent(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::exists(std::filesystem::symlink_status(path, error))) {
        return {};
    }
    std::string content;
    if (!ReadWholeFile(path, content)) {
        Fail("cannot read " + path);
    }
    return content;
}

void PutFile(const std::string& path, const std::string& content, std::filesystem::perms mode,
             std::ostream& out) {
    std::error_code error;
    if (std::filesystem::exists(path, error) && ReadIfPresent(path) == content) {
        out << "unchanged " << path << "\n";
        return;
    }
    CreateFolderPath(path);
    if (!WriteFileAtomically(path, content) ||
        (std::filesystem::permissions(path, mode, error), error)) {
        Fail("cannot write " + path);
    }
    out << "wrote " << path << "\n";
}

}  // namespace tamsel::desktop
