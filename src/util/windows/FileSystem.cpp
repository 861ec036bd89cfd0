// The file-system helpers on wide Win32 calls. Paths arrive as UTF-8 with "/" (or "\"); hidden
// and system entries are those the file attributes mark, and names beginning with "." as on
// every desktop the kit is kept on.
#include "util/FileSystem.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <string_view>
#include <utility>
#include <vector>

#include "util/DateTime.h"
#include "util/Error.h"
#include "util/Text.h"
#include "util/windows/WideText.h"

namespace tamsel {

namespace {

// Closes a handle when it goes out of scope.
class Handle {
  public:
    explicit Handle(HANDLE handle) : handle_(handle) {}
    ~Handle() { close(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    Handle& operator=(Handle&& other) noexcept {
        close();
        handle_ = std::exchange(other.handle_, INVALID_HANDLE_VALUE);
        return *this;
    }
    HANDLE get() const { return handle_; }
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
    bool close() {
        const HANDLE handle = handle_;
        handle_ = INVALID_HANDLE_VALUE;
        return handle == INVALID_HANDLE_VALUE || handle == nullptr || ::CloseHandle(handle);
    }

  private:
    HANDLE handle_;
};

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

Handle OpenExisting(const std::string& path, DWORD access, DWORD flags = 0) {
    return Handle(::CreateFileW(WidePath(path).c_str(), access, kShareAll, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL | flags, nullptr));
}

long ErrorNumberFor(DWORD error) {
    return error == ERROR_ACCESS_DENIED || error == ERROR_WRITE_PROTECT ? err::PermissionDenied
                                                                        : err::PathNotFound;
}

std::string LastComponent(std::string_view path) {
    const auto pos = path.find_last_of("/\\");
    return std::string(pos == std::string_view::npos ? path : path.substr(pos + 1));
}

bool IsHiddenName(std::string_view name) {
    return !name.empty() && name.front() == '.';
}

bool Attributes(const std::string& path, WIN32_FILE_ATTRIBUTE_DATA& data) {
    return !path.empty() &&
           ::GetFileAttributesExW(WidePath(path).c_str(), GetFileExInfoStandard, &data) != 0;
}

bool IsRegularFile(const WIN32_FILE_ATTRIBUTE_DATA& data) {
    return (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

DateTime LocalTimeOf(const FILETIME& written) {
    SYSTEMTIME utc{};
    SYSTEMTIME local{};
    ::FileTimeToSystemTime(&written, &utc);
    ::SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local);
    return {local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute, local.wSecond};
}

// The folders of the system that SafeDeleteFile never touches, each ending with "\".
std::vector<std::wstring> ProtectedFolders() {
    std::vector<std::wstring> folders;
    std::array<wchar_t, MAX_PATH + 1> buffer{};
    if (const UINT n = ::GetWindowsDirectoryW(buffer.data(), MAX_PATH); n > 0 && n < MAX_PATH) {
        folders.emplace_back(buffer.data(), n);
    }
    for (const wchar_t* name : {L"ProgramFiles", L"ProgramFiles(x86)", L"ProgramW6432"}) {
        const DWORD n = ::GetEnvironmentVariableW(name, buffer.data(), MAX_PATH);
        if (n > 0 && n < MAX_PATH) {
            folders.emplace_back(buffer.data(), n);
        }
    }
    for (std::wstring& folder : folders) {
        if (folder.back() != L'\\') {
            folder += L'\\';
        }
    }
    return folders;
}

bool StartsWithNoCase(const std::wstring& text, const std::wstring& prefix) {
    return text.size() >= prefix.size() &&
           ::CompareStringOrdinal(text.c_str(), static_cast<int>(prefix.size()), prefix.c_str(),
                                  static_cast<int>(prefix.size()), TRUE) == CSTR_EQUAL;
}

// Why deleting or writing the path is refused as a system file; empty when it is not.
std::string GuardedPathCause(const std::string& path) {
    const std::string protectedFolder = "'" + path + "' is inside a protected system folder";
    const std::string upper = ReplaceAll(ToUpper(path), "/", "\\");
    if (upper.find("C:\\WINNT") != std::string::npos ||
        upper.find("C:\\PROGRAM FILES") != std::string::npos) {
        return protectedFolder;
    }
    if (path.empty()) {
        return "no file named";
    }
    // The real path, links on the way followed, as the system resolves it.
    std::wstring full = WidePath(path);
    std::wstring resolved(32768, L'\0');
    const DWORD n = ::GetFullPathNameW(full.c_str(), static_cast<DWORD>(resolved.size()),
                                       resolved.data(), nullptr);
    if (n == 0 || n >= resolved.size()) {
        return "cannot resolve '" + path + "': " + SystemErrorText(::GetLastError());
    }
    resolved.resize(n);
    if (resolved.rfind(L"\\\\?\\", 0) == 0) {
        resolved.erase(0, 4);
    }
    const Handle parent(::CreateFileW(
        WidePath(NarrowPath(resolved.substr(0, resolved.find_last_of(L'\\') + 1))).c_str(), 0,
        kShareAll, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    std::vector<std::wstring> candidates = {resolved};
    if (parent.valid()) {
        std::wstring real(32768, L'\0');
        const DWORD m = ::GetFinalPathNameByHandleW(parent.get(), real.data(),
                                                    static_cast<DWORD>(real.size()), 0);
        if (m > 0 && m < real.size()) {
            real.resize(m);
            candidates.push_back(Widen(NarrowPath(real)) + L"/" +
                                 resolved.substr(resolved.find_last_of(L'\\') + 1));
            std::replace(candidates.back().begin(), candidates.back().end(), L'/', L'\\');
        }
    }
    for (const std::wstring& folder : ProtectedFolders()) {
        for (const std::wstring& candidate : candidates) {
            if (StartsWithNoCase(candidate + L"\\", folder)) {
                return protectedFolder;
            }
        }
    }
    return {};
}

}  // namespace

std::vector<FolderEntry> ListFolder(const std::string& folder) {
    const std::string base = AddTrailingBackslash(folder);
    WIN32_FIND_DATAW found{};
    const HANDLE search = folder.empty()
                              ? INVALID_HANDLE_VALUE
                              : ::FindFirstFileExW(WidePath(base + "*").c_str(), FindExInfoBasic,
                                                   &found, FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE) {
        const DWORD error = folder.empty() ? ERROR_PATH_NOT_FOUND : ::GetLastError();
        throw TamselError(ErrorNumberFor(error), "ListFolder",
                          "Cannot read folder " + folder + ": " + SystemErrorText(error));
    }
    std::vector<FolderEntry> entries;
    do {
        const std::string name = Narrow(found.cFileName);
        const DWORD attributes = found.dwFileAttributes;
        if (IsHiddenName(name) ||
            (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0) {
            continue;  // also "." and ".."
        }
        const bool folderEntry = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
            // A link is listed as what it leads to; a dangling link is a system entry.
            WIN32_FILE_ATTRIBUTE_DATA target{};
            const Handle opened = OpenExisting(base + name, 0, FILE_FLAG_BACKUP_SEMANTICS);
            if (!opened.valid() || !Attributes(base + name, target)) {
                continue;
            }
            entries.push_back({name, folderEntry, folderEntry});
        } else {
            entries.push_back({name, folderEntry});
        }
    } while (::FindNextFileW(search, &found));
    const DWORD error = ::GetLastError();
    ::FindClose(search);
    if (error != ERROR_NO_MORE_FILES) {
        throw TamselError(ErrorNumberFor(error), "ListFolder",
                          "Cannot read folder " + folder + ": " + SystemErrorText(error));
    }
    std::sort(entries.begin(), entries.end(),
              [](const FolderEntry& a, const FolderEntry& b) { return NameLess(a.name, b.name); });
    return entries;
}

std::string GetFileDate(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!Attributes(path, data)) {
        throw TamselError(err::FileNotFound, "GetFileDate", "File not found: " + path);
    }
    if (!IsRegularFile(data)) {
        throw TamselError(err::FileNotFound, "GetFileDate", "Not a file: " + path);
    }
    return DateText(LocalTimeOf(data.ftLastWriteTime));
}

std::string GetFileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!Attributes(path, data) || !IsRegularFile(data)) {
        return {};
    }
    return std::to_string((static_cast<unsigned long long>(data.nFileSizeHigh) << 32) |
                          data.nFileSizeLow);
}

bool CreateFolderPath(const std::string& path) {
    const auto isSeparator = [](char c) { return c == '/' || c == '\\'; };
    for (std::size_t pos = 0; pos < path.size(); ++pos) {
        if (!isSeparator(path[pos]) || pos == 0 || path[pos - 1] == ':') {
            continue;  // the root of a drive or share is there or not, never made
        }
        const std::string prefix = path.substr(0, pos + 1);
        if (FolderExists(prefix) || ::CreateDirectoryW(WidePath(prefix).c_str(), nullptr)) {
            continue;
        }
        const DWORD error = ::GetLastError();
        if (error == ERROR_ALREADY_EXISTS && FolderExists(prefix)) {
            continue;
        }
        if (error == ERROR_ACCESS_DENIED && prefix.rfind("//", 0) == 0) {
            continue;  // the server and share names of a network path
        }
        throw TamselError(ErrorNumberFor(error), "CreateFolderPath",
                          "Cannot create folder " + prefix + ": " + SystemErrorText(error));
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
        // Only a folder that is really empty goes: the system refuses one holding hidden or
        // system entries, which are not listed, and it is kept and counts.
        if (inside > 0 || !::RemoveDirectoryW(WidePath(sub).c_str())) {
            ++count;
        }
    }
    return count;
}

bool FileExists(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    return Attributes(path, data) && IsRegularFile(data) &&
           OpenExisting(path, GENERIC_READ).valid();
}

bool FolderExists(const std::string& folder) {
    if (folder.empty()) {
        return false;
    }
    WIN32_FIND_DATAW found{};
    const HANDLE search =
        ::FindFirstFileExW(WidePath(AddTrailingBackslash(folder) + "*").c_str(), FindExInfoBasic,
                           &found, FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE) {
        return false;
    }
    ::FindClose(search);
    return true;
}

bool StampFileTime(const std::string& path) {
    std::string date;
    try {
        date = GetFileDate(path);
    } catch (const TamselError&) {
        return false;
    }
    // Read-only is the attribute, whoever may write the file underneath.
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!Attributes(path, data) || (data.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0 ||
        !OpenExisting(path, GENERIC_WRITE).valid()) {
        return false;
    }
    SetFileTimeFromText(path, date + " 06:00");
    return true;
}

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
        return refuse(std::string(doing) + " '" + path + "': " + SystemErrorText(::GetLastError()));
    };
    try {
        if (const std::string guarded = GuardedPathCause(path); !guarded.empty()) {
            return refuse(guarded);
        }
        if (!FileExists(path)) {
            return refuse("no file at '" + path + "'");
        }
        if (!StampFileTime(path)) {
            return systemError("cannot open for writing");
        }
        return ::DeleteFileW(WidePath(path).c_str()) || systemError("cannot delete");
    } catch (const std::exception& error) {
        return refuse(error.what());
    }
}

bool SetFileTimeFromText(const std::string& path, const std::string& text) {
    return !IsHiddenName(LastComponent(path)) && SetAnyFileTimeFromText(path, text);
}

bool SetAnyFileTimeFromText(const std::string& path, const std::string& text) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!Attributes(path, data) || !IsRegularFile(data)) {
        return false;
    }
    DateTime when;
    if (!ParseDateTimeText(text, when)) {
        return false;
    }
    SYSTEMTIME local{};
    local.wYear = static_cast<WORD>(when.year);
    local.wMonth = static_cast<WORD>(when.month);
    local.wDay = static_cast<WORD>(when.day);
    local.wHour = static_cast<WORD>(when.hour);
    local.wMinute = static_cast<WORD>(when.minute);
    local.wSecond = static_cast<WORD>(when.second);
    SYSTEMTIME utc{};
    FILETIME stamp{};
    if (!::TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc) ||
        !::SystemTimeToFileTime(&utc, &stamp)) {
        return false;
    }
    // As the original: open the existing file for writing and set its times through the handle.
    Handle file = OpenExisting(path, GENERIC_WRITE);
    return file.valid() && ::SetFileTime(file.get(), nullptr, &stamp, &stamp) && file.close();
}

