#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <filesystem>
#include <fstream>

#include "platform/DetachedStart.h"
#include "platform/ShellLauncher.h"
#include "util/Text.h"

namespace tamsel {

namespace {

constexpr int kStarted = 33;
constexpr int kFileNotFound = 2;
constexpr int kPathNotFound = 3;
constexpr int kAccessDenied = 5;
constexpr int kOutOfMemory = 8;
constexpr int kBadProgram = 11;
constexpr int kNoAssociation = 31;
constexpr int kOtherError = 1;

bool IsAddress(const std::string& file) {
    return file.find("://") != std::string::npos || ToLower(file.substr(0, 7)) == "mailto:";
}

// An ELF image or a "#!" script that we may execute.
bool IsProgram(const std::string& file) {
    if (::access(file.c_str(), X_OK) != 0) {
        return false;
    }
    char magic[4] = {};
    std::ifstream(file, std::ios::binary).read(magic, sizeof magic);
    return std::string_view(magic, 4) ==
               "\x7f"
               "ELF" ||
           std::string_view(magic, 2) == "#!";
}

// Why a path cannot be reached, in the shell's numbering.
int MissingPathResult(const std::string& file, int error) {
    if (error == EACCES) {
        return kAccessDenied;
    }
    if (error == ENOTDIR) {
        return kPathNotFound;
    }
    if (error != ENOENT) {
        return kOtherError;
    }
    const auto slash = file.rfind('/');
    if (slash == std::string::npos || slash == 0) {
        return kFileNotFound;
    }
    struct stat folder {};
    const bool folderThere =
        ::stat(file.substr(0, slash).c_str(), &folder) == 0 && S_ISDIR(folder.st_mode);
    return folderThere ? kFileNotFound : kPathNotFound;
}

int StartResult(int error) {
    switch (error) {
        case 0:
            return kStarted;
        case EACCES:
        case EPERM:
            return kAccessDenied;
        case ENOMEM:
        case EAGAIN:
            return kOutOfMemory;
        case ENOENT:
            return kPathNotFound;  // the working folder, or the script's interpreter, is missing
        default:
            return kBadProgram;
    }
}

// xdg-open: 0 done, 1 bad arguments, 2 file missing, 3 no tool for it, 4 the opening failed
// (as for a type no program takes); 127 when it could not be started at all.
int OpenerResult(std::optional<int> status) {
    if (!status || *status == 0) {
        return kStarted;
    }
    switch (*status) {
        case 2:
            return kFileNotFound;
        case 3:
        case 4:
        case 127:
            return kNoAssociation;
        default:
            return kOtherError;
    }
}

// Parameters split at spaces; double quotes group words and are dropped.
std::vector<std::string> SplitParameters(const std::string& parameters) {
    std::vector<std::string> words;
    std::string word;
    bool quoted = false;
    bool inWord = false;
    for (const char c : parameters) {
        if (c == '"') {
            quoted = !quoted;
            inWord = true;
        } else if ((c == ' ' || c == '\t') && !quoted) {
            if (inWord) {
                words.push_back(word);
            }
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord) {
        words.push_back(word);
    }
    return words;
}

}  // namespace

int LinuxShellLauncher::open(const ShellRequest& request) {
    if (!request.verb.empty() && !EqualsNoCase(request.verb, "open")) {
        return kNoAssociation;
    }
    const std::string& file = request.file;
    if (file.empty()) {
        return kFileNotFound;
    }
    if (IsAddress(file)) {
        return OpenerResult(RunDetached({opener_, file}, openerWait_));
    }
    struct stat info {};
    if (::stat(file.c_str(), &info) != 0) {
        return MissingPathResult(file, errno);
    }
    const int wanted = S_ISDIR(info.st_mode) ? R_OK | X_OK : R_OK;
    if (::access(file.c_str(), wanted) != 0) {
        return kAccessDenied;
    }
    if (S_ISREG(info.st_mode) && IsProgram(file)) {
        // The working folder changes before the program starts: name it from here.
        std::error_code ignored;
        std::vector<std::string> argv{std::filesystem::absolute(file, ignored).string()};
        for (auto& word : SplitParameters(request.parameters)) {
            argv.push_back(std::move(word));
        }
        return StartResult(StartDetached(argv, request.folder));
    }
    return OpenerResult(RunDetached({opener_, file}, openerWait_));
}

ShellLauncher& SystemShellLauncher() {
    static LinuxShellLauncher launcher;
    return launcher;
}

}  // namespace tamsel
