#include <iostream>

#include "CatalogueLint.h"
#include "Commands.h"
#include "util/FileSystem.h"

namespace tamsel::kit {

namespace {

constexpr const char* kHelp =
    "Usage: tamsel-kit lint CATALOGUE\n"
    "\n"
    "Prints one warning line, FILE:LINE: problem, for each problem to fix before publishing:\n"
    "dates not written dd/mm/yyyy with two-digit day and month, sizes that are not decimal\n"
    "digits, file lines lacking url, date or size, section markers inside values, duplicate\n"
    "urls, urls that the updater drops (empty, leading outside the kit, holding a control\n"
    "character) or that do not begin with \"/\", unbalanced quotes and menu forces that are\n"
    "not numbers or too large.\n"
    "\n"
    "Exit status: 0 clean, 1 warnings (or the file cannot be read), 2 wrong arguments.\n";

}  // namespace

int RunLint(const Arguments& arguments) {
    if (WantsHelp(arguments)) {
        std::cout << kHelp;
        return ExitOk;
    }
    if (arguments.size() != 1 || arguments[0].empty() || arguments[0].front() == '-') {
        ReportError("lint: expected exactly one CATALOGUE");
        std::cerr << kHelp;
        return ExitUsage;
    }
    const std::string& path = arguments[0];
    std::string content;
    if (!ReadWholeFile(path, content)) {
        ReportError("lint: cannot read '" + path + "'");
        return ExitProblem;
    }
    const auto warnings = LintCatalogue(content);
    for (const auto& warning : warnings) {
        std::cout << path << ":" << warning.line << ": " << warning.message << '\n';
    }
    return warnings.empty() ? ExitOk : ExitProblem;
}

}  // namespace tamsel::kit
