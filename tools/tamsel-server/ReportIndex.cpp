#include "ReportIndex.h"

#include "util/Text.h"

namespace tamsel::server {

namespace {

constexpr const char* kRowColumns =
    "file, received, seq, date_time, name, department, email, final_status, files, megabytes, "
    "office, critical, outcome, size";

ReportRow RowOf(const SqlDatabase::Row& r) {
    ReportRow row;
    row.file = r[0];
    row.received = r[1];
    row.seq = std::stol(r[2]);
    row.dateTime = r[3];
    row.name = r[4];
    row.department = r[5];
    row.email = r[6];
    row.finalStatus = r[7];
    row.files = r[8];
    row.megabytes = r[9];
    row.office = r[10];
    row.critical = r[11] == "1";
    row.outcome = r[12];
    row.size = std::stoull(r[13]);
    return row;
}

std::string UserKey(const ReportRow& row) {
    return ToLower(row.name) + "\n" + ToLower(row.email);
}

// A LIKE pattern that finds the text anywhere, its own wildcards taken literally.
std::string Containing(const std::string& text) {
    std::string pattern = "%";
    for (const char c : ToLower(text)) {
        if (c == '%' || c == '_' || c == '!') {
            pattern += '!';
        }
        pattern += c;
    }
    return pattern + "%";
}

std::string Hex(std::string_view bytes) {
    static const char* const kDigits = "0123456789abcdef";
    std::string out = "\\x";
    for (const char c : bytes) {
        out += kDigits[static_cast<unsigned char>(c) >> 4];
        out += kDigits[static_cast<unsigned char>(c) & 15];
    }
    return out;
}

std::string Unhex(std::string_view text) {
    const auto value = [](char c) { return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10; };
    std::string out;
    for (std::size_t i = 2; i + 1 < text.size(); i += 2) {
        out += static_cast<char>(value(text[i]) * 16 + value(text[i + 1]));
    }
    return out;
}

}  // namespace

ReportIndex::ReportIndex(std::unique_ptr<SqlDatabase> db) : db_(std::move(db)) {
    prepare();
}

template <typename Work>
auto ReportIndex::transaction(Work work) {
    std::lock_guard lock(mutex_);
    db_->run("BEGIN");
    try {
        auto result = work();
        db_->run("COMMIT");
        return result;
    } catch (...) {
        db_->run("ROLLBACK");
        throw;
    }
}

void ReportIndex::prepare() {
    const std::string bytes(db_->bytesType());
    transaction([&] {
        for (const std::string& statement : std::vector<std::string>{
                 "CREATE TABLE IF NOT EXISTS reports (file TEXT PRIMARY KEY, received TEXT NOT "
                 "NULL, seq BIGINT NOT NULL, date_time TEXT, name TEXT, department TEXT, email "
                 "TEXT, final_status TEXT, files TEXT, megabytes TEXT, office TEXT, critical "
                 "INTEGER, outcome TEXT, size BIGINT, search TEXT, user_key TEXT)",
                 // Newest first, with the search text, so that a search reads the index alone.
                 "CREATE INDEX IF NOT EXISTS reports_order ON reports (received, seq, file, "
                 "search)",
                 "CREATE INDEX IF NOT EXISTS reports_outcome ON reports (outcome, received, seq, "
                 "file)",
                 "CREATE TABLE IF NOT EXISTS desktops (user_key TEXT PRIMARY KEY, file TEXT, "
                 "received TEXT, seq BIGINT, name TEXT, outcome TEXT, office TEXT)",
                 "CREATE TABLE IF NOT EXISTS daily (day TEXT, outcome TEXT, runs BIGINT, "
                 "PRIMARY KEY (day, outcome))",
                 "CREATE TABLE IF NOT EXISTS totals (id INTEGER PRIMARY KEY, logs BIGINT, bytes "
                 "BIGINT)",
                 "INSERT INTO totals VALUES (1, 0, 0) ON CONFLICT DO NOTHING",
                 "CREATE TABLE IF NOT EXISTS raw_logs (file TEXT PRIMARY KEY, log " + bytes +
                     ")"}) {
            db_->run(statement);
        }
        return 0;
    });
}

std::size_t ReportIndex::add(const std::vector<std::pair<ReportRow, std::string>>& logs) {
    return transaction([&] {
        std::size_t added = 0;
        std::uint64_t bytes = 0;
        for (const auto& [row, log] : logs) {
            const std::string key = UserKey(row);
            const long inserted = db_->run(
                "INSERT INTO reports (file, received, seq, date_time, name, department, email, "
                "final_status, files, megabytes, office, critical, outcome, size, search, "
                "user_key) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?) "
                "ON CONFLICT DO NOTHING",
                {row.file, row.received, std::to_string(row.seq), row.dateTime, row.name,
                 row.department, row.email, row.finalStatus, row.files, row.megabytes, row.office,
                 row.critical ? "1" : "0", row.outcome, std::to_string(row.size),
                 ToLower(row.name + "\n" + row.department + "\n" + row.email), key});
            if (inserted == 0) {
                continue;
            }
            ++added;
            bytes += row.size;
            if (db_->holdsRawLogs()) {
                db_->run("INSERT INTO raw_logs VALUES (?, ?)", {row.file, Hex(log)});
            }
            db_->run(
                "INSERT INTO desktops VALUES (?, ?, ?, ?, ?, ?, ?) ON CONFLICT (user_key) DO "
                "UPDATE SET file = excluded.file, received = excluded.received, seq = "
                "excluded.seq, name = excluded.name, outcome = excluded.outcome, office = "
                "excluded.office WHERE (excluded.received, excluded.seq, excluded.file) > "
                "(desktops.received, desktops.seq, desktops.file)",
                {key, row.file, row.received, std::to_string(row.seq), row.name, row.outcome,
                 row.office});
            db_->run(
                "INSERT INTO daily VALUES (?, ?, 1) ON CONFLICT (day, outcome) DO UPDATE SET "
                "runs = daily.runs + 1",
                {row.received.substr(0, 10), row.outcome});
        }
        db_->run("UPDATE totals SET logs = logs + ?, bytes = bytes + ? WHERE id = 1",
                 {std::to_string(added), std::to_string(bytes)});
        return added;
    });
}

bool ReportIndex::contains(const std::string& file) {
    std::lock_guard lock(mutex_);
    return !db_->rows("SELECT 1 FROM reports WHERE file = ?", {file}).empty();
}

std::optional<std::string> ReportIndex::raw(const std::string& file) {
    std::lock_guard lock(mutex_);
    const auto rows = db_->rows("SELECT log FROM raw_logs WHERE file = ?", {file});
    return rows.empty() ? std::nullopt : std::optional(Unhex(rows[0][0]));
}

std::unordered_set<std::string> ReportIndex::files() {
    std::lock_guard lock(mutex_);
    std::unordered_set<std::string> names;
    db_->run("SELECT file FROM reports", {},
             [&names](const SqlDatabase::Row& row) { names.insert(row[0]); });
    return names;
}

std::vector<ReportRow> ReportIndex::find(const ReportFilter& filter, std::size_t offset,
                                         std::size_t limit, const ReportRow* after) {
    std::string sql = std::string("SELECT ") + kRowColumns + " FROM reports WHERE 1 = 1";
    std::vector<std::string> params;
    if (!filter.text.empty()) {
        sql += " AND search LIKE ? ESCAPE '!'";
        params.push_back(Containing(filter.text));
    }
    if (!filter.outcome.empty()) {
        sql += " AND outcome = ?";
        params.push_back(filter.outcome);
    }
    if (!filter.from.empty()) {
        sql += " AND received >= ?";
        params.push_back(filter.from);
    }
    if (!filter.to.empty()) {
        // The whole last day: every time of it sorts before the day's text with a "~".
        sql += " AND received < ?";
        params.push_back(filter.to + "~");
    }
    if (after) {
        sql += " AND (received, seq, file) < (?, ?, ?)";
        params.insert(params.end(), {after->received, std::to_string(after->seq), after->file});
    }
    sql += " ORDER BY received DESC, seq DESC, file DESC LIMIT " + std::to_string(limit) +
           " OFFSET " + std::to_string(offset);
    std::lock_guard lock(mutex_);
    std::vector<ReportRow> rows;
    db_->run(sql, params, [&rows](const SqlDatabase::Row& row) { rows.push_back(RowOf(row)); });
    return rows;
}

std::vector<ReportRow> ReportIndex::desktops(const DesktopQuery& query, std::size_t offset,
                                             std::size_t limit) {
    const std::map<std::string, std::string> orders = {{"last", "d.received, d.seq"},
                                                       {"name", "d.name"},
                                                       {"outcome", "d.outcome"},
                                                       {"office", "d.office"}};
    const auto order = orders.find(query.sort);
    const std::string direction = query.descending ? " DESC" : " ASC";
    std::string sql =
        "SELECT r.file, r.received, r.seq, r.date_time, r.name, r.department, "
        "r.email, r.final_status, r.files, r.megabytes, r.office, r.critical, "
        "r.outcome, r.size FROM desktops d JOIN reports r ON r.file = d.file";
    std::vector<std::string> params;
    if (!query.idleSince.empty()) {
        sql += " WHERE d.received < ?";
        params.push_back(query.idleSince);
    }
    sql += " ORDER BY " + (order == orders.end() ? orders.at("last") : order->second) + direction +
           ", d.user_key LIMIT " + std::to_string(limit) + " OFFSET " + std::to_string(offset);
    std::lock_guard lock(mutex_);
    std::vector<ReportRow> rows;
    db_->run(sql, params, [&rows](const SqlDatabase::Row& row) { rows.push_back(RowOf(row)); });
    return rows;
}

ReportSummary ReportIndex::summary(const std::string& firstDay) {
    std::lock_guard lock(mutex_);
    ReportSummary summary;
    db_->run("SELECT day, outcome, runs FROM daily WHERE day >= ?", {firstDay},
             [&summary](const SqlDatabase::Row& row) {
                 summary.runs[{row[0], row[1]}] = std::stol(row[2]);
             });
    db_->run(
        "SELECT office, COUNT(*) FROM desktops GROUP BY office", {},
        [&summary](const SqlDatabase::Row& row) { summary.offices[row[0]] = std::stol(row[1]); });
    return summary;
}

ReportTotals ReportIndex::totals() {
    std::lock_guard lock(mutex_);
    const auto rows = db_->rows("SELECT logs, bytes FROM totals WHERE id = 1");
    return rows.empty() ? ReportTotals{}
                        : ReportTotals{std::stoull(rows[0][0]), std::stoull(rows[0][1])};
}

std::vector<std::string> ReportIndex::removeBefore(const std::string& received) {
    return transaction([&] {
        std::vector<std::string> removed;
        std::uint64_t bytes = 0;
        db_->run("SELECT file, size FROM reports WHERE received < ?", {received},
                 [&](const SqlDatabase::Row& row) {
                     removed.push_back(row[0]);
                     bytes += std::stoull(row[1]);
                 });
        const std::vector<std::string> cutoff = {received};
        db_->run("DELETE FROM raw_logs WHERE file IN (SELECT file FROM reports WHERE received < ?)",
                 cutoff);
        db_->run("DELETE FROM reports WHERE received < ?", cutoff);
        // A user whose latest log is older than the cutoff has no log left at all.
        db_->run("DELETE FROM desktops WHERE received < ?", cutoff);
        db_->run("DELETE FROM daily WHERE day < ?", {received.substr(0, 10)});
        db_->run("UPDATE totals SET logs = logs - ?, bytes = bytes - ? WHERE id = 1",
                 {std::to_string(removed.size()), std::to_string(bytes)});
        return removed;
    });
}

}  // namespace tamsel::server
