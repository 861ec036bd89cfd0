#pragma once

#include <string>
#include <vector>

#include "engine/CMetrics.h"

namespace tamsel {

// What the update review lists for the complete catalogue: one line per entry, in order, and the
// summary above them (red when something is to be deleted).
struct ReviewList {
    std::vector<std::string> lines;
    std::string summary;
    bool deletes = false;
};

// Lists the complete catalogue of a run as the update review shows it, tracing each entry.
ReviewList ListReview(CMetrics& metrics);

// "no updates", "1 file to update (1.5kb)", "3 files to update (2mb)".
std::string UpdateSummary(long updates, double downloadBytes);
// "   1 file to delete (2kb)", "   3 file to delete (2kb)": the word stays singular.
std::string DeleteSummary(long deletes, double deleteBytes);

}  // namespace tamsel
