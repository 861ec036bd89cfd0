#include <algorithm>
#include <vector>

#include "catalogue/CFactory.h"
#include "util/DateTime.h"
#include "util/Error.h"
#include "util/FileSystem.h"
#include "util/Text.h"

namespace tamsel {

namespace {

// The file's date and size as GetFileDate and GetFileSize give them, from one status call: a
// kit walk reads tens of thousands of files. A file that has gone is an error, as for
// GetFileDate.
void ReadDateAndSize(const std::string& path, CFile& file) {
    std::string date;
    std::string size;
    if (!GetFileDateAndSize(path, date, size)) {
        throw TamselError(err::FileNotFound, "CFactory.WalkFileSystem", "File not found: " + path);
    }
    file.Time(date);
    file.Size(size);
}

// The walk itself; ancestors are the folders above the one walked, so that a linked folder that
// leads back up is not walked again and again.
void WalkFolder(const std::string& base, const std::string& relative, CFiles& files,
                std::vector<FolderIdentity>& ancestors) {
    // The whole listing is taken before recursing; ListFolder sorts it the same on every machine.
    const auto entries = ListFolder(base + relative);
    ancestors.push_back(IdentityOfFolder(base + relative));
    for (const auto& entry : entries) {
        if (entry.isFolder) {
            const std::string sub = relative + entry.name + "/";
            if (entry.isLink && std::find(ancestors.begin(), ancestors.end(),
                                          IdentityOfFolder(base + sub)) != ancestors.end()) {
                continue;
            }
            WalkFolder(base, sub, files, ancestors);
            continue;
        }
        const std::string path = base + relative + entry.name;
        auto file = std::make_shared<CFile>();
        file->URL(PathToUrl("/" + relative + entry.name));
        ReadDateAndSize(path, *file);
        files.add(std::move(file));
    }
    ancestors.pop_back();
}

}  // namespace

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
    std::vector<FolderIdentity> ancestors;
    WalkFolder(base, relative, files, ancestors);
}

}  // namespace tamsel
