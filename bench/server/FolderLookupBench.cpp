#include <benchmark/benchmark.h>

#include "KitFiles.h"

#include <unistd.h>
#include <filesystem>
#include <fstream>
#include <string>

namespace tamsel::server {
namespace {

namespace fs = std::filesystem;

constexpr int kEntries = 100000;

// A kit whose one folder holds kEntries files, made once for every benchmark and settled (its
// time an hour back) as a published kit's folders are.
const fs::path& LargeKit() {
    static const fs::path root = [] {
        const fs::path kit =
            fs::temp_directory_path() / ("tamsel-folder-bench-" + std::to_string(::getpid()));
        fs::create_directories(kit / "Templates");
        for (int i = 0; i < kEntries; ++i) {
            std::ofstream(kit / "Templates" / ("Slide " + std::to_string(i) + ".pot"));
        }
        fs::last_write_time(kit / "Templates",
                            fs::file_time_type::clock::now() - std::chrono::hours(1));
        std::atexit([] { fs::remove_all(LargeKit()); });
        return kit;
    }();
    return root;
}

// A name that is missing in any letter case: every lookup has to consult the whole folder.
void BM_MissingNameRememberedFolder(benchmark::State& state) {
    const fs::path& kit = LargeKit();
    FolderNameCache names;
    for (auto _ : state) {
        auto file = ResolveKitFile(kit, "/templates/missing.pot", names);
        benchmark::DoNotOptimize(file);
    }
}
BENCHMARK(BM_MissingNameRememberedFolder)->Unit(benchmark::kMicrosecond);

void BM_MissingNameFolderReadEachTime(benchmark::State& state) {
    const fs::path& kit = LargeKit();
    for (auto _ : state) {
        FolderNameCache names;
        auto file = ResolveKitFile(kit, "/templates/missing.pot", names);
        benchmark::DoNotOptimize(file);
    }
}
BENCHMARK(BM_MissingNameFolderReadEachTime)->Unit(benchmark::kMillisecond);

// A name found in another letter case.
void BM_OtherCaseRememberedFolder(benchmark::State& state) {
    const fs::path& kit = LargeKit();
    FolderNameCache names;
    for (auto _ : state) {
        auto file = ResolveKitFile(kit, "/templates/SLIDE 99999.POT", names);
        if (!file) {
            state.SkipWithError("not found");
        }
        benchmark::DoNotOptimize(file);
    }
}
BENCHMARK(BM_OtherCaseRememberedFolder)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tamsel::server
