#include <iostream>

#include "Commands.h"
#include "DryRun.h"

namespace tamsel::kit {

namespace {

constexpr const char* kHelp =
    "Usage: tamsel-kit compare CATALOGUE FOLDER [--prefix P]\n"
    "\n"
    "A dry run of an update: takes CATALOGUE as everything the chosen packages offer (read as a\n"
    "package catalogue fetched with prefix P, its [EXCLUDE] entries kept from removal), compares\n"
    "it with the kit folder FOLDER as the updater does and prints the lines the update review\n"
    "would list, one per line (\"New: \", \"Update: \" or \"Remove: \", the size, two spaces and\n"
    "the url), then the review's summary. Nothing is downloaded, changed or removed.\n"
    "\n"
    "  --prefix P   the package location the files are read with (default: none)\n"
    "\n"
    "Exit status: 0 compared, 1 the catalogue or folder cannot be read or the catalogue cannot be\n"
    "parsed (one line on standard error), 2 wrong arguments.\n";

}  // namespace

int RunCompare(const Arguments& arguments) {
    if (WantsHelp(arguments)) {
        std::cout << kHelp;
        return ExitOk;
    }
    std::vector<std::string> operands;
    std::string prefix;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == "--prefix" && i + 1 < arguments.size()) {
            prefix = arguments[++i];
        } else if (!arguments[i].empty() && arguments[i].front() != '-') {
            operands.push_back(arguments[i]);
        } else {
            ReportError("compare: unexpected argument '" + arguments[i] + "'");
            std::cerr << kHelp;
            return ExitUsage;
        }
    }
    if (operands.size() != 2) {
        ReportError("compare: expected a CATALOGUE and a FOLDER");
        std::cerr << kHelp;
        return ExitUsage;
    }
    try {
        const auto listing = DryRunCompare(operands[0], operands[1], prefix);
        for (const auto& line : listing.lines) {
            std::cout << line << '\n';
        }
        std::cout << listing.summary << '\n';
    } catch (const DryRunProblem& problem) {
        ReportError("compare: " + std::string(problem.what()));
        return ExitProblem;
    }
    return std::cout.flush() ? ExitOk : ExitProblem;
}

}  // namespace tamsel::kit
