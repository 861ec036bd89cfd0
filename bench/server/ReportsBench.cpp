#include <benchmark/benchmark.h>

#include "ReportsPage.h"

#include <httplib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace tamsel::server {
namespace {

namespace fs = std::filesystem;

constexpr int kLogs = 1000000;
constexpr int kDesktops = 5000;
constexpr int kFolderLogs = 100000;
const char* const kStatuses[] = {"12 files", "12 files", "12 files", "CANCELED 2 files", "ERROR"};

std::string Log(int number) {
    return "$BEGIN Header\r\nDate_time=\"05/12/2026 09:07:03\"\r\nTotal_files=\"12\"\r\n"
           "Total_megabytes_downloaded=\"1572864\"\r\nOffice_version=\"" +
           std::to_string(11 + number % 6) + ".0\"\r\nFinal_status_message=\"" +
           kStatuses[number % 5] + "\"\r\n$END Header\r\n\r\n$BEGIN User\r\nname=\"User " +
           std::to_string(number % kDesktops) + "\"\r\ndepartment=\"Sales\"\r\nemail=\"user" +
           std::to_string(number % kDesktops) + "@example.com\"\r\n$END User\r\n";
}

fs::path ScratchRoot() {
    return fs::temp_directory_path() / ("tamsel-reports-bench-" + std::to_string(::getpid()));
}

fs::path Scratch(const std::string& name) {
    [[maybe_unused]] static const int cleanup = std::atexit([] { fs::remove_all(ScratchRoot()); });
    const fs::path folder = ScratchRoot() / name;
    fs::create_directories(folder);
    return folder;
}

// An index of kLogs logs over the last year, made once for every benchmark.
ReportArchive& Indexed() {
    static ReportArchive* archive = [] {
        auto* made = new ReportArchive(Scratch("indexed"), "");
        const std::time_t now = std::time(nullptr);
        std::vector<std::pair<ReportRow, std::string>> batch;
        for (int i = 0; i < kLogs; ++i) {
            ReportRow row = ReadReport("report-" + std::to_string(i) + ".txt", Log(i));
            row.received = LocalTimeText(now - (kLogs - i) * 31);
            row.seq = i;
            batch.emplace_back(std::move(row), "");
            if (batch.size() == 10000) {
                made->index().add(batch);
                batch.clear();
            }
        }
        return made;
    }();
    return *archive;
}

void Page(benchmark::State& state, const std::string& rest, const httplib::Params& params) {
    ReportArchive& archive = Indexed();
    httplib::Request req;
    req.params = params;
    std::size_t bytes = 0;
    for (auto _ : state) {
        httplib::Response res;
        AnswerReports(archive, rest, req, res, std::time(nullptr));
        bytes = res.body.size();
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["page_bytes"] = static_cast<double>(bytes);
}

void BM_FirstPage(benchmark::State& state) {
    Page(state, "", {});
}
void BM_FilteredPage(benchmark::State& state) {
    Page(state, "", {{"outcome", "failed"}, {"from", "2026-01-01"}, {"page", "3"}});
}
void BM_SearchedPage(benchmark::State& state) {
    Page(state, "", {{"q", "user4711@"}});
}
void BM_DesktopsPage(benchmark::State& state) {
    Page(state, "desktops", {{"sort", "name"}, {"desc", "1"}});
}

// An upload as the server takes it: its file renamed to a stored name, then indexed.
void BM_UploadIndexing(benchmark::State& state) {
    ReportArchive archive(Scratch("uploads"), "");
    const fs::path part = archive.folder() / ".upload-1.part";
    int number = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::ofstream(part, std::ios::binary) << Log(++number);
        state.ResumeTiming();
        benchmark::DoNotOptimize(archive.keep(part));
    }
    state.SetItemsProcessed(state.iterations());
}

// A server starting on a folder of kFolderLogs logs that no index lists yet.
void BM_StartupIndexing(benchmark::State& state) {
    const fs::path folder = Scratch("startup");
    for (int i = 0; i < kFolderLogs; ++i) {
        std::ofstream(folder / ("report-20260101-120000-" + std::to_string(i) + ".txt"),
                      std::ios::binary)
            << Log(i);
    }
    for (auto _ : state) {
        fs::remove(folder / ".tamsel-index.sqlite");
        fs::remove(folder / ".tamsel-index.sqlite-wal");
        fs::remove(folder / ".tamsel-index.sqlite-shm");
        ReportArchive archive(folder, "");
        std::ostringstream progress;
        benchmark::DoNotOptimize(archive.indexFolder(progress));
    }
    state.SetItemsProcessed(state.iterations() * kFolderLogs);
}

BENCHMARK(BM_FirstPage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FilteredPage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchedPage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DesktopsPage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UploadIndexing)->Unit(benchmark::kMillisecond)->Iterations(2000);
BENCHMARK(BM_StartupIndexing)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace tamsel::server
