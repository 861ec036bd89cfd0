#pragma once

#include <string>

#include "catalogue/CCatalogue.h"
#include "util/DateTime.h"

namespace tamsel {

// The text of a publisher's "catalogue.ini": the comment line "'Default catalogue file created
// on <date and time> by <user>", a line "'", then one line per file entry (asString), each
// ended by CR LF.
std::string BuildCatalogueText(const CCatalogue& local, const std::string& user,
                               const DateTime& now);
// The same for the files below a folder. Throws TamselError when the folder is empty text or
// cannot be walked.
std::string BuildCatalogueText(const std::string& folder, const std::string& user,
                               const DateTime& now);

}  // namespace tamsel
