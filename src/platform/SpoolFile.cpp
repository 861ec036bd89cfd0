#include "platform/SpoolFile.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <fstream>
#include <iterator>
#include <random>
#include <system_error>

namespace tamsel {

namespace {

constexpr std::string_view kSpoolPrefix = ".tamsel-";
constexpr std::string_view kSpoolSuffix = ".part";

// The mode a file created by this process gets from its umask, for a body moved into place.
mode_t OrdinaryFileMode() {
    static const mode_t mode = [] {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        return static_cast<mode_t>(0666 & ~mask);
    }();
    return mode;
}

// The process id in a spool file's name, or 0 for any other name.
pid_t SpoolOwner(const std::string& name) {
    if (name.size() <= kSpoolPrefix.size() + kSpoolSuffix.size() ||
        name.compare(0, kSpoolPrefix.size(), kSpoolPrefix) != 0 ||
        name.compare(name.size() - kSpoolSuffix.size(), kSpoolSuffix.size(), kSpoolSuffix) != 0) {
        return 0;
    }
    pid_t pid = 0;
    for (std::size_t i = kSpoolPrefix.size(); i < name.size() && name[i] != '-'; ++i) {
        if (name[i] < '0' || name[i] > '9' || pid > 100000000) {
            return 0;
        }
        pid = pid * 10 + (name[i] - '0');
    }
    return pid;
}

bool IsStaleSpoolFile(const std::filesystem::directory_entry& entry) {
    const pid_t pid = SpoolOwner(entry.path().filename().string());
    struct stat status {};
    return pid > 0 && pid != ::getpid() && ::lstat(entry.path().c_str(), &status) == 0 &&
           S_ISREG(status.st_mode) && status.st_uid == ::geteuid() && ::kill(pid, 0) != 0 &&
           errno == ESRCH;
}

bool RenameOver(const std::filesystem::path& from, const std::filesystem::path& to,
                std::error_code& error) {
    std::filesystem::rename(from, to, error);
    return !error;
}

}  // namespace

std::filesystem::path SpoolFile::UniqueNameIn(const std::filesystem::path& folder) {
    static std::atomic<unsigned long> counter{0};
    static const unsigned long salt = std::random_device{}();
    // A leading "." keeps the file out of folder listings should it ever be left behind.
    return folder / (".tamsel-" + std::to_string(::getpid()) + "-" + std::to_string(salt) + "-" +
                     std::to_string(counter++) + ".part");
}

std::unique_ptr<SpoolFile> SpoolFile::Create(const std::filesystem::path& folder) {
    for (int attempt = 0; attempt < 8; ++attempt) {
        auto path = UniqueNameIn(folder);
        // Exclusive: fail rather than reuse a file someone else created under the same name.
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno != EEXIST) {
                return nullptr;
            }
            continue;
        }
        UniqueFile file(::fdopen(fd, "wb"));
        if (!file) {
            ::close(fd);
            std::error_code ignored;
            std::filesystem::remove(path, ignored);
            return nullptr;
        }
        return std::unique_ptr<SpoolFile>(new SpoolFile(std::move(path), std::move(file)));
    }
    return nullptr;
}

SpoolFile::SpoolFile(std::filesystem::path path, UniqueFile file)
    : path_(std::move(path)), file_(std::move(file)) {}

SpoolFile::~SpoolFile() {
    file_.reset();
    if (!committed_) {
        std::error_code ignored;
        std::filesystem::remove(path_, ignored);
    }
}

bool SpoolFile::write(const char* data, std::size_t size) {
    if (!file_ || writeFailed_) {
        return false;
    }
    if (size > 0 && std::fwrite(data, 1, size, file_.get()) != size) {
        writeFailed_ = true;
        return false;
    }
    size_ += size;
    return true;
}

bool SpoolFile::close() {
    if (file_) {
        std::FILE* file = file_.release();
        if (std::fclose(file) != 0) {
            writeFailed_ = true;
        }
    }
    return !writeFailed_;
}

std::string SpoolFile::readAll() const {
    if (file_ || committed_) {
        return {};
    }
    std::ifstream in(path_, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

bool SpoolFile::commitTo(const std::filesystem::path& target) {
    if (committed_ || !close()) {
        return false;
    }
    // Private while it was being written; an ordinary file of the kit once in place.
    ::chmod(path_.c_str(), OrdinaryFileMode());
    std::error_code error;
    if (RenameOver(path_, target, error)) {
        committed_ = true;
        return true;
    }
    if (error != std::errc::cross_device_link) {
        return false;
    }
    const auto sibling = UniqueNameIn(target.parent_path().empty() ? "." : target.parent_path());
    if (!std::filesystem::copy_file(path_, sibling, error)) {
        std::filesystem::remove(sibling, error);
        return false;
    }
    if (!RenameOver(sibling, target, error)) {
        std::error_code ignored;
        std::filesystem::remove(sibling, ignored);
        return false;
    }
    std::filesystem::remove(path_, error);
    committed_ = true;
    return true;
}

std::filesystem::path DefaultSpoolFolder() {
    std::error_code error;
    auto folder = std::filesystem::temp_directory_path(error);
    return error ? std::filesystem::path("/tmp") : folder;
}

void RemoveStaleSpoolFiles(const std::filesystem::path& folder, bool recursive) {
    namespace fs = std::filesystem;
    std::error_code error;
    const auto removeIfStale = [](const fs::directory_entry& entry) {
        if (IsStaleSpoolFile(entry)) {
            std::error_code ignored;
            fs::remove(entry.path(), ignored);
        }
    };
    if (!recursive) {
        for (fs::directory_iterator it(folder, error), end; !error && it != end;
             it.increment(error)) {
            removeIfStale(*it);
        }
        return;
    }
    for (fs::recursive_directory_iterator
             it(folder, fs::directory_options::skip_permission_denied, error),
         end;
         !error && it != end; it.increment(error)) {
        removeIfStale(*it);
    }
}

}  // namespace tamsel
