#include "platform/UserFolders.h"

#include <windows.h>

#include <shlobj.h>

#include "util/Text.h"
#include "util/windows/WideText.h"

namespace tamsel {

std::string ApplicationDataFolder() {
    wchar_t* folder = nullptr;
    std::string path;
    if (::SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &folder) == S_OK) {
        path = NarrowPath(folder);
    }
    ::CoTaskMemFree(folder);
    return path.empty() ? std::string() : AddTrailingBackslash(path);
}

}  // namespace tamsel
