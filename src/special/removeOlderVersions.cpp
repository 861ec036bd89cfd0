#include "special/removeOlderVersions.h"

#include <unistd.h>

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "platform/ExecutableName.h"
#include "reporting/CFileVersionInfo.h"
#include "util/Error.h"
#include "util/FileSystem.h"
#include "util/Text.h"

namespace tamsel {
namespace {

// The product version's digits joined together, read as a number: "1.10.0.0" is 11000 and so
// newer than "1.9.9.9" (1999).
double VersionNumber(const std::string& productVersion) {
    const std::string text = TrimSpaces(ReplaceAll(productVersion, ".", ""));
    std::size_t digits = text.empty() || (text[0] != '+' && text[0] != '-') ? 0 : 1;
    const std::size_t first = digits;
    while (digits < text.size() && std::isdigit(static_cast<unsigned char>(text[digits]))) {
        ++digits;
    }
    if (digits == first || digits != text.size()) {
        throw TamselError(err::TypeMismatch, "removeOlderVersions", "Type mismatch");
    }
    return std::trunc(std::strtod(text.c_str(), nullptr));
}

bool IsCandidate(const std::string& folder, const FolderEntry& entry) {
    if (entry.isFolder) {
        return false;
    }
    const std::string upper = ToUpper(entry.name);
    return (upper.size() >= 4 && upper.compare(upper.size() - 4, 4, ".EXE") == 0) ||
           ::access((AddTrailingBackslash(folder) + entry.name).c_str(), X_OK) == 0;
}

}  // namespace

void removeOlderVersions(const std::string& folder, const std::string& runningProgram) {
    CFileVersionInfo own;
    own.FullPathName(runningProgram);
    const double ownNumber = VersionNumber(own.Available() ? own.ProductVersion() : "");

    std::vector<std::string> older;
    for (const auto& entry : ListFolder(folder)) {
        if (!IsCandidate(folder, entry)) {
            continue;
        }
        const std::string path = AddTrailingBackslash(folder) + entry.name;
        // A fresh reader for each file: a file without version information must not be judged
        // by the texts of the file read before it.
        CFileVersionInfo copy;
        copy.FullPathName(path);
        if (!copy.Available() || ToUpper(copy.ProductName()).find("TAMSEL") == std::string::npos) {
            continue;
        }
        // The running program reads its own number, which is never below itself.
        if (VersionNumber(copy.ProductVersion()) < ownNumber) {
            older.push_back(path);
        }
    }
    for (const auto& path : older) {
        SafeDeleteFile(path);
    }
}

void removeOlderVersions(UpdateRun& run) {
    removeOlderVersions(run.g_objMetrics.AppPath(), ExecutablePath());
}

}  // namespace tamsel
