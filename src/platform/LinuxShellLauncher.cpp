#include <unistd.h>

#include "platform/ShellLauncher.h"

namespace tamsel {

int LinuxShellLauncher::open(const ShellRequest& request) {
    return ::access(request.file.c_str(), F_OK) == 0 ? 33 : 2;
}

ShellLauncher& SystemShellLauncher() {
    static LinuxShellLauncher launcher;
    return launcher;
}

}  // namespace tamsel
