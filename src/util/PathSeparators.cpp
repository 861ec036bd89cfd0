#include "util/Text.h"

namespace tamsel {

const char* const kPathSeparators = "/";

std::size_t PathRootLength(std::string_view) {
    return 0;
}

std::string NativePath(std::string_view path) {
    return std::string(path);
}

bool IsAbsolutePath(std::string_view path) {
    return !path.empty() && path.front() == '/';
}

}  // namespace tamsel
