#include "ReportsPage.h"

#include "util/FileSystem.h"
#include "util/Format.h"

#include <httplib.h>
#include <sys/stat.h>

#include <algorithm>
#include <charconv>
#include <ctime>
#include <tuple>

namespace tamsel::server {

namespace fs = std::filesystem;

namespace {

bool AllDigits(std::string_view text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

// "report-YYYYMMDD-HHMMSS-N.txt" as the store names its files: the stamp and the number.
bool ParseStoredName(std::string_view name, std::string& stamp, long& number) {
    constexpr std::string_view kPrefix = "report-";
    if (!name.starts_with(kPrefix) || !name.ends_with(".txt") || name.size() < 28) {
        return false;
    }
    const std::string_view rest = name.substr(kPrefix.size(), name.size() - kPrefix.size() - 4);
    const std::string_view digits = rest.substr(16);
    if (!AllDigits(rest.substr(0, 8)) || rest[8] != '-' || !AllDigits(rest.substr(9, 6)) ||
        rest[15] != '-' || !AllDigits(digits) || digits.size() > 9) {
        return false;
    }
    stamp = std::string(rest.substr(0, 15));
    number = std::stol(std::string(digits));
    return true;
}

// The value of a key line key="value": everything between the first quote and the last one.
bool KeyLineValue(std::string_view line, std::string_view key, std::string& value) {
    if (!line.starts_with(key) || line.substr(key.size()).substr(0, 2) != "=\"" ||
        line.size() < key.size() + 3 || line.back() != '"') {
        return false;
    }
    value = std::string(line.substr(key.size() + 2, line.size() - key.size() - 3));
    return true;
}

std::string MegabytesOf(const std::string& bytes) {
    std::int64_t count = 0;
    const auto [end, error] = std::from_chars(bytes.data(), bytes.data() + bytes.size(), count);
    if (bytes.empty() || error != std::errc() || end != bytes.data() + bytes.size()) {
        return bytes;
    }
    return FormatMegabytes(count);
}

// The order of stored logs: the stamp and number of the stored name; a name of another form
// takes its file's time.
std::tuple<std::string, long> Age(const fs::directory_entry& entry) {
    const std::string name = entry.path().filename().string();
    std::string stamp;
    long number = 0;
    if (ParseStoredName(name, stamp, number)) {
        return {stamp, number};
    }
    struct stat info {};
    std::tm local{};
    if (::stat(entry.path().c_str(), &info) == 0) {
        localtime_r(&info.st_mtime, &local);
    }
    char written[32];
    std::strftime(written, sizeof written, "%Y%m%d-%H%M%S", &local);
    return {written, 0};
}

// A name the page may link to: a stored log's plain name, nothing that leads elsewhere.
bool IsStoredLogName(const std::string& name) {
    return !name.empty() && name.find('/') == std::string::npos && name[0] != '.' &&
           name.ends_with(".txt");
}

}  // namespace

ReportRow ReadReport(std::string fileName, std::string_view log) {
    ReportRow row;
    row.file = std::move(fileName);
    std::string bytes;
    std::size_t start = 0;
    while (start < log.size()) {
        auto end = log.find('\n', start);
        if (end == std::string_view::npos) {
            end = log.size();
        }
        std::string_view line = log.substr(start, end - start);
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        start = end + 1;
        // The first of each key counts: the sections after the header are lists of files.
        const struct {
            std::string_view key;
            std::string* value;
        } keys[] = {{"Date_time", &row.dateTime},    {"name", &row.name},
                    {"department", &row.department}, {"Final_status_message", &row.finalStatus},
                    {"Total_files", &row.files},     {"Total_megabytes_downloaded", &bytes},
                    {"Office_version", &row.office}};
        for (const auto& [key, value] : keys) {
            std::string found;
            if (value->empty() && KeyLineValue(line, key, found)) {
                *value = found;
            }
        }
        row.critical = row.critical || line == "$BEGIN Critical Objects";
    }
    row.megabytes = MegabytesOf(bytes);
    return row;
}

std::vector<ReportRow> ListReports(const fs::path& folder) {
    std::vector<std::pair<std::tuple<std::string, long>, fs::path>> stored;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (IsStoredLogName(name) && it->is_regular_file(error)) {
            stored.emplace_back(Age(*it), it->path());
        }
    }
    std::sort(stored.begin(), stored.end(),
              [](const auto& a, const auto& b) { return a.first > b.first; });
    std::vector<ReportRow> rows;
    for (const auto& [age, path] : stored) {
        std::string log;
        ReadWholeFile(path.string(), log);
        rows.push_back(ReadReport(path.filename().string(), log));
    }
    return rows;
}

std::string EscapeHtml(std::string_view text) {
    std::string escaped;
    for (const char c : text) {
        switch (c) {
            case '&':
                escaped += "&amp;";
                break;
            case '<':
                escaped += "&lt;";
                break;
            case '>':
                escaped += "&gt;";
                break;
            case '"':
                escaped += "&quot;";
                break;
            case '\'':
                escaped += "&#39;";
                break;
            default:
                escaped += c;
        }
    }
    return escaped;
}

std::string CsvField(std::string_view text) {
    std::string field(text);
    if (!field.empty() && std::string_view("=+-@").find(field[0]) != std::string_view::npos) {
        field.insert(0, "'");
    }
    if (field.find_first_of(",\"\r\n") == std::string::npos) {
        return field;
    }
    std::string quoted = "\"";
    for (const char c : field) {
        quoted += c == '"' ? "\"\"" : std::string(1, c);
    }
    return quoted + "\"";
}

std::string ReportsHtml(const std::vector<ReportRow>& rows) {
    std::string page =
        "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Tamsel update reports</title>"
        "<style>body{font-family:sans-serif}table{border-collapse:collapse}"
        "th,td{border:1px solid #999;padding:2px 6px;text-align:left}"
        "tr.critical td{background:#fdd}</style></head><body>\n"
        "<h1>Tamsel update reports</h1>\n<p>" +
        std::to_string(rows.size()) + (rows.size() == 1 ? " stored log" : " stored logs") +
        ", newest first. <a href=\"reports.csv\">Download as CSV</a></p>\n"
        "<table>\n<tr><th>Date and time</th><th>Name</th><th>Department</th>"
        "<th>Final status</th><th>Files</th><th>Megabytes</th><th>Office version</th>"
        "<th>Critical</th><th>Log</th></tr>\n";
    for (const auto& row : rows) {
        page += row.critical ? "<tr class=\"critical\">" : "<tr>";
        for (const auto* cell : {&row.dateTime, &row.name, &row.department, &row.finalStatus,
                                 &row.files, &row.megabytes, &row.office}) {
            page += "<td>" + EscapeHtml(*cell) + "</td>";
        }
        page += std::string("<td>") + (row.critical ? "yes" : "no") + "</td>";
        page += "<td><a href=\"" + EscapeHtml(row.file) + "\">" + EscapeHtml(row.file) +
                "</a></td></tr>\n";
    }
    return page + "</table>\n</body></html>\n";
}

std::string ReportsCsv(const std::vector<ReportRow>& rows) {
    std::string csv =
        "Date and time,Name,Department,Final status,Files,Megabytes,Office "
        "version,Critical,Log\r\n";
    for (const auto& row : rows) {
        for (const auto* cell : {&row.dateTime, &row.name, &row.department, &row.finalStatus,
                                 &row.files, &row.megabytes, &row.office}) {
            csv += CsvField(*cell) + ",";
        }
        csv += std::string(row.critical ? "yes" : "no") + "," + CsvField(row.file) + "\r\n";
    }
    return csv;
}

bool AnswerReports(const fs::path& folder, const std::string& rest, httplib::Response& res) {
    if (rest.empty()) {
        res.set_content(ReportsHtml(ListReports(folder)), "text/html; charset=utf-8");
        return true;
    }
    if (rest == "reports.csv") {
        res.set_content(ReportsCsv(ListReports(folder)), "text/csv; charset=utf-8");
        res.set_header("Content-Disposition", "attachment; filename=\"reports.csv\"");
        return true;
    }
    std::string log;
    std::error_code error;
    if (!IsStoredLogName(rest) || !fs::is_regular_file(folder / rest, error) ||
        !ReadWholeFile((folder / rest).string(), log)) {
        return false;
    }
    res.set_content(log, "text/plain; charset=utf-8");
    return true;
}

}  // namespace tamsel::server
