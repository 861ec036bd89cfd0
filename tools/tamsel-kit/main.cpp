#include <clocale>
#include <cstdio>
#include <exception>
#include <iostream>
#include <string_view>

#include "Commands.h"

namespace {

constexpr std::string_view kUsage =
    "Usage: tamsel-kit COMMAND [ARGUMENTS]\n"
    "\n"
    "The publisher's tool for Tamsel catalogues.\n"
    "\n"
    "Commands:\n"
    "  build FOLDER [--user NAME] [--sha256]       write the catalogue of a folder\n"
    "  show CATALOGUE [--prefix P] [--remote R]    print a catalogue as the updater reads it\n"
    "  lint CATALOGUE [--public-key KEY]           warn about problems before publishing\n"
    "  compare CATALOGUE FOLDER [--prefix P]       list what an update of FOLDER would do\n"
    "  keygen SECRET_KEY_FILE                      make a key pair for signing a kit\n"
    "  sign SECRET_KEY_FILE FILE...                write FILE.minisig beside each FILE\n"
    "\n"
    "Run 'tamsel-kit COMMAND --help' for a command's details.\n";

}  // namespace

int main(int argc, char** argv) {
    using namespace tamsel::kit;
    // Dates in the built catalogue's first line follow the user's date format.
    std::setlocale(LC_TIME, "");

    const Arguments all(argv + 1, argv + argc);
    if (all.empty()) {
        std::cerr << kUsage;
        return ExitUsage;
    }
    const std::string& command = all.front();
    const Arguments rest(all.begin() + 1, all.end());
    try {
        if (command == "build") {
            return RunBuild(rest);
        }
        if (command == "show") {
            return RunShow(rest);
        }
        if (command == "lint") {
            return RunLint(rest);
        }
        if (command == "compare") {
            return RunCompare(rest);
        }
        if (command == "keygen") {
            return RunKeygen(rest);
        }
        if (command == "sign") {
            return RunSign(rest);
        }
        if (command == "--help" || command == "-h" || command == "help") {
            std::cout << kUsage;
            return ExitOk;
        }
    } catch (const std::exception& error) {
        ReportError(error.what());
        return ExitProblem;
    }
    ReportError("unknown command '" + command + "'");
    std::cerr << kUsage;
    return ExitUsage;
}
