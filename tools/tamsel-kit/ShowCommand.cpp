#include <iostream>

#include "CatalogueJson.h"
#include "Commands.h"
#include "catalogue/CFactory.h"
#include "util/Error.h"
#include "util/FileSystem.h"

namespace tamsel::kit {

namespace {

constexpr const char* kHelp =
    "Usage: tamsel-kit show CATALOGUE [--prefix P] [--remote R]\n"
    "\n"
    "Reads CATALOGUE the way the updater reads a fetched catalogue (a comment line put in\n"
    "front, a line end at the back) and prints what it holds as JSON: files, excluded,\n"
    "special, menus and settings.\n"
    "\n"
    "  --prefix P   the package location the files are read with (default: none, the master\n"
    "               catalogue)\n"
    "  --remote R   the server address special files are read from (default: none)\n"
    "\n"
    "Exit status: 0 shown, 1 the catalogue cannot be read or parsed (the line at fault is\n"
    "named on standard error), 2 wrong arguments.\n";

}  // namespace

int RunShow(const Arguments& arguments) {
    if (WantsHelp(arguments)) {
        std::cout << kHelp;
        return ExitOk;
    }
    std::string path;
    std::string prefix;
    std::string remote;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == "--prefix" && i + 1 < arguments.size()) {
            prefix = arguments[++i];
        } else if (arguments[i] == "--remote" && i + 1 < arguments.size()) {
            remote = arguments[++i];
        } else if (path.empty() && !arguments[i].empty() && arguments[i].front() != '-') {
            path = arguments[i];
        } else {
            ReportError("show: unexpected argument '" + arguments[i] + "'");
            std::cerr << kHelp;
            return ExitUsage;
        }
    }
    if (path.empty()) {
        ReportError("show: no CATALOGUE given");
        std::cerr << kHelp;
        return ExitUsage;
    }
    std::string content;
    if (!ReadWholeFile(path, content)) {
        ReportError("show: cannot read '" + path + "'");
        return ExitProblem;
    }
    CFactory factory;
    try {
        const auto catalogue =
            factory.createCatalogueFromText("'\r\n" + content + "\r\n", prefix, remote);
        std::cout << CatalogueToJson(*catalogue).dump(2) << '\n';
    } catch (const TamselError& error) {
        // The updater's own comment line comes first: the file's lines are one lower.
        std::cerr << path << ":" << factory.lastLineRead() - 1 << ": " << error.Description()
                  << '\n';
        return ExitProblem;
    }
    return ExitOk;
}

}  // namespace tamsel::kit
