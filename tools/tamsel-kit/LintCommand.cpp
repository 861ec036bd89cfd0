#include <algorithm>
#include <iostream>
#include <optional>

#include "CatalogueLint.h"
#include "Commands.h"
#include "catalogue/Signature.h"
#include "engine/CatalogueTrust.h"
#include "util/FileSystem.h"

namespace tamsel::kit {

namespace {

constexpr const char* kHelp =
    "Usage: tamsel-kit lint CATALOGUE [--public-key KEY]\n"
    "\n"
    "Prints one warning line, FILE:LINE: problem, for each problem to fix before publishing:\n"
    "dates not written dd/mm/yyyy with two-digit day and month, sizes that are not decimal\n"
    "digits, file lines lacking url, date or size, section markers inside values, duplicate\n"
    "urls, urls that the updater drops (empty, leading outside the kit, holding a control\n"
    "character) or that do not begin with \"/\", unbalanced quotes and menu forces that are\n"
    "not numbers or too large.\n"
    "\n"
    "In a signed kit (CATALOGUE.minisig exists or a key is given) it also warns about file\n"
    "lines without sha256 and about %server% (rewritten in serving, which breaks the\n"
    "signature). With --public-key (the \"RW...\" text or a public key file) it\n"
    "checks that CATALOGUE.minisig verifies with that key and names this catalogue.\n"
    "\n"
    "Exit status: 0 clean, 1 warnings (or the file cannot be read), 2 wrong arguments.\n";

}  // namespace

int RunLint(const Arguments& arguments) {
    if (WantsHelp(arguments)) {
        std::cout << kHelp;
        return ExitOk;
    }
    std::string path;
    std::string keyText;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == "--public-key" && i + 1 < arguments.size()) {
            keyText = arguments[++i];
        } else if (path.empty() && !arguments[i].empty() && arguments[i].front() != '-') {
            path = arguments[i];
        } else {
            path.clear();
            break;
        }
    }
    if (path.empty()) {
        ReportError("lint: expected exactly one CATALOGUE");
        std::cerr << kHelp;
        return ExitUsage;
    }
    std::optional<PublicKey> key;
    if (!keyText.empty()) {
        std::string keyFile;
        key = ParsePublicKey(ReadWholeFile(keyText, keyFile) ? keyFile : keyText);
        if (!key) {
            ReportError("lint: '" + keyText + "' is neither a public key nor a public key file");
            return ExitUsage;
        }
    }
    std::string content;
    if (!ReadWholeFile(path, content)) {
        ReportError("lint: cannot read '" + path + "'");
        return ExitProblem;
    }
    auto warnings = LintCatalogue(content);
    std::string signature;
    const bool hasSignature = ReadWholeFile(path + ".minisig", signature);
    if (hasSignature || key) {
        const auto unhashed = LintSha256(content);
        warnings.insert(warnings.end(), unhashed.begin(), unhashed.end());
        std::stable_sort(warnings.begin(), warnings.end(),
                         [](const auto& a, const auto& b) { return a.line < b.line; });
    }
    for (const auto& warning : warnings) {
        std::cout << path << ":" << warning.line << ": " << warning.message << '\n';
    }
    std::string fault;
    if (key && !hasSignature) {
        fault = "missing: the catalogue is not signed";
    } else if (key) {
        long long signedAt = -1;
        const auto slash = path.rfind('/');
        fault = SignedCatalogueFault({*key}, content, signature,
                                     path.substr(slash == std::string::npos ? 0 : slash + 1), -1,
                                     signedAt);
        fault = fault.empty() ? fault : "does not verify with the key: " + fault;
    }
    if (!fault.empty()) {
        std::cout << path << ".minisig: " << fault << '\n';
    }
    return warnings.empty() && fault.empty() ? ExitOk : ExitProblem;
}

}  // namespace tamsel::kit
