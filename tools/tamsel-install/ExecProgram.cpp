#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>

#include "DueCheck.h"

namespace tamsel::desktop {

int ExecProgram(const std::string& program, const std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    ::execv(program.c_str(), argv.data());
    std::cerr << "cannot start " << program << ": " << std::strerror(errno) << "\n";
    return 127;
}

}  // namespace tamsel::desktop
