// The special script language: one command per text, recognised by its first characters.
#include <algorithm>
#include <cstdlib>
#include <string_view>

#include "config/CConfiguration.h"
#include "engine/KitPath.h"
#include "special/SpecialProcessing.h"
#include "special/modProcess.h"
#include "special/modShell.h"
#include "util/FileSystem.h"
#include "util/Text.h"

namespace tamsel {

namespace {

// The text from the 1-based position on, trimmed of blanks.
std::string ArgumentFrom(const std::string& command, std::size_t position) {
    return position - 1 < command.size() ? TrimSpaces(command.substr(position - 1)) : std::string();
}

bool StartsWith(const std::string& upper, std::string_view prefix) {
    return upper.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

bool IsMalformedArgument(const std::string& arg) {
    return HasControlCharacter(arg) || std::count(arg.begin(), arg.end(), '"') % 2 != 0;
}

std::string SpecialProcessing::expandPath(const std::string& text) const {
    const std::string kit = run_.localConfiguration.getLocal();
    std::string path = ReplaceAll(text, "@", ParentFolder(kit));
    path = ReplaceAll(path, "^", ApplicationDataFolder());
    return ReplaceAll(path, "#", kit);
}

std::string SpecialProcessing::UsablePath(const std::string& arg) const {
    if (arg.empty() || IsMalformedArgument(arg)) {
        metrics_.Trace("Main::processSpecial2 refused the argument '" + arg + "'");
        return {};
    }
    return CheckedPath(expandPath(arg));
}

std::string SpecialProcessing::CheckedPath(const std::string& expanded) const {
    // Kits are written on systems whose separator is "\".
    const std::string path = PathToUrl(expanded);
    if (!IsAbsolutePath(path) || IsGuardedPath(path)) {
        metrics_.Trace("Main::processSpecial2 refused the path '" + path + "'");
        return {};
    }
    return ResolveKitPath("", path);
}

bool SpecialProcessing::processSpecial2(const std::string& command) {
    if (command.empty()) {
        return false;
    }
    try {
        const std::string upper = ToUpper(command);
        if (StartsWith(upper, "!")) {
            run_.deferredCommands.push_back(command.substr(1));
            return true;
        }
        if (StartsWith(upper, "REMOVE ")) {
            return RemoveAddIn(ArgumentFrom(command, 8));
        }
        if (StartsWith(upper, "LOAD")) {
            return LoadAddIn(ArgumentFrom(command, 6));
        }
        if (StartsWith(upper, "LAUNCH")) {
            return Launch(ArgumentFrom(command, 8));
        }
        if (StartsWith(upper, "SHELL")) {
            return ShellOpen(ArgumentFrom(command, 7));
        }
        if (StartsWith(upper, "CLOSE ")) {
            return Close(ArgumentFrom(command, 7));
        }
        if (StartsWith(upper, "DELETE")) {
            return Delete(ArgumentFrom(command, 8));
        }
        if (StartsWith(upper, "REMOVEOLD")) {
            return RemoveOld();
        }
        if (StartsWith(upper, "COPY")) {
            return Copy(ArgumentFrom(command, 6));
        }
        if (StartsWith(upper, "CONFIG")) {
            return Config(ArgumentFrom(command, 8));
        }
    } catch (const std::exception& error) {
        metrics_.Trace("Main::processSpecial2(" + command + ") " + error.what());
        return false;
    }
    return true;
}

bool SpecialProcessing::LoadAddIn(const std::string& arg) {
    metrics_.Shout("loading '" + FileBaseName(arg) + "'");
    const std::string path = UsablePath(arg);
    const bool loaded = !path.empty() && pptAddPlugIn(path);
    if (!loaded) {
        metrics_.Wisper("...failed");
        metrics_.Shout(" ");
    }
    return loaded;
}

bool SpecialProcessing::RemoveAddIn(const std::string& arg) {
    if (IsMalformedArgument(arg)) {
        return false;
    }
    if (pptHavePlugIn(arg)) {
        metrics_.Shout("unloading '" + arg + "'");
        if (!pptDeletePlugIn(arg)) {
            metrics_.Wisper("...not required");
            metrics_.Shout(" ");
        }
    }
    return true;
}

// A missing program is not reported, and still ends the run.
bool SpecialProcessing::Launch(const std::string& arg) {
    const std::string path = UsablePath(arg);
    if (path.empty()) {
        return false;
    }
    metrics_.Shout("launching '" + FileBaseName(arg) + "'");
    if (FileExists(path)) {
        launcher_.open(ShellRequest{"open", path, "", "", 1});
    }
    run_.exitAfterProcessing = true;
    return true;
}

bool SpecialProcessing::ShellOpen(const std::string& arg) {
    const std::string path = UsablePath(arg);
    if (path.empty()) {
        return false;
    }
    metrics_.Shout("launching '" + FileBaseName(arg) + "'");
    std::string verb = "open";
    std::intptr_t window = 0;
    shellOpen(path, 10, "", "", verb, window, nullptr, launcher_);
    return true;
}

// An empty name would be found in every program's path: it closes nothing.
bool SpecialProcessing::Close(const std::string& arg) {
    if (IsMalformedArgument(arg)) {
        return false;
    }
    metrics_.Shout("closing '" + arg + "'");
    if (!arg.empty() && EqualsNoCase(arg, ownName_)) {
        run_.exitAfterProcessing = true;
        return true;
    }
    const std::int32_t process = arg.empty() ? 0 : IsTaskRunning(arg, processes_);
    if (process != 0) {
        closeProcessWindows(process, processes_);
    } else {
        metrics_.Wisper("...not required");
    }
    return true;
}

bool SpecialProcessing::Delete(const std::string& arg) {
    const std::string path = UsablePath(arg);
    if (path.empty()) {
        return false;
    }
    SafeDeleteFile(path);
    return true;
}

bool SpecialProcessing::RemoveOld() {
    removeOlderVersions();
    return true;
}

// "COPY source TO destination": both may hold placeholders; " TO " in any case.
bool SpecialProcessing::Copy(const std::string& arg) {
    if (IsMalformedArgument(arg)) {
        return false;
    }
    const std::string expanded = expandPath(arg);
    const std::size_t to = FindNoCase(expanded, " TO ");
    if (to == std::string::npos) {
        return false;
    }
    const std::string source = CheckedPath(expanded.substr(0, to));
    const std::string destination = CheckedPath(expanded.substr(to + 4));
    std::string content;
    return !source.empty() && !destination.empty() && ReadWholeFile(source, content) &&
           WriteFileAtomically(destination, content);
}

bool SpecialProcessing::Config(const std::string& arg) {
    const std::string path = UsablePath(arg);
    if (path.empty()) {
        return false;
    }
    writeRootConfig(path);
    return true;
}

void SpecialProcessing::writeRootConfig(const std::string& path) const {
    CConfiguration settings;
    settings.add(CConfiguration::Setting("root", run_.localConfiguration.getLocal()));
    settings.Dirty();
    settings.writeFile(path);
}

}  // namespace tamsel
