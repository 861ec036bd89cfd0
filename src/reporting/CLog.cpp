#include "reporting/CLog.h"

#include <chrono>
#include <cstdio>

#include "engine/Version.h"
#include "reporting/ReportsAddress.h"
#include "util/Error.h"
#include "util/FileSystem.h"
#include "util/Text.h"

namespace tamsel {

namespace {

// The general number-to-text form: up to 15 significant digits, no thousands separators, the
// locale's decimal separator.
std::string NumberText(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.15g", value);
    return text;
}

void AppendAsStrings(const CFiles& files, std::vector<std::string>& lines, bool onlyTagged,
                     bool onlyHot) {
    for (const auto& entry : files.asCollection()) {
        if ((!onlyTagged || entry->Tag()) && (!onlyHot || entry->Hot())) {
            lines.push_back(entry->asString());
        }
    }
}

// The text with every control character (CR and LF among them) a blank: a value from a setting,
// a server's answer, the machine or a file name stays on its one line of the log.
std::string OnOneLine(std::string_view text) {
    std::string line(text);
    for (char& c : line) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            c = ' ';
        }
    }
    return line;
}

class LogText {
  public:
    void line(std::string_view text) {
        text_ += text;
        text_ += "\r\n";
    }
    void key(std::string_view key, std::string_view value) {
        line(std::string(key) + "=\"" + OnOneLine(value) + "\"");
    }
    void section(std::string_view name, std::string_view comment,
                 const std::vector<std::string>& lines) {
        line("$BEGIN " + std::string(name));
        if (!comment.empty()) {
            line(comment);
        }
        for (const auto& each : lines) {
            line(OnOneLine(each));
        }
        line("$END " + std::string(name));
    }
    const std::string& text() const { return text_; }

  private:
    std::string text_;
};

}  // namespace

std::string LogResponseField(std::string_view answer, std::string_view key) {
    const auto at = FindNoCase(answer, key);
    if (answer.empty() || at == std::string_view::npos) {
        return {};
    }
    auto start = answer.find('=', at + 1);
    if (start == std::string_view::npos) {
        return {};
    }
    start = answer.find_first_not_of(' ', start + 1);
    if (start == std::string_view::npos) {
        return {};
    }
    const auto end = answer.find_first_of(",\r", start);
    return std::string(answer.substr(start, end == std::string_view::npos ? end : end - start));
}

