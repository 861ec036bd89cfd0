#include "catalogue/CatalogueBuilder.h"

#include "catalogue/CFactory.h"
#include "util/Error.h"
#include "util/Sha256.h"
#include "util/Text.h"

namespace tamsel {

std::string BuildCatalogueText(const CCatalogue& local, const std::string& user,
                               const DateTime& now) {
    std::string text = "'Default catalogue file created on " + DefaultDateTimeText(now) + " by " +
                       user + "\r\n'\r\n";
    const auto& files = local.Files().asCollection();
    text.reserve(text.size() + files.size() * 64);
    for (const auto& file : files) {
        text += file->asString();
        if (!file->Sha256().empty()) {
            text += " sha256=\"" + file->Sha256() + "\"";
        }
        text += "\r\n";
    }
    return text;
}

std::string BuildCatalogueText(const std::string& folder, const std::string& user,
                               const DateTime& now, bool withSha256) {
    CFactory factory;
    const auto local = factory.createCatalogueFromFileSystem(folder, "");
    if (!local) {
        throw TamselError(err::PathNotFound, "BuildCatalogueText", "No folder given");
    }
    for (const auto& file : local->Files().asCollection()) {
        if (!withSha256) {
            break;
        }
        const std::string path = folder + UrlToPath(file->URL());
        file->Sha256(Sha256OfFile(path));
        if (file->Sha256().empty()) {
            throw TamselError(err::FileNotFound, "BuildCatalogueText",
                              "Cannot read '" + path + "' for its SHA-256");
        }
    }
    return BuildCatalogueText(*local, user, now);
}

}  // namespace tamsel
