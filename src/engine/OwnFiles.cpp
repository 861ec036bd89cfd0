#include "engine/OwnFiles.h"

#include <filesystem>

#include "util/FileSystem.h"
#include "util/Text.h"

namespace tamsel {

namespace fs = std::filesystem;

std::unordered_set<std::string> OwnFileUrls(const std::string& kitFolder,
                                            const std::vector<std::string>& files) {
    std::unordered_set<std::string> urls;
    std::error_code error;
    const fs::path kit = fs::canonical(PathFromUtf8(kitFolder), error);
    if (error || kitFolder.empty()) {
        return urls;
    }
    for (const auto& file : files) {
        const fs::path own = fs::canonical(PathFromUtf8(file), error);
        if (error) {
            continue;
        }
        const fs::path relative = own.lexically_relative(kit);
        if (!relative.empty() && *relative.begin() != ".." && *relative.begin() != ".") {
            const std::u8string generic = relative.generic_u8string();
            urls.insert(ToLower("/" + std::string(generic.begin(), generic.end())));
        }
    }
    return urls;
}

}  // namespace tamsel
