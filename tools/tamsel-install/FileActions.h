#pragma once

#include <filesystem>
#include <ostream>
#include <string>

namespace tamsel::desktop {

// Writes the content unless the file already holds exactly that, creating its folders; prints
// "wrote" or "unchanged" and the path. Throws TamselError when it cannot.
void PutFile(const std::string& path, const std::string& content, std::filesystem::perms mode,
             std::ostream& out);

// Reads a whole file; throws TamselError when it exists but cannot be read, empty text when it
// does not exist.
std::string ReadIfPresent(const std::string& path);

[[noreturn]] void Fail(const std::string& message);

}  // namespace tamsel::desktop
