#include <benchmark/benchmark.h>

#include <string>

#include "catalogue/CFactory.h"

namespace tamsel {
namespace {

// A master catalogue of the given number of file lines, shaped like a real kit's: a comment,
// folders a few levels deep, a settings section and a menu at the end.
std::string MakeCatalogue(int files) {
    std::string text = "'\r\n' Tamsel kit master catalogue\r\n";
    for (int i = 0; i < files; ++i) {
        text += "url=\"/Templates/Region" + std::to_string(i % 40) + "/Corporate Slide " +
                std::to_string(i) + ".pot\" date=\"05/01/2007\" size=\"" +
                std::to_string(1000 + i) + "\"\r\n";
    }
    text +=
        "[SETTINGS]\r\nlog=\"http://reports.example.com/upload\"\r\n"
        "[MENU]\r\ncaption=\"Regions\"\r\nchoice=\"Sales\" home=\"/sales\"\r\n";
    return text;
}

void BM_ParseCatalogue(benchmark::State& state) {
    const std::string text = MakeCatalogue(static_cast<int>(state.range(0)));
    CFactory factory;
    for (auto _ : state) {
        auto catalogue = factory.createCatalogueFromText(text, "", "http://kit.example.com");
        benchmark::DoNotOptimize(catalogue);
        if (catalogue->Files().Size() != state.range(0)) {
            state.SkipWithError("wrong number of files");
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_ParseCatalogue)->Arg(32767)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tamsel