bool ReadTextLines(const std::string& path, std::vector<std::string>& lines) {
    std::string text;
    if (!ReadWholeFile(path, text)) {
        return false;
    }
    std::size_t start = 0;
    while (start < text.size()) {
        const auto end = text.find_first_of("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
    return true;
}

void CLog::addCatalogue(const CCatalogue& catalogue) {
    if (catalogue.Files().Size() == 0) {
        return;
    }
    AppendAsStrings(catalogue.Files(), m_colUpdated, true, false);
    m_strTotalMegabytes = NumberText(catalogue.Size());
    m_lngTotalFiles = catalogue.Files().Size();
}

void CLog::addCatalogue2(const CCatalogue& catalogue) {
    AppendAsStrings(catalogue.Files(), m_colInstalled, false, false);
}

void CLog::addCatalogue3(const CCatalogue& catalogue) {
    AppendAsStrings(catalogue.Files(), m_colComplete, false, false);
}

void CLog::addFiles(const CFiles& files) {
    AppendAsStrings(files, m_colSpecial, false, true);
}

void CLog::addChoices(const CMenu& menu) {
    for (const auto& choice : menu.asCollection()) {
        if (choice->Active()) {
            m_colPackages.push_back(choice->toString2());
        }
    }
}

void CLog::addLog(const std::string& path) {
    ReadTextLines(path, m_colMenu);
}

std::string CLog::toText() const {
    const CConfiguration& local = run_.localConfiguration;
    const CMetrics& metrics = run_.g_objMetrics;
    const DateTime now = environment_.Now();
    LogText log;

    log.line("$BEGIN Header");
    log.line("' this sections gives details of the update");
    log.key("Date_time", DateText(now) + " " + TimeText(now));
    log.key("Updater_version", std::to_string(kVersionMajor) + "." + std::to_string(kVersionMinor) +
                                   "." + std::to_string(kVersionRevision) + ".6");
    log.key("Total_files", std::to_string(m_lngTotalFiles));
    log.key("Total_megabytes_downloaded", m_strTotalMegabytes);
    log.key("Office_version", local.getValue("office"));
    log.key("Final_status_message", metrics.FinalStatus());
    log.key("Local_time", DefaultDateTimeText(now));
    log.line("$END Header");
    log.line("");

    log.line("$BEGIN User");
    if (run_.einMode) {
        log.key("ein", local.getValue("ein"));
    }
    log.key("name", local.getValue("username"));
    log.key("uin", environment_.InstallationNumber());
    log.key("department", local.getValue("department"));
    log.key("email", local.getValue("email"));
    const std::string& response = metrics.EinResponse();
    log.key("country", LogResponseField(response, "country"));
    log.key("firstname", LogResponseField(response, "name"));
    log.key("lastname", LogResponseField(response, "surname"));
    log.key("ouc", LogResponseField(response, "ouc"));
    log.line("$END User");
    log.line("");

    if (!m_colUpdated.empty()) {
        log.section("Tam-Sel",
                    "' these are the files that have been download or removed in this update",
                    m_colUpdated);
        log.line("");
    }
    if (!m_colSpecial.empty()) {
        log.section("Special", "", m_colSpecial);
        log.line("");
    }
    if (!m_colPackages.empty()) {
        log.section("Packages", "", m_colPackages);
        log.line("");
    }

    log.line("$BEGIN Environment");
    log.key("Windows_version", environment_.WindowsVersion());
    log.key("Country", environment_.CountryName());
    log.key("Time_Zone", environment_.TimeZoneName());
    log.key("Disks", environment_.DiskList());
    log.key("Folders", environment_.FolderList());
    log.key("Internet", environment_.InternetVersion());
    log.key("PowerPoint", environment_.PowerPointVersions());
    log.line("$END Environment");

    if (m_blnCritical) {
        log.line("");
        log.line("$BEGIN Critical Objects");
        for (const char* className : {"Microsoft.XMLHTTP", "msxml2.ServerXMLHTTP",
                                      "Scripting.filesystemobject", "ADODB.Stream"}) {
            log.key("object", environment_.ObjectInfo(className));
        }
        log.line("$END Critical Objects");
    }

    const struct {
        const char* name;
        const char* comment;
        const std::vector<std::string>& lines;
    } trailing[] = {
        {"Menu", "' these are the files that have been opened by the menu since the last update",
         m_colMenu},
        {"Installed", "' this is a complete list of all installed files before the update",
         m_colInstalled},
        {"Complete", "' this is a complete list of all installed files after the update",
         m_colComplete},
    };
    for (const auto& section : trailing) {
        if (!section.lines.empty()) {
            log.line(" ");
            log.section(section.name, section.comment, section.lines);
        }
    }
    return log.text();
}

bool CLog::commit(const std::string& path) {
    if (!WriteFileAtomically(path, toText())) {
        throw TamselError(err::PathNotFound, "CLog.commit", "Unable to write " + path);
    }
    return true;
}

bool CLog::postLog(const std::string& path) {
    const auto remote = run_.g_objMetrics.RemoteCatalogue();
    std::vector<std::string> lines;
    if (!remote || !ReadTextLines(path, lines)) {
        return false;
    }
    std::string data = "data=";
    for (const auto& line : lines) {
        data += line + "\r\n";
    }
    CHTTP& http = run_.g_objMetrics.Http();
    const auto start = std::chrono::steady_clock::now();
    const bool received =
        http.POST(remote->FullLog(), data, run_.logUpload).find("SUCCESS") != std::string::npos;

    // The second copy has what is left of the upload's time.
    HttpLimits rest = run_.logUpload;
    if (rest.total.count() != 0) {
        rest.total -= std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - start);
        if (rest.total.count() <= 0) {
            return received;
        }
    }
    const std::string copy = ToUpper(remote->FullConfirmation());
    if (copy == "YES") {
        if (const std::string reports = ReportsUploadAddress(run_.globalConfiguration);
            !reports.empty()) {
            http.POST(reports, data, rest);
        }
    } else if (copy.starts_with("HTTP")) {
        http.POST(remote->FullConfirmation(), data, rest);
    }
    return received;
}

}  // namespace tamsel
