#include "ReportsPage.h"

#include <httplib.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cstdio>

namespace tamsel::server {

namespace {

constexpr std::size_t kCsvBatch = 1000;
constexpr int kSummaryDays = 30;

struct Outcome {
    const char* name;
    const char* colour;
};
constexpr std::array<Outcome, 4> kOutcomes = {{{"finished", "#4a9a4a"},
                                               {"cancelled", "#9a9a9a"},
                                               {"failed", "#e08a1e"},
                                               {"critical", "#c83232"}}};

const char* const kStyle =
    "<style>body{font-family:sans-serif}table{border-collapse:collapse}"
    "th,td{border:1px solid #999;padding:2px 6px;text-align:left}"
    "tr.critical td{background:#fdd}svg{margin:0 1em 1em 0}</style>";

bool IsDay(std::string_view text) {
    return text.size() == 10 && text[4] == '-' && text[7] == '-' &&
           std::all_of(text.begin(), text.end(),
                       [](char c) { return c == '-' || (c >= '0' && c <= '9'); });
}

std::size_t Number(const httplib::Request& req, const char* key, std::size_t fallback) {
    const std::string text = req.get_param_value(key);
    std::size_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && value > 0 && value <= 1000000
               ? value
               : fallback;
}

std::string Day(std::time_t time) {
    return LocalTimeText(time).substr(0, 10);
}

std::string EncodeQueryValue(std::string_view value) {
    std::string out;
    for (const char c : value) {
        if (std::isalnum(static_cast<unsigned char>(c)) ||
            std::string_view("-._~").find(c) != std::string_view::npos) {
            out += c;
        } else {
            char code[4];
            std::snprintf(code, sizeof code, "%%%02X", static_cast<unsigned char>(c));
            out += code;
        }
    }
    return out;
}

std::string Query(const httplib::Params& params) {
    std::string query;
    for (const auto& [key, value] : params) {
        if (!value.empty()) {
            query += (query.empty() ? "?" : "&") + key + "=" + EncodeQueryValue(value);
        }
    }
    return EscapeHtml(query.empty() ? "?" : query);
}

std::string Head(const std::string& title) {
    return "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>" + title + "</title>" +
           kStyle + "</head><body>\n<h1>" + title + "</h1>\n";
}

std::string Cells(const ReportRow& row, std::initializer_list<const std::string*> cells) {
    std::string html = row.critical ? "<tr class=\"critical\">" : "<tr>";
    for (const auto* cell : cells) {
        html += "<td>" + EscapeHtml(*cell) + "</td>";
    }
    return html + "<td><a href=\"" + EscapeHtml(row.file) + "\">" + EscapeHtml(row.file) +
           "</a></td></tr>\n";
}

// "Newer" and "Older" links around the page, keeping every other parameter.
std::string Pager(httplib::Params params, std::size_t page, bool more) {
    std::string html = "<p class=\"pager\">Page " + std::to_string(page);
    params.erase("page");
    if (page > 1) {
        params.emplace("page", std::to_string(page - 1));
        html += " <a rel=\"prev\" href=\"" + Query(params) + "\">Newer</a>";
        params.erase("page");
    }
    if (more) {
        params.emplace("page", std::to_string(page + 1));
        html += " <a rel=\"next\" href=\"" + Query(params) + "\">Older</a>";
    }
    return html + "</p>\n";
}

std::string Option(const std::string& value, const std::string& chosen, const std::string& label) {
    return "<option value=\"" + value + "\"" + (value == chosen ? " selected" : "") + ">" + label +
           "</option>";
}

std::string ReportsHtml(ReportArchive& archive, const httplib::Request& req, std::time_t now) {
    const ReportFilter filter = FilterOf(req);
    const std::size_t page = Number(req, "page", 1);
    auto rows = archive.index().find(filter, (page - 1) * kPageRows, kPageRows + 1);
    const bool more = rows.size() > kPageRows;
    rows.resize(std::min(rows.size(), kPageRows));
    const httplib::Params params = {
        {"q", filter.text}, {"outcome", filter.outcome}, {"from", filter.from}, {"to", filter.to}};
    std::string html =
        Head("Tamsel update reports") +
        SummarySvg(archive.index().summary(Day(now - 86400 * (kSummaryDays - 1))), now) +
        "<form method=\"get\" action=\"./\"><label>Search <input name=\"q\" "
        "value=\"" +
        EscapeHtml(filter.text) + "\"></label> <label>Outcome <select name=\"outcome\">" +
        Option("", filter.outcome, "any");
    for (const auto& outcome : kOutcomes) {
        html += Option(outcome.name, filter.outcome, outcome.name);
    }
    html += "</select></label> <label>From <input type=\"date\" name=\"from\" value=\"" +
            filter.from + "\"></label> <label>To <input type=\"date\" name=\"to\" value=\"" +
            filter.to +
            "\"></label> <button>Show</button></form>\n<p><a href=\"desktops\">Desktops</a> · "
            "<a href=\"reports.csv" +
            Query(params) + "\">Download as CSV</a></p>\n" + Pager(params, page, more) +
            "<table id=\"reports\">\n<tr><th>Received</th><th>Date and time</th><th>Name</th>"
            "<th>Department</th><th>E-mail</th><th>Outcome</th><th>Final status</th><th>Files</th>"
            "<th>Megabytes</th><th>Office version</th><th>Log</th></tr>\n";
    for (const auto& row : rows) {
        html +=
            Cells(row, {&row.received, &row.dateTime, &row.name, &row.department, &row.email,
                        &row.outcome, &row.finalStatus, &row.files, &row.megabytes, &row.office});
    }
    return html + "</table>\n" + Pager(params, page, more) + "</body></html>\n";
}

std::string DesktopsHtml(ReportArchive& archive, const httplib::Request& req, std::time_t now) {
    DesktopQuery query;
    const std::string sort = req.get_param_value("sort");
    if (sort == "name" || sort == "outcome" || sort == "office") {
        query.sort = sort;
    }
    query.descending = req.get_param_value("desc") == "1";
    const std::size_t idle = Number(req, "idle", 0);
    if (idle > 0) {
        query.idleSince = LocalTimeText(now - static_cast<std::time_t>(idle) * 86400);
    }
    const std::size_t page = Number(req, "page", 1);
    auto rows = archive.index().desktops(query, (page - 1) * kPageRows, kPageRows + 1);
    const bool more = rows.size() > kPageRows;
    rows.resize(std::min(rows.size(), kPageRows));
    const std::string idleText = idle > 0 ? std::to_string(idle) : "";
    httplib::Params params = {
        {"idle", idleText}, {"sort", query.sort}, {"desc", query.descending ? "1" : ""}};
    std::string html = Head("Tamsel desktops") +
                       "<p><a href=\"./\">Reports</a></p>\n<form method=\"get\" "
                       "action=\"desktops\"><label>Not updated for <input name=\"idle\" "
                       "type=\"number\" min=\"1\" value=\"" +
                       idleText + "\"> days</label> <button>Show</button></form>\n" +
                       Pager(params, page, more) + "<table id=\"desktops\">\n<tr>";
    const std::pair<const char*, const char*> headings[] = {
        {"name", "Name"},     {"last", "Last update"}, {"outcome", "Outcome"},
        {"", "Final status"}, {"last", "Days since"},  {"office", "Office version"}};
    for (const auto& [key, label] : headings) {
        if (*key == '\0') {
            html += std::string("<th>") + label + "</th>";
            continue;
        }
        httplib::Params sorted = {{"idle", idleText}, {"sort", key}};
        if (query.sort == key && !query.descending) {
            sorted.emplace("desc", "1");
        }
        html += "<th><a href=\"desktops" + Query(sorted) + "\">" + label + "</a></th>";
    }
    html += "<th>Log</th></tr>\n";
    const std::string today = Day(now);
    for (const auto& row : rows) {
        std::tm day{};
        day.tm_isdst = -1;
        day.tm_year = std::atoi(row.received.substr(0, 4).c_str()) - 1900;
        day.tm_mon = std::atoi(row.received.substr(5, 2).c_str()) - 1;
        day.tm_mday = std::atoi(row.received.substr(8, 2).c_str());
        const long days = static_cast<long>(std::difftime(now, std::mktime(&day)) / 86400);
        const std::string since = std::to_string(std::max(days, 0L));
        html += Cells(
            row, {&row.name, &row.received, &row.outcome, &row.finalStatus, &since, &row.office});
    }
    return html + "</table>\n" + Pager(params, page, more) + "</body></html>\n";
}

std::string CsvLine(const ReportRow& row) {
    std::string line;
    for (const auto* cell :
         {&row.received, &row.dateTime, &row.name, &row.department, &row.email, &row.outcome,
          &row.finalStatus, &row.files, &row.megabytes, &row.office, &row.file}) {
        line += (line.empty() ? "" : ",") + CsvField(*cell);
    }
    return line + "\r\n";
}

void StreamCsv(ReportArchive& archive, ReportFilter filter, httplib::Response& res) {
    res.set_header("Content-Disposition", "attachment; filename=\"reports.csv\"");
    auto last = std::make_shared<std::optional<ReportRow>>();
    res.set_chunked_content_provider(
        "text/csv; charset=utf-8",
        [&archive, filter, last](std::size_t offset, httplib::DataSink& sink) {
            std::string text;
            if (offset == 0) {
                text =
                    "Received,Date and time,Name,Department,E-mail,Outcome,Final status,Files,"
                    "Megabytes,Office version,Log\r\n";
            }
            // A batch at a time, each continuing after the last row sent.
            const auto rows =
                archive.index().find(filter, 0, kCsvBatch, last->has_value() ? &**last : nullptr);
            for (const auto& row : rows) {
                text += CsvLine(row);
            }
            if (!rows.empty()) {
                *last = rows.back();
            }
            if (!text.empty() && !sink.write(text.data(), text.size())) {
                return false;
            }
            if (rows.size() < kCsvBatch) {
                sink.done();
            }
            return true;
        });
}

}  // namespace

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
    if (!field.empty() && std::string_view("=+-@\t\r").find(field[0]) != std::string_view::npos) {
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

ReportFilter FilterOf(const httplib::Request& req) {
    ReportFilter filter;
    filter.text = req.get_param_value("q").substr(0, 200);
    const std::string outcome = req.get_param_value("outcome");
    if (std::any_of(kOutcomes.begin(), kOutcomes.end(),
                    [&outcome](const Outcome& o) { return outcome == o.name; })) {
        filter.outcome = outcome;
    }
    for (const auto& [key, day] : {std::pair{"from", &filter.from}, std::pair{"to", &filter.to}}) {
        const std::string value = req.get_param_value(key);
        if (IsDay(value)) {
            *day = value;
        }
    }
    return filter;
}

std::string SummarySvg(const ReportSummary& summary, std::time_t now) {
    constexpr int kBar = 14;
    constexpr int kHeight = 120;
    long most = 1;
    std::vector<std::string> days;
    for (int i = kSummaryDays - 1; i >= 0; --i) {
        days.push_back(Day(now - 86400L * i));
        long total = 0;
        for (const auto& outcome : kOutcomes) {
            const auto found = summary.runs.find({days.back(), outcome.name});
            total += found == summary.runs.end() ? 0 : found->second;
        }
        most = std::max(most, total);
    }
    std::string svg = "<svg id=\"runs\" xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
                      std::to_string(kBar * kSummaryDays + 140) + "\" height=\"" +
                      std::to_string(kHeight + 30) +
                      "\" role=\"img\"><title>Runs per day over the last 30 days</title>";
    for (std::size_t d = 0; d < days.size(); ++d) {
        int top = kHeight;
        for (const auto& outcome : kOutcomes) {
            const auto found = summary.runs.find({days[d], outcome.name});
            if (found == summary.runs.end()) {
                continue;
            }
            const int height = static_cast<int>(found->second * kHeight / most);
            top -= height;
            svg += "<rect class=\"" + std::string(outcome.name) + "\" x=\"" +
                   std::to_string(d * kBar) + "\" y=\"" + std::to_string(top) + "\" width=\"" +
                   std::to_string(kBar - 2) + "\" height=\"" + std::to_string(height) +
                   "\" fill=\"" + outcome.colour + "\"><title>" + days[d] + " " + outcome.name +
                   ": " + std::to_string(found->second) + "</title></rect>";
        }
    }
    int legend = 12;
    for (const auto& outcome : kOutcomes) {
        svg += "<text x=\"" + std::to_string(kBar * kSummaryDays + 10) + "\" y=\"" +
               std::to_string(legend) + "\" fill=\"" + outcome.colour + "\">" + outcome.name +
               "</text>";
        legend += 16;
    }
    svg += "<text x=\"0\" y=\"" + std::to_string(kHeight + 20) + "\">" + days.front() + " to " +
           days.back() + ", at most " + std::to_string(most) + " a day</text></svg>";

    long desktops = 0;
    for (const auto& [office, count] : summary.offices) {
        desktops += count;
    }
    svg += "<svg id=\"offices\" xmlns=\"http://www.w3.org/2000/svg\" width=\"320\" height=\"" +
           std::to_string(20 * summary.offices.size() + 10) +
           "\" role=\"img\"><title>Office versions of the desktops</title>";
    int y = 0;
    for (const auto& [office, count] : summary.offices) {
        const long percent = count * 100 / std::max(desktops, 1L);
        const std::string label =
            (office.empty() ? "unknown" : EscapeHtml(office)) + " " + std::to_string(percent) + "%";
        svg += "<rect class=\"office\" x=\"0\" y=\"" + std::to_string(y) + "\" width=\"" +
               std::to_string(2 * percent + 1) + "\" height=\"16\" fill=\"#4a6fa5\"><title>" +
               label + "</title></rect><text x=\"" + std::to_string(2 * percent + 8) + "\" y=\"" +
               std::to_string(y + 13) + "\">" + label + "</text>";
        y += 20;
    }
    return svg + "</svg>\n";
}

bool AnswerReports(ReportArchive& archive, const std::string& rest, const httplib::Request& req,
                   httplib::Response& res, std::time_t now) {
    if (rest.empty()) {
        res.set_content(ReportsHtml(archive, req, now), "text/html; charset=utf-8");
    } else if (rest == "desktops") {
        res.set_content(DesktopsHtml(archive, req, now), "text/html; charset=utf-8");
    } else if (rest == "reports.csv") {
        StreamCsv(archive, FilterOf(req), res);
    } else if (const auto log = archive.log(rest)) {
        res.set_content(*log, "text/plain; charset=utf-8");
    } else {
        return false;
    }
    return true;
}

}  // namespace tamsel::server