bool ReplaceLinesInFile(const std::string& path, const std::string& search,
                        const std::string& replacement) {
    constexpr std::size_t kMaxLines = 129;
    try {
        std::string content;
        if (!ReadWholeFile(path, content)) {
            return false;
        }
        std::string output;
        std::size_t lines = 0;
        for (std::size_t start = 0; start < content.size();) {
            const auto end = content.find('\n', start);
            std::string line =
                content.substr(start, end == std::string::npos ? std::string::npos : end - start);
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            if (++lines > kMaxLines) {
                return false;
            }
            if (!ContainsNoCase(line, search)) {
                output += line + "\r\n";
            } else if (!replacement.empty()) {
                output += replacement + "\r\n";
            }
            start = end == std::string::npos ? content.size() : end + 1;
        }
        return WriteFileAtomically(path, output);
    } catch (...) {
        return false;
    }
}

bool WriteFileAtomically(const std::string& path, const std::string& content) {
    if (path.empty() || path.back() == '/' || path.back() == '\\') {
        return false;
    }
    WIN32_FILE_ATTRIBUTE_DATA existing{};
    if (Attributes(path, existing) && !IsRegularFile(existing)) {
        return false;
    }
    const std::string folder = path.substr(0, path.find_last_of("/\\") + 1);
    std::string temp;
    Handle file(INVALID_HANDLE_VALUE);
    for (unsigned attempt = 0; attempt < 100 && !file.valid(); ++attempt) {
        temp = folder + "." + LastComponent(path) + ".tmp" +
               std::to_string(::GetCurrentProcessId()) + "-" +
               std::to_string(::GetTickCount64() + attempt);
        file = Handle(::CreateFileW(WidePath(temp).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.valid() && ::GetLastError() != ERROR_FILE_EXISTS) {
            return false;
        }
    }
    bool ok = file.valid();
    for (std::size_t done = 0; ok && done < content.size();) {
        DWORD written = 0;
        const auto chunk =
            static_cast<DWORD>(std::min<std::size_t>(content.size() - done, 1 << 20));
        ok = ::WriteFile(file.get(), content.data() + done, chunk, &written, nullptr) != 0;
        done += written;
    }
    ok = ok && ::FlushFileBuffers(file.get());
    ok = file.close() && ok;
    ok = ok && ::MoveFileExW(WidePath(temp).c_str(), WidePath(path).c_str(),
                             MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok) {
        ::DeleteFileW(WidePath(temp).c_str());
    }
    return ok;
}

bool GetFileDateAndSize(const std::string& path, std::string& date, std::string& size) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!Attributes(path, data) || !IsRegularFile(data)) {
        return false;
    }
    date = DateText(LocalTimeOf(data.ftLastWriteTime));
    size = std::to_string((static_cast<unsigned long long>(data.nFileSizeHigh) << 32) |
                          data.nFileSizeLow);
    return true;
}

FolderIdentity IdentityOfFolder(const std::string& folder) {
    const Handle opened = OpenExisting(folder, 0, FILE_FLAG_BACKUP_SEMANTICS);
    BY_HANDLE_FILE_INFORMATION info{};
    if (!opened.valid() || !::GetFileInformationByHandle(opened.get(), &info)) {
        return {};
    }
    return {info.dwVolumeSerialNumber,
            (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

bool EntryExists(const std::string& path) {
    return !path.empty() && ::GetFileAttributesW(WidePath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool ReadWholeFile(const std::string& path, std::string& content) {
    if (path.empty()) {
        return false;
    }
    const Handle file = OpenExisting(path, GENERIC_READ);
    BY_HANDLE_FILE_INFORMATION info{};
    if (!file.valid() || !::GetFileInformationByHandle(file.get(), &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return false;
    }
    std::string data;
    std::array<char, 65536> buffer{};
    DWORD got = 0;
    while (
        ::ReadFile(file.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr)) {
        if (got == 0) {
            content = std::move(data);
            return true;
        }
        data.append(buffer.data(), got);
    }
    return false;
}

}  // namespace tamsel
