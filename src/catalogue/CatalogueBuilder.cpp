#include "catalogue/CatalogueBuilder.h"

#include "catalogue/CFactory.h"
#include "util/Error.h"

namespace tamsel {

std::string BuildCatalogueText(const CCatalogue& local, const std::string& user,
                               const DateTime& now) {
    std::string text = "'Default catalogue file created on " + DefaultDateTimeText(now) + " by " +
                       user + "\r\n'\r\n";
    const auto& files = local.Files().asCollection();
    text.reserve(text.size() + files.size() * 64);
    for (const auto& file : files) {
        text += file->asString();
        text += "\r\n";
    }
    return text;
}

std::string BuildCatalogueText(const std::string& folder, const std::string& user,
                               const DateTime& now) {
    CFactory factory;
    const auto local = factory.createCatalogueFromFileSystem(folder, "");
    if (!local) {
        throw TamselError(err::PathNotFound, "BuildCatalogueText", "No folder given");
    }
    return BuildCatalogueText(*local, user, now);
}

}  // namespace tamsel
