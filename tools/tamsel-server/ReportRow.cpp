#include "ReportRow.h"

#include "util/FileSystem.h"
#include "util/Format.h"

#include <sys/stat.h>

#include <charconv>
#include <ctime>

namespace tamsel::server {

namespace {

bool AllDigits(std::string_view text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
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

// Length of the well-formed UTF-8 sequence at the start of `text`, or 0.
std::size_t Utf8Length(std::string_view text) {
    const auto lead = static_cast<unsigned char>(text[0]);
    const std::size_t length = lead < 0x80                   ? 1
                               : lead >= 0xC2 && lead < 0xE0 ? 2
                               : lead >= 0xE0 && lead < 0xF0 ? 3
                               : lead >= 0xF0 && lead < 0xF5 ? 4
                                                             : 0;
    if (length == 0 || text.size() < length) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
            return 0;
        }
    }
    return length;
}

std::string ValidUtf8(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = Utf8Length(text.substr(i));
        if (length > 0) {
            out.append(text.substr(i, length));
            i += length;
            continue;
        }
        const auto byte = static_cast<unsigned char>(text[i++]);
        out += static_cast<char>(0xC0 | (byte >> 6));
        out += static_cast<char>(0x80 | (byte & 0x3F));
    }
    return out;
}

std::string OutcomeOf(const ReportRow& row) {
    if (row.critical) {
        return "critical";
    }
    if (row.finalStatus == "ERROR") {
        return "failed";
    }
    return row.finalStatus.starts_with("CANCELED") ? "cancelled" : "finished";
}

}  // namespace

ReportRow ReadReport(std::string fileName, std::string_view log) {
    ReportRow row;
    row.file = std::move(fileName);
    row.size = log.size();
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
        } keys[] = {{"Date_time", &row.dateTime},
                    {"name", &row.name},
                    {"department", &row.department},
                    {"email", &row.email},
                    {"Final_status_message", &row.finalStatus},
                    {"Total_files", &row.files},
                    {"Total_megabytes_downloaded", &bytes},
                    {"Office_version", &row.office}};
        for (const auto& [key, value] : keys) {
            std::string found;
            if (value->empty() && KeyLineValue(line, key, found)) {
                *value = ValidUtf8(found);
            }
        }
        row.critical = row.critical || line == "$BEGIN Critical Objects";
    }
    row.megabytes = MegabytesOf(bytes);
    row.outcome = OutcomeOf(row);
    return row;
}

bool ParseStoredName(std::string_view name, std::string& received, long& number) {
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
    received = std::string(rest.substr(0, 4)) + "-" + std::string(rest.substr(4, 2)) + "-" +
               std::string(rest.substr(6, 2)) + " " + std::string(rest.substr(9, 2)) + ":" +
               std::string(rest.substr(11, 2)) + ":" + std::string(rest.substr(13, 2));
    number = std::stol(std::string(digits));
    return true;
}

bool IsStoredLogName(std::string_view name) {
    return !name.empty() && name.find_first_of("/\\") == std::string_view::npos && name[0] != '.' &&
           name.ends_with(".txt");
}

ReportRow ReadStoredLog(const std::filesystem::path& file, std::string& log) {
    log.clear();
    ReadWholeFile(file.string(), log);
    ReportRow row = ReadReport(file.filename().string(), log);
    if (!ParseStoredName(row.file, row.received, row.seq)) {
        struct stat info {};
        std::tm local{};
        if (::stat(file.c_str(), &info) == 0) {
            localtime_r(&info.st_mtime, &local);
        }
        char written[32];
        std::strftime(written, sizeof written, "%Y-%m-%d %H:%M:%S", &local);
        row.received = written;
    }
    return row;
}

}  // namespace tamsel::server
