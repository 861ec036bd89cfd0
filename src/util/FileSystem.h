#pragma once

#include <string>
#include <vector>

// File-system helpers. Hidden entries (names beginning with ".") and system entries (anything
// that is neither a regular file nor a directory) are never listed; links to directories are not
// followed.
namespace tamsel {

struct FolderEntry {
    std::string name;
    bool isFolder = false;
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
bool DeleteFolderTree(const std::string& path);
// Removes empty subfolders below the folder, deepest first; the count of entries left in it.
long PruneEmptyFolders(const std::string& folder);
bool FileExists(const std::string& path);
bool FolderExists(const std::string& folder);
// Re-dates a writable file to 06:00 of its own last-modified date; false (nothing touched) for a
// missing, read-only or unwritable file.
bool StampFileTime(const std::string& path);
// Refuses anything inside the protected folders; deletes a file that exists and can be stamped.
bool SafeDeleteFile(const std::string& path);
// Sets access and modification time from "dd/mm/yyyy hh:mm[:ss]" in local time.
bool SetFileTimeFromText(const std::string& path, const std::string& text);
// Replaces (or with an empty replacement drops) every line containing the search text, ignoring
// case, in a file of at most 129 lines.
bool ReplaceLinesInFile(const std::string& path, const std::string& search,
                        const std::string& replacement);

// Writes the whole content to a temporary file in the same folder and renames it over the target,
// so a failure leaves the old file as it was.
bool WriteFileAtomically(const std::string& path, const std::string& content);
// Reads a whole file; false when it cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::string& content);

}  // namespace tamsel
