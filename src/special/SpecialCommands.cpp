// The special script language: one command per text, recognised by its first characters.
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string_view>

#include "config/CConfiguration.h"
#include "config/Schedule.h"
#include "engine/KitPath.h"
#include "engine/OwnFiles.h"
#include "special/KitRoots.h"
#include "special/SpecialProcessing.h"
#include "special/modProcess.h"
#include "special/modShell.h"
#include "util/FileSystem.h"
#include "util/Text.h"

namespace tamsel {

namespace fs = std::filesystem;

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

bool SpecialProcessing::Refuse(const std::string& what, const std::string& reason) const {
    metrics_.Shout("refused '" + what + "': " + reason);
    metrics_.Trace("Main::processSpecial2 refused '" + what + "': " + reason);
    return false;
}

bool SpecialProcessing::RefuseMalformed(const std::string& arg, const char* command) const {
    return IsMalformedArgument(arg) &&
           !Refuse(command, "its argument holds a control character or an unbalanced quote");
}

std::string SpecialProcessing::LocalPathOf(const std::string& expanded) const {
    // Kits are written on systems whose separator is "\".
    std::string path = PathToUrl(expanded);
    const std::string kit = run_.localConfiguration.getLocal();
    if (!path.empty() && !IsAbsolutePath(path) && !kit.empty()) {
        path = kit + "/" + path;
    }
    return ResolveKitPath("", path);
}

std::string SpecialProcessing::ReadablePath(const std::string& arg, const char* command) const {
    if (RefuseMalformed(arg, command)) {
        return {};
    }
    if (arg.empty()) {
        Refuse(command, "no file named");
        return {};
    }
    return LocalPathOf(expandPath(arg));
}

KitRoots SpecialProcessing::Roots(bool programFolder) const {
    const std::string kit = run_.localConfiguration.getLocal();
    std::vector<std::string> own = metrics_.OwnFiles();
    const std::string beside = ParentFolder(kit) + "/";
    own.insert(own.end(), {ScheduleFilePath(run_.localConfiguration), beside + kUpdateLogFile,
                           beside + kMenuUsageFile});
    return KitRoots({kit, ParentFolder(kit), ApplicationDataFolder()}, own,
                    programFolder ? metrics_.AppPath() : std::string());
}

std::string SpecialProcessing::WritablePath(const std::string& expanded) const {
    if (expanded.empty()) {
        return {};
    }
    const std::string path = LocalPathOf(expanded);
    if (const std::string why = Roots().Refusal(path); !why.empty()) {
        Refuse(path, why);
        return {};
    }
    return path;
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
    const std::string path = ReadablePath(arg, "LOAD");
    const bool loaded = !path.empty() && pptAddPlugIn(path);
    if (!loaded) {
        metrics_.Wisper("...failed");
        metrics_.Shout(" ");
    }
    return loaded;
}

bool SpecialProcessing::RemoveAddIn(const std::string& arg) {
    if (RefuseMalformed(arg, "REMOVE")) {
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

// A program that cannot be started fails and leaves the run going; one that starts ends the run
// after special processing.
bool SpecialProcessing::Launch(const std::string& arg) {
    const std::string path = ReadablePath(arg, "LAUNCH");
    if (path.empty()) {
        return false;
    }
    metrics_.Shout("launching '" + FileBaseName(arg) + "'");
    MakeKitProgramRunnable(path);
    const int started = launcher_.open(ShellRequest{"open", path, "", "", 1});
    if (started >= 0 && started <= 32) {
        metrics_.Wisper("...failed");
        return false;
    }
    run_.exitAfterProcessing = true;
    return true;
}

// A download does not keep a program's execute bit: a kit file that is a program gets it back.
void SpecialProcessing::MakeKitProgramRunnable(const std::string& path) const {
    std::error_code error;
    const auto status = fs::status(path, error);
    if (error || !fs::is_regular_file(status) ||
        (status.permissions() & fs::perms::owner_exec) != fs::perms::none) {
        return;
    }
    char magic[4] = {};
    std::ifstream(path, std::ios::binary).read(magic, sizeof magic);
    const bool program = std::string_view(magic, 4) ==
                             "\x7f"
                             "ELF" ||
                         std::string_view(magic, 2) == "#!";
    if (program && Roots().Refusal(path).empty()) {
        fs::permissions(path, fs::perms::owner_exec, fs::perm_options::add, error);
    }
}

// Web addresses go to the desktop as they are; anything else is a file, relative to the kit
// folder unless absolute.
bool SpecialProcessing::ShellOpen(const std::string& arg) {
    const std::string lower = ToLower(arg.substr(0, 8));
    const bool address = lower.starts_with("http://") || lower.starts_with("https://") ||
                         lower.starts_with("mailto:");
    const std::string target = address ? arg : ReadablePath(arg, "SHELL");
    if (target.empty() || (address && RefuseMalformed(arg, "SHELL"))) {
        return false;
    }
    metrics_.Shout("launching '" + FileBaseName(arg) + "'");
    std::string verb = "open";
    std::intptr_t window = 0;
    shellOpen(target, 10, "", "", verb, window, nullptr, launcher_);
    return true;
}

// A name that is empty or only separators closes nothing.
bool SpecialProcessing::Close(const std::string& arg) {
    if (RefuseMalformed(arg, "CLOSE")) {
        return false;
    }
    metrics_.Shout("closing '" + arg + "'");
    if (!arg.empty() && EqualsNoCase(arg, ownName_)) {
        run_.exitAfterProcessing = true;
        return true;
    }
    const std::int32_t process = IsTaskRunning(arg, processes_);
    if (process != 0) {
        closeProcessWindows(process, processes_);
    } else {
        metrics_.Wisper("...not required");
    }
    return true;
}

bool SpecialProcessing::Delete(const std::string& arg) {
    if (RefuseMalformed(arg, "DELETE")) {
        return false;
    }
    const std::string path = WritablePath(expandPath(arg));
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

// "COPY source TO destination": both may hold placeholders; " TO " in any case. The source may
// be any readable file; a source that is not one leaves the destination as it was.
bool SpecialProcessing::Copy(const std::string& arg) {
    if (RefuseMalformed(arg, "COPY")) {
        return false;
    }
    const std::string expanded = expandPath(arg);
    const std::size_t to = FindNoCase(expanded, " TO ");
    if (to == std::string::npos || to == 0) {
        return false;
    }
    const std::string source = LocalPathOf(expanded.substr(0, to));
    const std::string destination = WritablePath(expanded.substr(to + 4));
    std::error_code error;
    std::string content;
    // Only a file is copied: a device or a pipe could be read for ever.
    if (destination.empty() || !fs::is_regular_file(source, error) ||
        !ReadWholeFile(source, content) || !WriteFileAtomically(destination, content)) {
        return false;
    }
    // The permission bits only: a copy never becomes set-user-id.
    const fs::perms mode = fs::status(source, error).permissions() & fs::perms::all;
    fs::permissions(destination, mode, error);
    return !error;
}

bool SpecialProcessing::Config(const std::string& arg) {
    if (RefuseMalformed(arg, "CONFIG")) {
        return false;
    }
    const std::string path = WritablePath(expandPath(arg));
    if (path.empty()) {
        return false;
    }
    return writeRootConfig(path);
}

bool SpecialProcessing::writeRootConfig(const std::string& path) const {
    CConfiguration settings;
    settings.add(CConfiguration::Setting("root", run_.localConfiguration.getLocal()));
    settings.Dirty();
    return settings.writeFile(path);
}

}  // namespace tamsel
