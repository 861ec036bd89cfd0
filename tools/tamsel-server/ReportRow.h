#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace tamsel::server {

// What the reports pages show of one stored update log. A log is untrusted input: whatever
// cannot be read stays empty, and bytes that are not UTF-8 are read as Latin-1.
struct ReportRow {
    std::string file;      // the stored log's name
    std::string received;  // "YYYY-MM-DD HH:MM:SS", the server's local time of arrival
    long seq = 0;          // the number of the stored name, to order logs of one second
    std::string dateTime;
    std::string name;
    std::string department;
    std::string email;
    std::string finalStatus;
    std::string files;
    std::string megabytes;
    std::string office;
    bool critical = false;
    std::string outcome;     // "finished", "cancelled", "failed" or "critical"
    std::uint64_t size = 0;  // bytes of the raw log
};

// Reads the row of a stored log: the header's date, totals, Office version and final status,
// the user's name, department and e-mail address, and whether it lists critical objects. The
// total is written in bytes; the row shows it in megabytes with one decimal.
ReportRow ReadReport(std::string fileName, std::string_view log);

// "report-YYYYMMDD-HHMMSS-N.txt" as the store names its files: its time as "YYYY-MM-DD
// HH:MM:SS" and its number; false for a name of another form.
bool ParseStoredName(std::string_view name, std::string& received, long& number);

// A name the reports folder may hold a log under: a plain name, nothing that leads elsewhere.
bool IsStoredLogName(std::string_view name);

// The row of a log file of the reports folder; a name of another form takes the file's time.
ReportRow ReadStoredLog(const std::filesystem::path& file, std::string& log);

}  // namespace tamsel::server
