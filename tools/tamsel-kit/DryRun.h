#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "engine/ReviewList.h"

namespace tamsel::kit {

// Why a dry run could not be made; the message is one line.
class DryRunProblem : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Runs the analysis of an update without touching anything: the catalogue file stands for the
// complete catalogue of a run (read as a package catalogue fetched with the prefix, its
// exclusions becoming the run's excluded files), the folder for the local kit. The updater's own
// operations compare and prune them, and the review dialog, loaded without a window, lists the
// result with every entry tagged. Throws DryRunProblem for an unreadable file or folder and for
// a text the updater would reject.
ReviewList DryRunCompare(const std::string& cataloguePath, const std::string& folder,
                         const std::string& prefix);

}  // namespace tamsel::kit
