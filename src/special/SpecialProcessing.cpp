#include "special/SpecialProcessing.h"

#include "engine/KitPath.h"
#include "special/modProcess.h"
#include "util/Error.h"
#include "util/FileSystem.h"
#include "util/Text.h"

namespace tamsel {

SpecialProcessing::SpecialProcessing(UpdateRun& run, std::string ownName, ProcessControl& processes,
                                     ShellLauncher& launcher)
    : run_(run),
      metrics_(run.g_objMetrics),
      ownName_(std::move(ownName)),
      processes_(processes),
      launcher_(launcher) {}

std::string SpecialProcessing::LocalPath(const std::string& folder, const CFile& entry) {
    return ResolveKitPath(folder, UrlToPath(entry.URL()));
}

// Sizes and dates are compared as the catalogue writes them, as text.
bool SpecialProcessing::IsCurrent(const std::string& folder, const CFile& entry) {
    const std::string path = LocalPath(folder, entry);
    return FileExists(path) && GetFileSize(path) == entry.Size() &&
           GetFileDate(path) == entry.Time();
}

long SpecialProcessing::checkSpecial(const std::string& folder, const CFiles& special) {
    constexpr long kLargestCount = 32767;
    long count = 0;
    for (const auto& entry : special.asCollection()) {
        if (!entry->isScript() && !IsCurrent(folder, *entry)) {
            if (count == kLargestCount) {
                throw TamselError(err::Overflow, "Main::checkSpecial", "Overflow");
            }
            ++count;
        }
    }
    return count;
}

bool SpecialProcessing::checkScripts(const std::string& folder, const CFiles& special) {
    bool hasScript = false;
    for (const auto& entry : special.asCollection()) {
        if (entry->isScript()) {
            hasScript = true;
        } else if (!IsCurrent(folder, *entry)) {
            return false;
        }
    }
    return hasScript;
}

bool SpecialProcessing::checkAction(const std::string& folder, const CFiles& special) {
    for (const auto& entry : special.asCollection()) {
        if (!entry->isScript() && !IsCurrent(folder, *entry) &&
            EqualsNoCase(entry->Action(), "CLOSEPP")) {
            return true;
        }
    }
    return false;
}

// A file that cannot be fetched makes the script entries after it wait until a later missing file
// arrives; the files themselves are all tried. Any failure marks the run's special processing as
// failed, whatever happens after it.
bool SpecialProcessing::processSpecial(const std::string& folder, CFiles& special) {
    if (checkSpecial(folder, special) == 0) {
        return true;
    }
    bool ok = true;
    const auto fail = [this, &ok](const std::string& line) {
        if (!line.empty()) {
            metrics_.Shout(line);
        }
        ok = false;
        run_.specialFailed = true;
    };
    for (const auto& entry : special.asCollection()) {
        if (entry->isScript()) {
            if (!ok) {
                continue;
            }
            if (!processSpecial2(entry->Script())) {
                fail({});
            }
            if (run_.exitAfterProcessing) {
                return false;
            }
            entry->Hot(true);
            continue;
        }
        const std::string path = LocalPath(folder, *entry);
        // A special file is never written outside the kit's folders, nor over the updater's own.
        if (const std::string why = Roots(false).Refusal(path); !why.empty()) {
            Refuse(path, why);
            fail({});
        } else if (!FileExists(path)) {
            ok = retrieveSpecialFile(*entry, path);
            if (!ok) {
                fail("Unable to retrieve '" + entry->fullURL() + "'");
                metrics_.ShoutCause(metrics_.Http().FailureCause());
            }
        } else if (!StampFileTime(path)) {
            fail("Unable to access '" + path + "'");
        } else if (!IsCurrent(folder, *entry)) {
            // The new copy replaces the old one only once it has arrived: a failed download
            // leaves the user's add-in in place.
            if (IsGuardedPath(path)) {
                fail("Unable to delete '" + FileBaseName(path) + "'");
            } else if (!retrieveSpecialFile(*entry, path)) {
                fail("Unable to retrieve '" + entry->fullURL() + "'");
                metrics_.ShoutCause(metrics_.Http().FailureCause());
            }
        }
    }
    return ok;
}

bool SpecialProcessing::retrieveSpecialFile(CFile& entry, const std::string& path) {
    if (!entry.Action().empty()) {
        processSpecial2(entry.Action());
        entry.Hot(true);
    }
    metrics_.Shout("downloading '" + FileBaseName(entry.URL()) + "'");
    CHTTP& http = metrics_.Http();
    if (!http.Fetch(entry.fullURL(), false, entry.Sha256())) {
        return false;
    }
    if (FileExists(path) && !StampFileTime(path)) {
        entry.Hot(true);
        return false;
    }
    if (!http.commit(path)) {
        return false;
    }
    entry.Hot(true);
    // A special file may have a name beginning with ".": it is dated all the same, so that the
    // next run finds it current.
    return SetAnyFileTimeFromText(path, entry.Time() + " 06:00");
}

bool SpecialProcessing::isPowerPointRunning() {
    return tamsel::isPowerPointRunning(processes_);
}

void SpecialProcessing::runDeferredCommands() {
    // Taken off the run first: the commands run once, whichever road ends the run.
    const auto commands = std::move(run_.deferredCommands);
    run_.deferredCommands.clear();
    for (const auto& command : commands) {
        processSpecial2(command);
    }
}

}  // namespace tamsel
