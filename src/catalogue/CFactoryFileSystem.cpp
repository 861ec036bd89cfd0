#include "catalogue/CFactory.h"
#include "util/FileSystem.h"
#include "util/Text.h"

namespace tamsel {

std::shared_ptr<CCatalogue> CFactory::createCatalogueFromFileSystem(
    const std::string& root, const std::string& relativeStart) {
    DebugLog(debug_, "CFactory::createCatalogueFromFileSystem(" + root + "," + relativeStart + ")");
    if (root.empty()) {
        return nullptr;
    }
    auto catalogue = std::make_shared<CCatalogue>();
    WalkFileSystem(root + "/", relativeStart, catalogue->Files());
    return catalogue;
}

void CFactory::WalkFileSystem(const std::string& base, const std::string& relative, CFiles& files) {
    // The whole listing is taken before recursing; ListFolder sorts it the same on every machine.
    const auto entries = ListFolder(base + relative);
    for (const auto& entry : entries) {
        if (entry.isFolder) {
            WalkFileSystem(base, relative + entry.name + "/", files);
            continue;
        }
        const std::string path = base + relative + entry.name;
        auto file = std::make_shared<CFile>();
        file->URL(PathToUrl("/" + relative + entry.name));
        file->Time(GetFileDate(path));
        file->Size(GetFileSize(path));
        files.add(std::move(file));
    }
}

}  // namespace tamsel
