#pragma once

#include <string>
#include <unordered_set>
#include <vector>

namespace tamsel {

// Files the updater keeps beside the kit folder: the update log it writes and uploads, and the
// menu usage file the kit's menu software writes and the upload takes in.
inline constexpr const char* kUpdateLogFile = "tamsel_updater_log.txt";
inline constexpr const char* kMenuUsageFile = "tamsel.log";

// The URLs (lower case, as kit paths ignore letter case) under which the given files lie below
// the kit folder; files outside it, or missing, have none. Links are resolved on both sides, so a
// kit folder reached through a link still finds the program beside it.
std::unordered_set<std::string> OwnFileUrls(const std::string& kitFolder,
                                            const std::vector<std::string>& files);

}  // namespace tamsel
