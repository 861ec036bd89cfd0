#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace httplib {
struct Response;
}

namespace tamsel::server {

// What the reports page shows of one stored update log. A log is untrusted input: whatever
// cannot be read stays empty.
struct ReportRow {
    std::string file;  // the stored file's name
    std::string dateTime;
    std::string name;
    std::string department;
    std::string finalStatus;
    std::string files;
    std::string megabytes;
    std::string office;
    bool critical = false;
};

// Reads the row of a stored log: the header's date, totals, Office version and final status,
// the user's name and department, and whether it lists critical objects. The total is written
// in bytes; the row shows it in megabytes with one decimal.
ReportRow ReadReport(std::string fileName, std::string_view log);

// The rows of every log stored in the folder, newest first (by the time in the stored name, then
// its number). A missing folder has none.
std::vector<ReportRow> ListReports(const std::filesystem::path& folder);

std::string EscapeHtml(std::string_view text);
// A CSV field: quoted when it holds a comma, a quote or a line break; a field that a spreadsheet
// would take as a formula ("=", "+", "-", "@" first) is led by an apostrophe.
std::string CsvField(std::string_view text);

std::string ReportsHtml(const std::vector<ReportRow>& rows);
std::string ReportsCsv(const std::vector<ReportRow>& rows);

// Answers a GET below "/tamsel_reports/" (the rest of the path given): "" the page,
// "reports.csv" the table as CSV, a stored log's name the log as plain text. False for any other
// path.
bool AnswerReports(const std::filesystem::path& folder, const std::string& rest,
                   httplib::Response& res);

}  // namespace tamsel::server
