#include "reporting/LogSender.h"

#include "engine/OwnFiles.h"
#include "reporting/CLog.h"
#include "util/Error.h"
#include "util/FileSystem.h"
#include "util/Text.h"

namespace tamsel {

namespace {

std::string Describe(const std::exception& error) {
    const auto* tamsel = dynamic_cast<const TamselError*>(&error);
    return tamsel != nullptr ? tamsel->Description() : error.what();
}

}  // namespace

std::string LogFolder(const CConfiguration& local) {
    const std::string kit = local.getLocal();
    return kit.find_first_of(kPathSeparators) == std::string::npos
               ? ""
               : AddTrailingBackslash(ParentFolder(kit));
}

void sendLog(UpdateRun& run, const CMenu* flattenedMenu, bool critical,
             const Environment& environment) {
    CMetrics& metrics = run.g_objMetrics;
    const auto remote = metrics.RemoteCatalogue();
    if (!remote) {
        return;
    }
    try {
        CLog log(run, environment);
        log.Critical(critical);
        // A size that is not a number leaves the totals at 0; the entries are listed all the same.
        try {
            log.addCatalogue(*metrics.CompleteCatalogue());
        } catch (const std::exception& error) {
            metrics.Trace("Main::sendLog addCatalogue " + Describe(error));
        }
        if (remote->Special().Size() >= 1 && remote->Special().anyHot()) {
            log.addFiles(remote->Special());
        }
        // An unreadable kit folder leaves out the list of what it holds.
        try {
            if (const auto kit = metrics.scanDirectory()) {
                log.addCatalogue3(*kit);
            }
        } catch (const std::exception& error) {
            metrics.Trace("Main::sendLog scanDirectory " + Describe(error));
        }
        if (flattenedMenu != nullptr && !flattenedMenu->asCollection().empty()) {
            log.addChoices(*flattenedMenu);
        }
        const std::string folder = LogFolder(run.localConfiguration);
        if (folder.empty()) {
            metrics.Shout("- log file not written: no kit folder is set");
            return;
        }
        log.addLog(folder + kMenuUsageFile);
        log.commit(folder + kUpdateLogFile);

        if (remote->FullLog().empty()) {
            metrics.Shout("- sending not enabled");
            return;
        }
        metrics.Shout("- sending log data");
        if (log.postLog(folder + kUpdateLogFile)) {
            metrics.Shout("- log data received");
            SafeDeleteFile(folder + kMenuUsageFile);
        } else {
            metrics.Shout("- log data not received");
        }
    } catch (const std::exception& error) {
        metrics.Shout("- log file not written: " + Describe(error));
    }
}

}  // namespace tamsel
