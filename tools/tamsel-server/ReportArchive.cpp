#include "ReportArchive.h"

#include "util/FileSystem.h"

#include <system_error>
#include <vector>

namespace tamsel::server {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kBatch = 1000;
constexpr std::size_t kProgressEvery = 10000;

std::unique_ptr<SqlDatabase> OpenIndex(const fs::path& folder, const std::string& address) {
    if (!address.empty()) {
        return OpenPostgres(address);
    }
    if (folder.empty()) {
        // A server that keeps no reports folder keeps no index either.
        return OpenSqlite(":memory:");
    }
    std::error_code error;
    fs::create_directories(folder, error);
    return OpenSqlite((folder / ".tamsel-index.sqlite").string());
}

}  // namespace

std::string LocalTimeText(std::time_t time) {
    std::tm local{};
    localtime_r(&time, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

ReportArchive::ReportArchive(fs::path folder, const std::string& databaseAddress)
    : store_(folder), index_(OpenIndex(folder, databaseAddress)) {}

std::size_t ReportArchive::indexFolder(std::ostream& progress) {
    const auto known = index_.files();
    std::vector<fs::path> missing;
    std::error_code error;
    for (fs::directory_iterator it(folder(), error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = it->path().filename().string();
        std::error_code typeError;
        if (IsStoredLogName(name) && !known.contains(name) && it->is_regular_file(typeError)) {
            missing.push_back(it->path());
        }
    }
    const bool many = missing.size() >= kProgressEvery;
    if (many) {
        progress << "indexing " << missing.size() << " stored logs" << std::endl;
    }
    std::size_t added = 0;
    std::vector<std::pair<ReportRow, std::string>> batch;
    for (std::size_t i = 0; i < missing.size(); ++i) {
        std::string log;
        ReportRow row = ReadStoredLog(missing[i], log);
        batch.emplace_back(std::move(row), index_.holdsRawLogs() ? std::move(log) : "");
        if (batch.size() == kBatch || i + 1 == missing.size()) {
            added += index_.add(batch);
            batch.clear();
        }
        if (many && (i + 1) % kProgressEvery == 0) {
            progress << "indexed " << i + 1 << " of " << missing.size() << std::endl;
        }
    }
    return added;
}

std::optional<std::string> ReportArchive::keep(const fs::path& written) {
    if (!index_.holdsRawLogs()) {
        const auto stored = store_.keep(written);
        if (!stored) {
            return std::nullopt;
        }
        std::string log;
        index_.add({{ReadStoredLog(*stored, log), ""}});
        return stored->filename().string();
    }
    std::string log;
    if (!ReadWholeFile(written.string(), log)) {
        return std::nullopt;
    }
    // Another server sharing the database may have taken the name: the next one is tried.
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path name = store_.freshName();
        ReportRow row = ReadReport(name.filename().string(), log);
        ParseStoredName(row.file, row.received, row.seq);
        if (index_.add({{row, log}}) == 1) {
            std::error_code error;
            fs::remove(written, error);
            return row.file;
        }
    }
    return std::nullopt;
}

std::optional<std::string> ReportArchive::log(const std::string& name) {
    if (!IsStoredLogName(name) || !index_.contains(name)) {
        return std::nullopt;
    }
    if (index_.holdsRawLogs()) {
        return index_.raw(name);
    }
    std::string log;
    if (!ReadWholeFile((folder() / name).string(), log)) {
        return std::nullopt;
    }
    return log;
}

std::size_t ReportArchive::prune(int keepDays, std::time_t now) {
    const auto removed = index_.removeBefore(LocalTimeText(now - std::time_t{keepDays} * 86400));
    for (const auto& name : removed) {
        std::error_code error;
        fs::remove(folder() / name, error);
    }
    return removed.size();
}

}  // namespace tamsel::server
