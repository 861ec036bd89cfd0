#include "util/FileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "util/DateTime.h"
#include "util/Error.h"
#include "util/Text.h"

namespace tamsel {

namespace fs = std::filesystem;

namespace {

// Closes a file descriptor when it goes out of scope.
class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    // Closes now and reports whether closing succeeded.
    bool close() {
        const int fd = fd_;
        fd_ = -1;
        return fd < 0 || ::close(fd) == 0;
    }

  private:
    int fd_;
};

// Closes a directory stream when it goes out of scope.
class DirectoryStream {
  public:
    explicit DirectoryStream(DIR* dir) : dir_(dir) {}
    ~DirectoryStream() {
        if (dir_ != nullptr)
            ::closedir(dir_);
    }
    DirectoryStream(const DirectoryStream&) = delete;
    DirectoryStream& operator=(const DirectoryStream&) = delete;
    DIR* get() const { return dir_; }

  private:
    DIR* dir_;
};

long ErrorNumberFor(int error) {
    switch (error) {
        case EACCES:
        case EPERM:
        case EROFS:
            return err::PermissionDenied;
        case ENOENT:
        case ENOTDIR:
            return err::PathNotFound;
        default:
            return err::PathNotFound;
    }
}

std::string LastComponent(std::string_view path) {
    const auto pos = path.rfind('/');
    return std::string(pos == std::string_view::npos ? path : path.substr(pos + 1));
}

bool IsHiddenName(std::string_view name) {
    return !name.empty() && name.front() == '.';
}

bool StatRegularFile(const std::string& path, struct stat& st) {
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool WriteAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// The host's system folders that SafeDeleteFile never touches.
constexpr std::array<std::string_view, 11> kProtectedFolders = {
    "/bin", "/boot", "/dev", "/etc", "/lib", "/lib32", "/lib64", "/proc", "/sbin", "/sys", "/usr"};

bool InsideProtectedFolder(const fs::path& normal) {
    const std::string text = normal.generic_string();
    if (text == "/")
        return true;
    for (const std::string_view folder : kProtectedFolders) {
        if (text.size() >= folder.size() && text.compare(0, folder.size(), folder) == 0 &&
            (text.size() == folder.size() || text[folder.size()] == '/')) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::vector<FolderEntry> ListFolder(const std::string& folder) {
    const std::string base = AddTrailingBackslash(folder);
    DirectoryStream dir(folder.empty() ? nullptr : ::opendir(folder.c_str()));
    if (dir.get() == nullptr) {
        const int error = folder.empty() ? ENOENT : errno;
        throw TamselError(ErrorNumberFor(error), "ListFolder",
                          "Cannot read folder " + folder + ": " + std::strerror(error));
    }
    std::vector<FolderEntry> entries;
    while (true) {
        errno = 0;
        const dirent* entry = ::readdir(dir.get());
        if (entry == nullptr) {
            if (errno != 0) {
                const int error = errno;
                throw TamselError(ErrorNumberFor(error), "ListFolder",
                                  "Cannot read folder " + folder + ": " + std::strerror(error));
            }
            break;
        }
        const std::string name = entry->d_name;
        if (IsHiddenName(name))
            continue;  // also "." and ".."
        const std::string full = base + name;
        struct stat st {};
        if (::lstat(full.c_str(), &st) != 0)
            continue;
        if (S_ISLNK(st.st_mode)) {
            // A link is listed as what it leads to; a dangling link is a system entry.
            struct stat target {};
            if (::stat(full.c_str(), &target) != 0)
                continue;
            if (S_ISDIR(target.st_mode))
                entries.push_back({name, true, true});
            else if (S_ISREG(target.st_mode))
                entries.push_back({name, false});
        } else if (S_ISDIR(st.st_mode)) {
            entries.push_back({name, true});
        } else if (S_ISREG(st.st_mode)) {
            entries.push_back({name, false});
        }
        // Anything else (sockets, fifos, devices) is a system entry.
    }
    std::sort(entries.begin(), entries.end(),
              [](const FolderEntry& a, const FolderEntry& b) { return NameLess(a.name, b.name); });
    return entries;
}

std::string GetFileDate(const std::string& path) {
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0) {
        throw TamselError(err::FileNotFound, "GetFileDate", "File not found: " + path);
    }
    if (!S_ISREG(st.st_mode))
        throw TamselError(err::FileNotFound, "GetFileDate", "Not a file: " + path);
    return DateText(FromTimeT(st.st_mtime));
}

std::string GetFileSize(const std::string& path) {
    struct stat st {};
    if (!StatRegularFile(path, st))
        return {};
    return std::to_string(static_cast<long long>(st.st_size));
}

bool CreateFolderPath(const std::string& path) {
    // Most calls name a folder that is already there: one look settles it.
    if (const auto last = path.rfind('/'); last != std::string::npos) {
        struct stat st {};
        if (::stat(path.substr(0, last + 1).c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
            return true;
        }
    }
    for (std::size_t pos = path.find('/'); pos != std::string::npos;
         pos = path.find('/', pos + 1)) {
        const std::string prefix = path.substr(0, pos + 1);
        if (FolderExists(prefix))
            continue;
        if (::mkdir(prefix.c_str(), 0777) == 0)
            continue;
        const int error = errno;
        struct stat st {};
        if (error == EEXIST && ::stat(prefix.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
            continue;
        throw TamselError(ErrorNumberFor(error), "CreateFolderPath",
                          "Cannot create folder " + prefix + ": " + std::strerror(error));
    }
    return true;
}

long PruneEmptyFolders(const std::string& folder) {
    // The listing is complete before any recursion.
    const std::vector<FolderEntry> entries = ListFolder(folder);
    const std::string base = AddTrailingBackslash(folder);
    long count = 0;
    for (const FolderEntry& entry : entries) {
        if (!entry.isFolder || entry.isLink) {
            ++count;
            continue;
        }
        const std::string sub = base + entry.name;
        long inside = 1;
        try {
            inside = PruneEmptyFolders(sub);
        } catch (const TamselError&) {
            inside = 1;  // an unreadable folder is left alone
        }
        if (inside > 0) {
            ++count;
            continue;
        }
        // Sound behaviour: only a folder that is really empty goes; one holding hidden or system
        // entries (not listed) is kept and counts.
        std::error_code ec;
        if (!fs::remove(sub, ec) || ec)
            ++count;
    }
    return count;
}

bool FileExists(const std::string& path) {
    struct stat st {};
    if (!StatRegularFile(path, st))
        return false;
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    return fd.valid();
}

bool FolderExists(const std::string& folder) {
    if (folder.empty())
        return false;
    DirectoryStream dir(::opendir(AddTrailingBackslash(folder).c_str()));
    return dir.get() != nullptr;
}

bool StampFileTime(const std::string& path) {
    std::string date;
    try {
        date = GetFileDate(path);
    } catch (const TamselError&) {
        return false;
    }
    {
        FileDescriptor fd(
            ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
        if (!fd.valid())
            return false;
    }
    SetFileTimeFromText(path, date + " 06:00");
    return true;
}

namespace {

// Why deleting or writing the path is refused as a system file; empty when it is not.
std::string GuardedPathCause(const std::string& path) {
    const std::string protectedFolder = "'" + path + "' is inside a protected system folder";
    try {
        const std::string upper = ToUpper(path);
        if (upper.find("C:\\WINNT") != std::string::npos ||
            upper.find("C:\\PROGRAM FILES") != std::string::npos) {
            return protectedFolder;
        }
        if (path.empty())
            return "no file named";
        std::error_code ec;
        const fs::path absolute = fs::absolute(fs::path(path), ec);
        if (ec)
            return "cannot resolve '" + path + "': " + ec.message();
        const fs::path normal = absolute.lexically_normal();
        if (InsideProtectedFolder(normal))
            return protectedFolder;
        // Also refuse when a linked folder on the way leads into a protected folder.
        const fs::path realParent = fs::weakly_canonical(normal.parent_path(), ec);
        if (ec)
            return "cannot resolve '" + path + "': " + ec.message();
        if (InsideProtectedFolder(realParent / normal.filename()))
            return protectedFolder;
        return {};
    } catch (const std::exception& error) {
        return error.what();
    } catch (...) {
        return "cannot resolve '" + path + "'";
    }
}

}  // namespace

bool IsGuardedPath(const std::string& path) {
    return !GuardedPathCause(path).empty();
}

bool SafeDeleteFile(const std::string& path, std::string* why) {
    const auto refuse = [&](const std::string& cause) {
        if (why != nullptr) {
            *why = cause;
        }
        return false;
    };
    const auto systemError = [&](const char* doing) {
        return refuse(std::string(doing) + " '" + path + "': " + std::strerror(errno));
    };
    try {
        if (const std::string guarded = GuardedPathCause(path); !guarded.empty())
            return refuse(guarded);
        if (!FileExists(path))
            return refuse("no file at '" + path + "'");
        if (!StampFileTime(path))
            return systemError("cannot open for writing");
        return ::unlink(path.c_str()) == 0 || systemError("cannot delete");
    } catch (const std::exception& error) {
        return refuse(error.what());
    } catch (...) {
        return refuse("cannot delete '" + path + "'");
    }
}

bool SetFileTimeFromText(const std::string& path, const std::string& text) {
    return !IsHiddenName(LastComponent(path)) && SetAnyFileTimeFromText(path, text);
}

bool SetAnyFileTimeFromText(const std::string& path, const std::string& text) {
    struct stat st {};
    if (!StatRegularFile(path, st))
        return false;
    DateTime when;
    if (!ParseDateTimeText(text, when))
        return false;
    const std::time_t t = ToTimeT(when);
    if (t == static_cast<std::time_t>(-1))
        return false;
    // As the original: open the existing file for writing and set its times through the handle.
    FileDescriptor fd(::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (!fd.valid())
        return false;
    std::array<timespec, 2> times{};
    times[0].tv_sec = t;
    times[1].tv_sec = t;
    if (::futimens(fd.get(), times.data()) != 0)
        return false;
    return fd.close();
}

bool ReplaceLinesInFile(const std::string& path, const std::string& search,
                        const std::string& replacement) {
    constexpr std::size_t kMaxLines = 129;
    try {
        std::string content;
        if (!ReadWholeFile(path, content))
            return false;
        std::vector<std::string> lines;
        std::size_t start = 0;
        while (start < content.size()) {
            auto end = content.find('\n', start);
            std::string line =
                content.substr(start, end == std::string::npos ? std::string::npos : end - start);
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            if (lines.size() == kMaxLines)
                return false;
            lines.push_back(std::move(line));
            if (end == std::string::npos)
                break;
            start = end + 1;
        }
        std::string output;
        for (const std::string& line : lines) {
            if (ContainsNoCase(line, search)) {
                if (replacement.empty())
                    continue;
                output += replacement;
            } else {
                output += line;
            }
            output += "\r\n";
        }
        return WriteFileAtomically(path, output);
    } catch (...) {
        return false;
    }
}

bool WriteFileAtomically(const std::string& path, const std::string& content) {
    if (path.empty() || path.back() == '/')
        return false;
    std::string target = path;
    // Writing through a link replaces the file it points to, not the link.
    struct stat lst {};
    if (::lstat(path.c_str(), &lst) == 0 && S_ISLNK(lst.st_mode)) {
        std::error_code ec;
        const fs::path resolved = fs::weakly_canonical(fs::path(path), ec);
        if (ec)
            return false;
        target = resolved.string();
    }
    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists && !S_ISREG(existing.st_mode))
        return false;

    const auto slash = target.rfind('/');
    const std::string folder =
        slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    std::string pattern = folder + "." + LastComponent(target) + ".tmpXXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    FileDescriptor fd(::mkstemp(name.data()));
    if (!fd.valid())
        return false;
    const std::string temp(name.data());

    bool ok = true;
    if (exists) {
        ok = ::fchmod(fd.get(), existing.st_mode & 07777) == 0;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ok = ::fchmod(fd.get(), 0666 & ~mask) == 0;
    }
    ok = ok && WriteAll(fd.get(), content) && ::fsync(fd.get()) == 0;
    ok = fd.close() && ok;
    ok = ok && ::rename(temp.c_str(), target.c_str()) == 0;
    if (!ok) {
        ::unlink(temp.c_str());
        return false;
    }
    // Make the rename itself durable; a failure here no longer affects the content.
    FileDescriptor dir(
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.valid())
        ::fsync(dir.get());
    return true;
}

bool GetFileDateAndSize(const std::string& path, std::string& date, std::string& size) {
    struct stat st {};
    if (!StatRegularFile(path, st))
        return false;
    date = DateText(FromTimeT(st.st_mtime));
    size = std::to_string(static_cast<long long>(st.st_size));
    return true;
}

FolderIdentity IdentityOfFolder(const std::string& folder) {
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0)
        return {};
    return {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

bool EntryExists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

bool ReadWholeFile(const std::string& path, std::string& content) {
    if (path.empty())
        return false;
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY));
    if (!fd.valid())
        return false;
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || S_ISDIR(st.st_mode))
        return false;
    std::string data;
    std::array<char, 65536> buffer{};
    while (true) {
        const ssize_t n = ::read(fd.get(), buffer.data(), buffer.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0)
            break;
        data.append(buffer.data(), static_cast<std::size_t>(n));
    }
    content = std::move(data);
    return true;
}

}  // namespace tamsel
