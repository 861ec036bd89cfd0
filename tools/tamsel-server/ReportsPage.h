#pragma once

#include "ReportArchive.h"

#include <ctime>
#include <string>
#include <string_view>

namespace httplib {
struct Request;
struct Response;
}  // namespace httplib

namespace tamsel::server {

// Rows on one page of the reports and desktops pages.
constexpr std::size_t kPageRows = 50;

std::string EscapeHtml(std::string_view text);
// A CSV field: quoted when it holds a comma, a quote or a line break; a field that a spreadsheet
// would take as a formula ("=", "+", "-", "@", a tab or a CR first) is led by an apostrophe.
std::string CsvField(std::string_view text);

// The filter and page a request's parameters ask for; values of another form are ignored.
ReportFilter FilterOf(const httplib::Request& req);

// The summary drawn as inline SVG: runs per day over the 30 days up to `now` by outcome, and the
// share of Office versions among the desktops.
std::string SummarySvg(const ReportSummary& summary, std::time_t now);

// Answers a GET below "/tamsel_reports/" (the rest of the path given): "" the page of logs,
// "reports.csv" every matching log as CSV, "desktops" the latest log of each user, and the name
// of a stored log the log as plain text. False for any other path.
bool AnswerReports(ReportArchive& archive, const std::string& rest, const httplib::Request& req,
                   httplib::Response& res, std::time_t now);

}  // namespace tamsel::server
