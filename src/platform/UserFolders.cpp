#include "platform/UserFolders.h"

#include <cstdlib>

#include "util/Text.h"

namespace tamsel {

std::string ApplicationDataFolder() {
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data != nullptr && *data == '/') {
        return AddTrailingBackslash(data);
    }
    const char* home = std::getenv("HOME");
    return AddTrailingBackslash(std::string(home != nullptr ? home : "") + "/.local/share");
}

}  // namespace tamsel
