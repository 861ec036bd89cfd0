// Spool files on Win32: created exclusively and hidden, moved into place with MoveFileExW.
#include "platform/SpoolFile.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <atomic>
#include <fstream>
#include <iterator>
#include <random>

#include "util/FileSystem.h"
#include "util/windows/WideText.h"

namespace tamsel {

namespace {

constexpr std::string_view kSpoolPrefix = ".tamsel-";
constexpr std::string_view kSpoolSuffix = ".part";

// The process id in a spool file's name, or 0 for any other name.
DWORD SpoolOwner(const std::string& name) {
    if (name.size() <= kSpoolPrefix.size() + kSpoolSuffix.size() ||
        name.compare(0, kSpoolPrefix.size(), kSpoolPrefix) != 0 ||
        name.compare(name.size() - kSpoolSuffix.size(), kSpoolSuffix.size(), kSpoolSuffix) != 0) {
        return 0;
    }
    DWORD pid = 0;
    for (std::size_t i = kSpoolPrefix.size(); i < name.size() && name[i] != '-'; ++i) {
        if (name[i] < '0' || name[i] > '9' || pid > 100000000) {
            return 0;
        }
        pid = pid * 10 + static_cast<DWORD>(name[i] - '0');
    }
    return pid;
}

bool ProcessRuns(DWORD pid) {
    const HANDLE process = ::OpenProcess(SYNCHRONIZE, FALSE, pid);
    if (process == nullptr) {
        return ::GetLastError() == ERROR_ACCESS_DENIED;  // someone else's: leave it
    }
    const bool running = ::WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    ::CloseHandle(process);
    return running;
}

bool IsStaleSpoolFile(const std::filesystem::directory_entry& entry) {
    const DWORD pid = SpoolOwner(entry.path().filename().string());
    std::error_code error;
    return pid > 0 && pid != ::GetCurrentProcessId() && entry.is_regular_file(error) &&
           !ProcessRuns(pid);
}

bool MoveOver(const std::filesystem::path& from, const std::filesystem::path& to) {
    return ::MoveFileExW(WidePath(Utf8FromPath(from)).c_str(), WidePath(Utf8FromPath(to)).c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

}  // namespace

std::filesystem::path SpoolFile::UniqueNameIn(const std::filesystem::path& folder) {
    static std::atomic<unsigned long> counter{0};
    static const unsigned long salt = std::random_device{}();
    // A leading "." and the hidden attribute keep it out of listings should it be left behind.
    return folder / (".tamsel-" + std::to_string(::GetCurrentProcessId()) + "-" +
                     std::to_string(salt) + "-" + std::to_string(counter++) + ".part");
}

std::unique_ptr<SpoolFile> SpoolFile::Create(const std::filesystem::path& folder) {
    for (int attempt = 0; attempt < 8; ++attempt) {
        auto path = UniqueNameIn(folder);
        // Exclusive: fail rather than reuse a file someone else created under the same name.
        const HANDLE handle = ::CreateFileW(WidePath(Utf8FromPath(path)).c_str(), GENERIC_WRITE,
                                            FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                            CREATE_NEW, FILE_ATTRIBUTE_HIDDEN, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            if (::GetLastError() != ERROR_FILE_EXISTS) {
                return nullptr;
            }
            continue;
        }
        const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_WRONLY | _O_BINARY);
        UniqueFile file(fd >= 0 ? ::_fdopen(fd, "wb") : nullptr);
        if (!file) {
            fd >= 0 ? ::_close(fd) : ::CloseHandle(handle);
            ::DeleteFileW(WidePath(Utf8FromPath(path)).c_str());
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
        ::DeleteFileW(WidePath(Utf8FromPath(path_)).c_str());
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
        if (std::fflush(file) != 0 ||
            !::FlushFileBuffers(reinterpret_cast<HANDLE>(::_get_osfhandle(::_fileno(file))))) {
            writeFailed_ = true;
        }
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
    // Hidden while it was being written; an ordinary file of the kit once in place.
    ::SetFileAttributesW(WidePath(Utf8FromPath(path_)).c_str(), FILE_ATTRIBUTE_NORMAL);
    if (MoveOver(path_, target)) {
        committed_ = true;
        return true;
    }
    if (::GetLastError() != ERROR_NOT_SAME_DEVICE) {
        ::SetFileAttributesW(WidePath(Utf8FromPath(path_)).c_str(), FILE_ATTRIBUTE_HIDDEN);
        return false;
    }
    // Another volume: a complete copy beside the target first, then the move over it.
    const auto sibling = UniqueNameIn(target.parent_path().empty() ? "." : target.parent_path());
    if (!::CopyFileW(WidePath(Utf8FromPath(path_)).c_str(), WidePath(Utf8FromPath(sibling)).c_str(),
                     TRUE) ||
        !MoveOver(sibling, target)) {
        ::DeleteFileW(WidePath(Utf8FromPath(sibling)).c_str());
        return false;
    }
    ::DeleteFileW(WidePath(Utf8FromPath(path_)).c_str());
    committed_ = true;
    return true;
}

std::filesystem::path DefaultSpoolFolder() {
    std::error_code error;
    auto folder = std::filesystem::temp_directory_path(error);
    return error ? std::filesystem::path(".") : folder;
}

void RemoveStaleSpoolFiles(const std::filesystem::path& folder, bool recursive) {
    namespace fs = std::filesystem;
    std::error_code error;
    const auto removeIfStale = [](const fs::directory_entry& entry) {
        if (IsStaleSpoolFile(entry)) {
            ::DeleteFileW(WidePath(Utf8FromPath(entry.path())).c_str());
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
