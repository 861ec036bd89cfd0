#pragma once

#include <string>

#include "catalogue/CCatalogue.h"
#include "util/DateTime.h"

namespace tamsel {

// The text of a publisher's "catalogue.ini": the comment line "'Default catalogue file created
// on <date and time> by <user>", a line "'", then one line per file entry (asString), each
// ended by CR LF. An entry with a Sha256 carries it as a last pair, sha256="<64 hex digits>".
std::string BuildCatalogueText(const CCatalogue& local, const std::string& user,
                               const DateTime& now);
// The same for the files below a folder, with each file's SHA-256 when withSha256 is set.
// Throws TamselError when the folder is empty text or cannot be walked, or a file cannot be read
// for its hash.
std::string BuildCatalogueText(const std::string& folder, const std::string& user,
                               const DateTime& now, bool withSha256 = false);

}  // namespace tamsel
