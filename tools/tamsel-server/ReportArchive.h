#pragma once

#include "ReportIndex.h"
#include "Uploads.h"

#include <ctime>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>

namespace tamsel::server {

// The received logs and their index. With SQLite (the default) the raw logs are files of the
// reports folder and the index a hidden file beside them; with a "postgresql://" address the
// database holds both, so that several servers can share one store without a shared folder, and
// the folder only holds uploads being received.
class ReportArchive {
  public:
    // Throws SqlError when the index cannot be opened.
    ReportArchive(std::filesystem::path folder, const std::string& databaseAddress);

    ReportIndex& index() { return index_; }
    const std::filesystem::path& folder() const { return store_.folder(); }

    // Indexes the logs of the folder that the index lacks, telling `progress` how far it got when
    // there are many; how many were added.
    std::size_t indexFolder(std::ostream& progress);
    // Stores a log written to a file of the folder under a fresh name and indexes it; its name.
    std::optional<std::string> keep(const std::filesystem::path& written);
    // The text of a stored log, by its name; nothing for a name the index does not hold.
    std::optional<std::string> log(const std::string& name);
    // Removes logs (index rows and raw files) received more than `keepDays` days before `now`;
    // how many.
    std::size_t prune(int keepDays, std::time_t now);

  private:
    ReportStore store_;
    ReportIndex index_;
};

// "YYYY-MM-DD HH:MM:SS" in local time, as logs are received.
std::string LocalTimeText(std::time_t time);

}  // namespace tamsel::server
