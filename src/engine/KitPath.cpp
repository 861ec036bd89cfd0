#include "engine/KitPath.h"

#include <string_view>

#include "util/FileSystem.h"
#include "util/Text.h"

namespace tamsel {

namespace {

bool Exists(const std::string& path) {
    return EntryExists(path);
}

// The name of the entry of folder that equals name ignoring case, or empty.
std::string FindIgnoringCase(const std::string& folder, std::string_view name) {
    try {
        for (const auto& entry : ListFolder(folder.empty() ? "/" : folder)) {
            if (EqualsNoCase(entry.name, name)) {
                return entry.name;
            }
        }
    } catch (...) {
        // An unreadable folder resolves nothing.
    }
    return {};
}

}  // namespace

std::string ResolveNewKitPath(const std::string& kitFolder, const std::string& url) {
    const auto slash = url.rfind('/');
    if (slash == std::string::npos) {
        return kitFolder + "/" + url;
    }
    return ResolveKitPath(kitFolder, url.substr(0, slash)) + url.substr(slash);
}

std::string ResolveKitPath(const std::string& kitFolder, const std::string& url) {
    // Without a kit folder the url is a whole path, which may begin with a drive.
    const std::size_t root = kitFolder.empty() ? PathRootLength(url) : 0;
    std::string path = kitFolder.empty() ? url.substr(0, root) : kitFolder;
    bool resolving = true;
    std::string_view rest = std::string_view(url).substr(root);
    while (!rest.empty()) {
        const auto slash = rest.find('/');
        const std::string_view segment = rest.substr(0, slash);
        if (!segment.empty()) {
            std::string candidate = path + "/" + std::string(segment);
            if (resolving && !Exists(candidate)) {
                const std::string actual = FindIgnoringCase(path, segment);
                if (actual.empty()) {
                    resolving = false;
                } else {
                    candidate = path + "/" + actual;
                }
            }
            path = std::move(candidate);
        }
        if (slash == std::string_view::npos) {
            break;
        }
        rest.remove_prefix(slash + 1);
    }
    if (!url.empty() && url.back() == '/') {
        path += '/';
    }
    return path;
}

}  // namespace tamsel
