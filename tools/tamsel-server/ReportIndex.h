#pragma once

#include "ReportRow.h"
#include "SqlDatabase.h"

#include <cstddef>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

namespace tamsel::server {

// Which logs a page lists; empty members do not filter.
struct ReportFilter {
    std::string text;     // found in the name, department or e-mail address, any letter case
    std::string outcome;  // "finished", "cancelled", "failed" or "critical"
    std::string from;     // first day received, "YYYY-MM-DD"
    std::string to;       // last day received, "YYYY-MM-DD"
};

// Which desktops the desktops page lists, and in which order.
struct DesktopQuery {
    std::string sort = "last";  // "last", "name", "outcome" or "office"
    bool descending = false;
    std::string idleSince;  // only desktops whose last log came before this time, when set
};

struct ReportSummary {
    // Runs per day and outcome: {"YYYY-MM-DD", outcome} -> runs.
    std::map<std::pair<std::string, std::string>, long> runs;
    // Desktops per Office version, as their latest log names it.
    std::map<std::string, long> offices;
};

struct ReportTotals {
    std::uint64_t logs = 0;
    std::uint64_t bytes = 0;
};

// The index of stored logs that answers the reports pages, in SQLite beside the raw logs or in
// PostgreSQL (which then keeps the raw logs too). Beside one row per log it keeps the latest log
// of each user, runs per day and the totals, so that no page reads every row. Thread-safe.
class ReportIndex {
  public:
    // Throws SqlError when the database cannot be prepared.
    explicit ReportIndex(std::unique_ptr<SqlDatabase> db);

    bool holdsRawLogs() const { return db_->holdsRawLogs(); }
    // Adds logs with their text (kept only when the database holds the raw logs), in one
    // transaction; how many were new. A log whose name is indexed already is left as it was.
    std::size_t add(const std::vector<std::pair<ReportRow, std::string>>& logs);
    bool contains(const std::string& file);
    // The text of a log the database holds.
    std::optional<std::string> raw(const std::string& file);
    std::unordered_set<std::string> files();

    // Matching logs, newest first; `after`, when given, continues after that log.
    std::vector<ReportRow> find(const ReportFilter& filter, std::size_t offset, std::size_t limit,
                                const ReportRow* after = nullptr);
    // The latest log of each user.
    std::vector<ReportRow> desktops(const DesktopQuery& query, std::size_t offset,
                                    std::size_t limit);
    ReportSummary summary(const std::string& firstDay);
    ReportTotals totals();
    // Removes the logs received before the time; their names.
    std::vector<std::string> removeBefore(const std::string& received);

  private:
    void prepare();
    template <typename Work>
    auto transaction(Work work);

    std::mutex mutex_;
    std::unique_ptr<SqlDatabase> db_;
};

}  // namespace tamsel::server
