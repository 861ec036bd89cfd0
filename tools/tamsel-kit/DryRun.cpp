#include "DryRun.h"

#include <filesystem>
#include <memory>

#include "FixedBodyTransport.h"
#include "catalogue/CFactory.h"
#include "catalogue/CatalogueSyntax.h"
#include "engine/ReviewList.h"
#include "engine/UpdateRun.h"
#include "forms/HeadlessEventLoop.h"
#include "forms/HeadlessToolkit.h"
#include "util/Error.h"
#include "util/FileSystem.h"
#include "util/Text.h"

namespace tamsel::kit {

namespace {

// The reason the updater's fetch gave no catalogue for this body, as one line.
std::string WhyNoCatalogue(const std::string& path, const std::string& body,
                           const std::string& prefix) {
    if (LooksLikeMarkup(body)) {
        return "'" + path +
               "' begins with \"<\" or holds <HTML>: the updater takes it for a web page";
    }
    CFactory factory;
    try {
        factory.createCatalogueFromText("'\r\n" + body + "\r\n", prefix, "");
    } catch (const TamselError& error) {
        // The comment line put in front shifts the file's lines by one.
        return path + ":" + std::to_string(factory.lastLineRead() - 1) + ": " + error.Description();
    }
    if (factory.entriesRead() == 0) {
        return "'" + path +
               "' holds no file, menu, exclusion, special entry or setting: the "
               "updater takes it for a failed answer";
    }
    return "'" + path + "' is not a catalogue the updater can read";
}

}  // namespace

ReviewList DryRunCompare(const std::string& cataloguePath, const std::string& folder,
                         const std::string& prefix) {
    std::string body;
    if (!ReadWholeFile(cataloguePath, body)) {
        throw DryRunProblem("cannot read '" + cataloguePath + "'");
    }
    std::error_code error;
    if (folder.empty() || !std::filesystem::is_directory(folder, error)) {
        throw DryRunProblem("cannot read folder '" + folder + "'");
    }

    HeadlessEventLoop loop;
    HeadlessToolkit toolkit(loop);
    UpdateRun run(toolkit, folder, [&body] { return std::make_unique<FixedBodyTransport>(body); });
    CMetrics& metrics = run.g_objMetrics;
    run.localConfiguration.setValue("local", folder);

    if (!metrics.getLocalCatalogue()) {
        throw DryRunProblem("cannot read folder '" + folder + "'");
    }
    const auto catalogue = metrics.getCatalogue(cataloguePath, prefix);
    if (!catalogue) {
        throw DryRunProblem(WhyNoCatalogue(cataloguePath, body, prefix));
    }
    metrics.CompleteCatalogue()->Append(*catalogue);
    metrics.analyseCatalogue();
    metrics.pruneCatalogue();

    return ListReview(metrics);
}

}  // namespace tamsel::kit
