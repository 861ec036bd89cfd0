#include "util/Text.h"

namespace tamsel {

// Paths typed by people and given by the system use "\"; the program's own use "/".
const char* const kPathSeparators = "/\\";

namespace {

bool IsSeparator(char c) {
    return c == '/' || c == '\\';
}

}  // namespace

std::size_t PathRootLength(std::string_view path) {
    const bool drive = path.size() >= 2 && path[1] == ':' &&
                       ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
    return drive ? 2 : 0;
}

std::string NativePath(std::string_view path) {
    std::string native(path);
    for (char& c : native) {
        c = c == '/' ? '\\' : c;
    }
    return native;
}

bool IsAbsolutePath(std::string_view path) {
    const std::size_t root = PathRootLength(path);
    if (root > 0) {
        return path.size() > root && IsSeparator(path[root]);
    }
    return path.size() > 2 && IsSeparator(path[0]) && IsSeparator(path[1]);
}

}  // namespace tamsel
