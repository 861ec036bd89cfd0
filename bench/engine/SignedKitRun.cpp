// Times updates of a kit whose one package holds many small files, from a running kit server,
// on the wall clock: the first update (every file downloaded) and the check of a kit already up
// to date, for the package's catalogue as it is and for its signed twin whose entries carry
// sha256. Driven by bench/signed_kit.sh.
//
//   tamsel-signed-kit-bench make SITE N
//       writes SITE/Bench: N files, catalogue.ini (plain) and signed.ini with signed.ini.minisig
//       (every entry with its sha256); prints the public key
//   tamsel-signed-kit-bench run REMOTE CATALOGUE_URL PREFIX KIT_FOLDER [PUBLIC_KEY]
//       prints "first S files N check S cpu S S" (wall clock, then processor time of the first
//       update and the check) and exits 0 when every file was written and the check found
//       nothing to do
#include <chrono>
#include <cstdio>
#include <ctime>
#include <string>
#include <thread>

#include "catalogue/CatalogueBuilder.h"
#include "catalogue/Signature.h"
#include "engine/UpdateRun.h"
#include "engine/frmProcess.h"
#include "forms/HeadlessToolkit.h"
#include "util/FileSystem.h"

namespace {

using namespace tamsel;
using Clock = std::chrono::steady_clock;

int Make(const std::string& site, long count) {
    const std::string package = site + "/Bench";
    for (long i = 0; i < count; ++i) {
        const std::string name = std::to_string(1000000 + i);
        const std::string path =
            package + "/PowerPoint/Files/" + name.substr(1, 3) + "/f" + name + ".pot";
        CreateFolderPath(path);
        if (!WriteFileAtomically(path, "template " + name + std::string(200, 'x'))) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
    }
    const DateTime now = Now();
    const auto [secret, pub] = GenerateKeyPair();
    const std::string plain = BuildCatalogueText(package + "/PowerPoint", "bench", now);
    const std::string hashed = BuildCatalogueText(package + "/PowerPoint", "bench", now, true);
    if (!WriteFileAtomically(package + "/catalogue.ini", plain) ||
        !WriteFileAtomically(package + "/signed.ini", hashed) ||
        !WriteFileAtomically(package + "/signed.ini.minisig",
                             SignatureFileText(secret, hashed, "signed.ini", 1))) {
        std::fprintf(stderr, "cannot write the catalogues\n");
        return 1;
    }
    std::printf("%s\n", PublicKeyText(pub).c_str());
    return 0;
}

// One update as the updater makes it: fetch the catalogue (and its signature), walk the kit,
// analyse, then process what needs work. Files written, or -1 on failure.
long Update(const std::string& remote, const std::string& url, const std::string& prefix,
            const std::string& kit, const std::string& key) {
    HeadlessEventLoop loop;
    HeadlessToolkit toolkit(loop);
    UpdateRun run(toolkit, kit + "/Updater");
    run.globalConfiguration.putValue("remote", remote);
    if (!key.empty()) {
        run.globalConfiguration.putValue("public_key", key);
    }
    run.localConfiguration.putValue("local", kit);
    CMetrics& metrics = run.g_objMetrics;
    const auto catalogue = metrics.getCatalogue(url, prefix);
    if (!catalogue || !metrics.getLocalCatalogue()) {
        std::fprintf(stderr, "cannot read the catalogue or the kit folder: %s\n",
                     metrics.FailureCause().c_str());
        return -1;
    }
    metrics.CompleteCatalogue()->Append(*catalogue);
    metrics.analyseCatalogue();
    metrics.pruneCatalogue();
    metrics.CompleteCatalogue()->Files().setTags();
    metrics.calculateSize();
    if (metrics.CompleteCatalogue()->Files().Size() == 0) {
        return 0;
    }
    // Timers keep to the wall clock, as they do on screen.
    const auto started = Clock::now();
    loop.StartTimer(std::chrono::milliseconds(10),
                    [&loop, started] { std::this_thread::sleep_until(started + loop.Now()); });
    frmProcess dialog(toolkit, metrics, run.localConfiguration, run.globalConfiguration, {});
    dialog.Show(ShowMode::Modal);
    return dialog.Error() ? -1 : dialog.Files();
}

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Processor time this process has used; unlike the wall clock it leaves out other work on a
// busy machine.
double CpuSeconds() {
    return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "make" && argc == 4) {
        return Make(argv[2], std::stol(argv[3]));
    }
    if (mode != "run" || argc < 6 || argc > 7) {
        std::fprintf(stderr,
                     "usage: %s make SITE N\n"
                     "       %s run REMOTE CATALOGUE_URL PREFIX KIT_FOLDER [PUBLIC_KEY]\n",
                     argv[0], argv[0]);
        return 2;
    }
    const std::string key = argc == 7 ? argv[6] : "";
    auto start = Clock::now();
    double cpu = CpuSeconds();
    const long files = Update(argv[2], argv[3], argv[4], argv[5], key);
    const double first = SecondsSince(start);
    const double firstCpu = CpuSeconds() - cpu;
    // The best of three checks of the kit now up to date.
    double check = 0;
    double checkCpu = 0;
    long more = 0;
    for (int i = 0; i < 3 && more == 0; ++i) {
        start = Clock::now();
        cpu = CpuSeconds();
        more = Update(argv[2], argv[3], argv[4], argv[5], key);
        check = i == 0 ? SecondsSince(start) : std::min(check, SecondsSince(start));
        checkCpu = i == 0 ? CpuSeconds() - cpu : std::min(checkCpu, CpuSeconds() - cpu);
    }
    std::printf("first %.3f files %ld check %.3f cpu %.3f %.3f\n", first, files, check, firstCpu,
                checkCpu);
    return files > 0 && more == 0 ? 0 : 1;
}
