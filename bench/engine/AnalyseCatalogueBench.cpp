#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "catalogue/CCatalogue.h"
#include "engine/UpdateRun.h"
#include "forms/HeadlessEventLoop.h"
#include "forms/HeadlessToolkit.h"
#include "util/FileSystem.h"

namespace tamsel {
namespace {

constexpr int kEntries = 32767;
constexpr int kFolders = 128;

// How many entries of each kind the analysis must find; the benchmark fails on any other result.
struct Expected {
    long unchanged = 0;
    long update = 0;
    long added = 0;
    long remove = 0;
};

// A kit the size of the largest catalogue the updater handles: kEntries remote entries against
// a local folder of kEntries files. Most files are up to date; some differ in size or date, some
// are new, some are only local (a few of those excluded), and every third local file differs
// from its catalogue line in letter case. The folder is written once, below the temporary
// folder, and removed at exit.
class BenchKit {
  public:
    BenchKit()
        : folder_(std::filesystem::temp_directory_path() /
                  ("tamsel-bench-analyse-" + std::to_string(::getpid()))) {
        std::filesystem::remove_all(folder_);
        for (int i = 0; i < kEntries; ++i) {
            const std::string region = "Region" + std::to_string(i % kFolders);
            const std::string name = "Slide " + std::to_string(i) + ".pot";
            const std::string size = std::to_string(i % 50);
            auto remote = std::make_shared<CFile>();
            remote->URL("/" + region + "/" + name);
            remote->Time(i % 10 == 7 ? "06/01/2007" : "05/01/2007");
            remote->Size(i % 8 == 4 ? size + "0" : size);
            remote_.Files().add(remote);

            if (i % 16 == 0) {
                ++expected_.added;
                const bool personal = i % 256 == 0;
                expected_.remove += personal ? 0 : 1;
                writeLocal(
                    (personal ? "Personal/Old " : "Retired/Old ") + std::to_string(i) + ".pot",
                    i % 50);
                continue;
            }
            writeLocal(i % 3 == 0 ? ToUpperAscii(region) + "/" + name : region + "/" + name,
                       i % 50);
            if (i % 8 == 4 || i % 10 == 7) {
                ++expected_.update;
            } else {
                ++expected_.unchanged;
            }
        }
    }
    ~BenchKit() {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    BenchKit(const BenchKit&) = delete;
    BenchKit& operator=(const BenchKit&) = delete;

    std::string folder() const { return folder_.string(); }
    const CCatalogue& remote() const { return remote_; }
    const Expected& expected() const { return expected_; }

  private:
    static std::string ToUpperAscii(std::string text) {
        for (char& c : text) {
            c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
        }
        return text;
    }
    void writeLocal(const std::string& relative, int bytes) {
        const auto path = folder_ / relative;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << std::string(static_cast<std::size_t>(bytes), 'x');
        SetFileTimeFromText(path.string(), "05/01/2007 06:00");
    }

    std::filesystem::path folder_;
    CCatalogue remote_;
    Expected expected_;
};

const BenchKit& Kit() {
    static const BenchKit kit;
    return kit;
}

// The entries of each kind in the complete catalogue after an analysis.
Expected Count(const CCatalogue& complete) {
    Expected counted;
    for (const auto& entry : complete.Files().asCollection()) {
        switch (entry->myType()) {
            case CFile::TypeUnchanged:
                ++counted.unchanged;
                break;
            case CFile::TypeUpdate:
                ++counted.update;
                break;
            case CFile::TypeNew:
                ++counted.added;
                break;
            case CFile::TypeRemove:
                ++counted.remove;
                break;
            default:
                break;
        }
    }
    return counted;
}

// analyseCatalogue of the whole kit: the metrics object holds the local catalogue of the folder
// (read once) and, fresh for every iteration, the complete catalogue the packages make up.
void BM_AnalyseCatalogue(benchmark::State& state) {
    const BenchKit& kit = Kit();
    HeadlessEventLoop loop;
    HeadlessToolkit toolkit(loop);
    UpdateRun run(toolkit, kit.folder());
    CMetrics& metrics = run.g_objMetrics;
    run.localConfiguration.setValue("local", kit.folder());
    if (!metrics.getLocalCatalogue() || metrics.LocalCatalogue()->Files().Size() != kEntries) {
        state.SkipWithError("the local catalogue of the kit folder could not be built");
        return;
    }
    auto excluded = std::make_shared<CFile>();
    excluded->URL("/Personal");
    metrics.ExcludedFiles().add(excluded);

    for (auto _ : state) {
        state.PauseTiming();
        *metrics.CompleteCatalogue() = CCatalogue();
        metrics.CompleteCatalogue()->Append(kit.remote());
        state.ResumeTiming();

        metrics.analyseCatalogue();

        state.PauseTiming();
        const Expected counted = Count(*metrics.CompleteCatalogue());
        const Expected& expected = kit.expected();
        if (counted.unchanged != expected.unchanged || counted.update != expected.update ||
            counted.added != expected.added || counted.remove != expected.remove) {
            state.SkipWithError("the analysis found other entries than the kit holds");
            break;
        }
        state.ResumeTiming();
    }
    state.counters["remote"] = kEntries;
    state.counters["local"] = kEntries;
    state.counters["update"] = static_cast<double>(kit.expected().update);
    state.counters["new"] = static_cast<double>(kit.expected().added);
    state.counters["remove"] = static_cast<double>(kit.expected().remove);
}
BENCHMARK(BM_AnalyseCatalogue)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tamsel
