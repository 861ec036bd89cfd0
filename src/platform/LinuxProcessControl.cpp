#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "platform/ProcessControl.h"
#include "platform/X11WindowClose.h"

namespace tamsel {

namespace {

std::string FirstArgument(const std::string& folder) {
    std::ifstream in(folder + "/cmdline", std::ios::binary);
    std::string argument;
    std::getline(in, argument, '\0');
    return argument;
}

std::vector<int> ProcessIds() {
    std::vector<int> pids;
    if (DIR* proc = ::opendir("/proc")) {
        while (const dirent* entry = ::readdir(proc)) {
            const std::string_view name = entry->d_name;
            if (!name.empty() && std::all_of(name.begin(), name.end(),
                                             [](char c) { return c >= '0' && c <= '9'; })) {
                pids.push_back(std::stoi(std::string(name)));
            }
        }
        ::closedir(proc);
    }
    std::sort(pids.begin(), pids.end());
    return pids;
}

}  // namespace

std::vector<RunningProcess> LinuxProcessControl::processes() {
    std::vector<RunningProcess> found;
    const uid_t user = ::geteuid();
    for (const int pid : ProcessIds()) {
        const std::string folder = "/proc/" + std::to_string(pid);
        struct stat owner {};
        if (::stat(folder.c_str(), &owner) != 0 || owner.st_uid != user) {
            continue;
        }
        RunningProcess process{pid, {}, FirstArgument(folder)};
        std::error_code error;
        process.executable = std::filesystem::read_symlink(folder + "/exe", error).string();
        if (!process.executable.empty() || !process.firstArgument.empty()) {
            found.push_back(std::move(process));
        }
    }
    return found;
}

void LinuxProcessControl::requestClose(int pid) {
    if (pid > 0) {
        RequestWindowClose(pid);
    }
}

ProcessControl& SystemProcessControl() {
    static LinuxProcessControl control;
    return control;
}

}  // namespace tamsel
