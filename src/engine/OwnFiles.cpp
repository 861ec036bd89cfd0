#include "engine/OwnFiles.h"

#include <filesystem>

#include "util/Text.h"

namespace tamsel {

namespace fs = std::filesystem;

std::unordered_set<std::string> OwnFileUrls(const std::string& kitFolder,
                                            const std::vector<std::string>& files) {
    std::unordered_set<std::string> urls;
    std::error_code error;
    const fs::path kit = fs::canonical(kitFolder, error);
    if (error || kitFolder.empty()) {
        return urls;
    }
    for (const auto& file : files) {
        const fs::path own = fs::canonical(file, error);
        if (error) {
            continue;
        }
        const fs::path relative = own.lexically_relative(kit);
        if (!relative.empty() && *relative.begin() != ".." && *relative.begin() != ".") {
            urls.insert(ToLower("/" + relative.generic_string()));
        }
    }
    return urls;
}

}  // namespace tamsel
