// Times the processing dialog downloading every file of a package catalogue from a running kit
// server into an empty kit folder, on the wall clock, as a user's run would.
//
//   tamsel-process-bench REMOTE CATALOGUE_URL PREFIX KIT_FOLDER
//
// Prints "files N  seconds S" and exits 0 when every file was written.
#include <chrono>
#include <cstdio>
#include <thread>

#include "engine/UpdateRun.h"
#include "engine/frmProcess.h"
#include "forms/HeadlessToolkit.h"

int main(int argc, char** argv) {
    using namespace tamsel;
    if (argc != 5) {
        std::fprintf(stderr, "usage: %s REMOTE CATALOGUE_URL PREFIX KIT_FOLDER\n", argv[0]);
        return 2;
    }
    HeadlessEventLoop loop;
    HeadlessToolkit toolkit(loop);
    UpdateRun run(toolkit, std::string(argv[4]) + "/Updater");
    run.globalConfiguration.putValue("remote", argv[1]);
    run.localConfiguration.putValue("local", argv[4]);
    CMetrics& metrics = run.g_objMetrics;

    const auto catalogue = metrics.getCatalogue(argv[2], argv[3]);
    if (!catalogue || !metrics.getLocalCatalogue()) {
        std::fprintf(stderr, "cannot read the catalogue or the kit folder\n");
        return 1;
    }
    metrics.CompleteCatalogue()->Append(*catalogue);
    metrics.analyseCatalogue();
    metrics.pruneCatalogue();
    metrics.CompleteCatalogue()->Files().setTags();
    metrics.calculateSize();

    // Timers keep to the wall clock, as they do on screen.
    const auto started = std::chrono::steady_clock::now();
    loop.StartTimer(std::chrono::milliseconds(10),
                    [&loop, started] { std::this_thread::sleep_until(started + loop.Now()); });
    frmProcess dialog(toolkit, metrics, run.localConfiguration, run.globalConfiguration, {});
    dialog.Show(ShowMode::Modal);
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - started;

    std::printf("files %ld  seconds %.3f\n", dialog.Files(), elapsed.count());
    return dialog.Files() == metrics.CompleteCatalogue()->Files().Size() && !dialog.Error() ? 0 : 1;
}
