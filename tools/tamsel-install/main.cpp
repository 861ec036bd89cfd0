#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "DesktopFiles.h"
#include "Installer.h"
#include "KitKeys.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using namespace tamsel::desktop;

constexpr std::string_view kUsage =
    "Usage: tamsel-install KIT_FOLDER --remote URL [--user NAME] [--department D] [--email E]\n"
    "                      [--updater PROGRAM] [--public-key KEY]...\n"
    "       tamsel-install KIT_FOLDER --uninstall\n"
    "\n"
    "Lays out a Tamsel kit for the current user (the updater, its settings and schedule) and\n"
    "adds the menu entry \"Tamsel Updater\" and a daily check that starts a background update\n"
    "when one is due. --uninstall removes the menu entry and the daily check, never the kit.\n"
    "Running either again changes nothing. --public-key (the \"RW...\" text or a public key\n"
    "file, once per key while a key is being replaced) makes the updater accept only\n"
    "catalogues signed with those keys; given keys replace those of an earlier install.\n";

struct Options {
    InstallRequest request;
    std::vector<std::string> publicKeys;
    bool uninstall = false;
};

std::optional<Options> ParseArguments(const std::vector<std::string>& arguments) {
    Options options;
    std::string kit;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        std::string* value = nullptr;
        if (argument == "--uninstall") {
            options.uninstall = true;
            continue;
        }
        if (argument == "--public-key") {
            if (++i == arguments.size()) {
                return std::nullopt;
            }
            options.publicKeys.push_back(arguments[i]);
            continue;
        }
        if (argument == "--remote") {
            value = &options.request.remote;
        } else if (argument == "--user") {
            value = &options.request.user;
        } else if (argument == "--department") {
            value = &options.request.department;
        } else if (argument == "--email") {
            value = &options.request.email;
        } else if (argument == "--updater") {
            value = &options.request.updaterProgram;
        } else if (argument.starts_with("-") || !kit.empty()) {
            return std::nullopt;
        } else {
            kit = argument;
            continue;
        }
        if (++i == arguments.size()) {
            return std::nullopt;
        }
        *value = arguments[i];
    }
    if (kit.empty() || (options.uninstall == !options.request.remote.empty())) {
        return std::nullopt;
    }
    for (const char c : kit) {
        if (static_cast<unsigned char>(c) < 0x20) {
            return std::nullopt;
        }
    }
    kit = fs::absolute(kit).lexically_normal().string();
    while (kit.size() > 1 && kit.back() == '/') {
        kit.pop_back();
    }
    options.request.kitFolder = kit;
    return options;
}

// The updater to copy: the one given, the one beside this program, or the one this build made.
std::string FindUpdater(const std::string& given, const fs::path& ownFolder) {
    if (!given.empty()) {
        return given;
    }
    const fs::path beside = ownFolder / "tamsel-updater";
#ifdef TAMSEL_UPDATER_BUILT
    if (!fs::exists(beside)) {
        return TAMSEL_UPDATER_BUILT;
    }
#endif
    return beside.string();
}

// Runs "systemctl --user ..." without its output; true when it succeeded.
bool Systemctl(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), {"systemctl", "--user", "--quiet"});
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t child = 0;
    int status = -1;
    const bool started =
        ::posix_spawnp(&child, "systemctl", &actions, nullptr, argv.data(), environ) == 0 &&
        ::waitpid(child, &status, 0) == child;
    posix_spawn_file_actions_destroy(&actions);
    return started && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    if (!arguments.empty() && (arguments[0] == "--help" || arguments[0] == "-h")) {
        std::cout << kUsage;
        return 0;
    }
    std::optional<Options> options = ParseArguments(arguments);
    if (!options) {
        std::cerr << kUsage;
        return 2;
    }
    InstallRequest& request = options->request;
    const bool systemd = fs::exists("/run/systemd/system");
    try {
        const DesktopPaths paths = PathsFromEnvironment();
        if (options->uninstall) {
            UninstallKit(request.kitFolder, paths, std::cout);
            if (systemd && !fs::exists(paths.configHome + "/systemd/user/" + kTimerName)) {
                Systemctl({"stop", kTimerName});
                Systemctl({"daemon-reload"});
            }
            return 0;
        }
        const auto publicKeys = PublicKeyTexts(options->publicKeys);
        const fs::path ownFolder = fs::canonical("/proc/self/exe").parent_path();
        request.updaterProgram = FindUpdater(request.updaterProgram, ownFolder);
        request.dueCheckProgram = (ownFolder / "tamsel-due-check").string();
        request.systemdTimer = systemd;
        InstallKit(request, paths, std::cout);
        if (!publicKeys.empty()) {
            WritePublicKeys(request.kitFolder, publicKeys, std::cout);
        }
        if (systemd) {
            if (Systemctl({"daemon-reload"}) && Systemctl({"start", kTimerName})) {
                std::cout << "started " << kTimerName << "\n";
            } else {
                std::cout << kTimerName << " starts at the next login\n";
            }
        }
        std::cout << "installed the kit in " << request.kitFolder << "\n";
        return 0;
    } catch (const std::exception& error) {
        std::cerr << "tamsel-install: " << error.what() << "\n";
        return 1;
    }
}
