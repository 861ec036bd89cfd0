#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// File-system helpers. Hidden entries (names beginning with ".") and system entries (anything
// that is neither a regular file nor a directory, and dangling links) are never listed; a link to
// a regular file is listed as that file, a link to a directory as a folder marked as a link.
namespace tamsel {

struct FolderEntry {
    std::string name;
    bool isFolder = false;
    bool isLink = false;  // a link to a folder: walked like one, never removed as one
};

// The folder's normal files and subfolders, sorted with NameLess. Throws TamselError when the
// folder cannot be read.
std::vector<FolderEntry> ListFolder(const std::string& folder);

// Last-modified date (local time) as DateText. Throws TamselError for a missing file.
std::string GetFileDate(const std::string& path);
// Size in bytes as decimal digits; empty on any error.
std::string GetFileSize(const std::string& path);
// Creates each missing folder up to every "/" of the path; a last component without a "/" after
// it is not created. Throws TamselError when a folder cannot be created.
bool CreateFolderPath(const std::string& path);
// Removes empty subfolders below the folder, deepest first; the count of entries left in it.
// Linked folders are neither entered nor removed: they count as entries.
// Sound behaviour: a subfolder that holds only hidden or system entries is kept (and counts), and
// a subfolder that cannot be read is left alone (and counts). Throws TamselError when the folder
// itself cannot be read.
long PruneEmptyFolders(const std::string& folder);
bool FileExists(const std::string& path);
// True when the folder can be opened for listing; false for empty text.
bool FolderExists(const std::string& folder);
// Re-dates a writable file to 06:00 of its own last-modified date; false (nothing touched) for a
// missing, read-only or unwritable file.
bool StampFileTime(const std::string& path);
// A path SafeDeleteFile refuses whatever the file: see below. Empty text is guarded.
bool IsGuardedPath(const std::string& path);
// Refuses a path containing "C:\WINNT" or "C:\PROGRAM FILES" (any case) and any path inside /bin,
// /boot, /dev, /etc, /lib, /lib32, /lib64, /proc, /sbin, /sys or /usr (made absolute, "." and ".."
// resolved; also through a linked folder); deletes a file that exists and can be stamped.
// When it fails, why names the cause in plain words (the system error with the path).
bool SafeDeleteFile(const std::string& path, std::string* why = nullptr);
// Sets access and modification time from "dd/mm/yyyy hh:mm[:ss]" in local time. False for a
// missing, hidden (name beginning with ".") or non-regular file, an invalid date, or a file that
// cannot be opened for writing.
bool SetFileTimeFromText(const std::string& path, const std::string& text);
// The same for a file of any name, hidden ones included.
bool SetAnyFileTimeFromText(const std::string& path, const std::string& text);
// Replaces (or with an empty replacement drops) every line containing the search text, ignoring
// case, in a file of at most 129 lines.
bool ReplaceLinesInFile(const std::string& path, const std::string& search,
                        const std::string& replacement);

// Writes the whole content to a temporary file in the same folder and renames it over the target,
// so a failure leaves the old file as it was. Keeps the target's permissions; through a link it
// replaces the file linked to.
bool WriteFileAtomically(const std::string& path, const std::string& content);
// Reads a whole file; false when it cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::string& content);

// A path object for a UTF-8 path, and the UTF-8 text of one: the standard library reads a plain
// string in the system's code page, which on Windows is not UTF-8.
std::filesystem::path PathFromUtf8(std::string_view path);
std::string Utf8FromPath(const std::filesystem::path& path);

// A regular file's date (as GetFileDate gives it) and size (as GetFileSize) from one status call;
// false for anything else or nothing at the path.
bool GetFileDateAndSize(const std::string& path, std::string& date, std::string& size);
// A folder as the file system knows it, whatever path leads to it; all zero when it cannot be
// read.
struct FolderIdentity {
    std::uint64_t device = 0;
    std::uint64_t index = 0;
    bool operator==(const FolderIdentity&) const = default;
};
FolderIdentity IdentityOfFolder(const std::string& folder);
// Whether there is an entry at the path itself: a file, a folder or a link, even a dangling one.
bool EntryExists(const std::string& path);

}  // namespace tamsel
