#include <cstdio>
#include <iostream>

#include "Commands.h"
#include "LoginName.h"
#include "catalogue/CatalogueBuilder.h"
#include "util/DateTime.h"
#include "util/Error.h"
#include "util/FileSystem.h"

namespace tamsel::kit {

namespace {

constexpr const char* kHelp =
    "Usage: tamsel-kit build FOLDER [--user NAME] [--sha256]\n"
    "\n"
    "Writes to standard output the catalogue of every file below FOLDER, exactly as the setup\n"
    "dialog's Build writes \"catalogue.ini\": two comment lines (the creation date and time and\n"
    "the user), then one line per file, CR LF line ends. Hidden files are left out.\n"
    "\n"
    "  --user NAME   the name written in the first line (default: the login name)\n"
    "  --sha256      give every file line its content's hash, sha256=\"<64 hex digits>\", which\n"
    "                updaters check before they write the file (older updaters ignore it)\n"
    "\n"
    "Exit status: 0 written, 1 the folder cannot be read, 2 wrong arguments.\n";

}  // namespace

int RunBuild(const Arguments& arguments) {
    if (WantsHelp(arguments)) {
        std::cout << kHelp;
        return ExitOk;
    }
    std::string folder;
    std::string user;
    bool userGiven = false;
    bool withSha256 = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == "--sha256") {
            withSha256 = true;
        } else if (arguments[i] == "--user" && i + 1 < arguments.size()) {
            user = arguments[++i];
            userGiven = true;
        } else if (folder.empty() && !arguments[i].empty() && arguments[i].front() != '-') {
            folder = arguments[i];
        } else {
            ReportError("build: unexpected argument '" + arguments[i] + "'");
            std::cerr << kHelp;
            return ExitUsage;
        }
    }
    if (folder.empty()) {
        ReportError("build: no FOLDER given");
        std::cerr << kHelp;
        return ExitUsage;
    }
    if (!FolderExists(folder)) {
        ReportError("build: '" + folder + "' is not a folder");
        return ExitProblem;
    }
    if (!userGiven) {
        user = LoginName();
    }
    try {
        const std::string text = BuildCatalogueText(folder, user, Now(), withSha256);
        if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() ||
            std::fflush(stdout) != 0) {
            ReportError("build: cannot write the catalogue");
            return ExitProblem;
        }
    } catch (const TamselError& error) {
        ReportError("build: " + error.Description());
        return ExitProblem;
    }
    return ExitOk;
}

bool WantsHelp(const Arguments& arguments) {
    for (const auto& argument : arguments) {
        if (argument == "--help" || argument == "-h") {
            return true;
        }
    }
    return false;
}

void ReportError(const std::string& message) {
    std::cerr << "tamsel-kit: " << message << '\n';
}

}  // namespace tamsel::kit
