#include "special/modPowerPoint.h"

#include "special/COffice.h"
#include "special/CPowerpoint.h"
#include "special/frmOffice.h"

namespace tamsel {
namespace {

CPowerpoint PowerPointOf(UpdateRun& run) {
    checkPowerPointVersion(run);
    return CPowerpoint(*run.registry, run.GetToolkit(), run.g_objMetrics.PowerPoint());
}

}  // namespace

void checkPowerPointVersion(UpdateRun& run) {
    CMetrics& metrics = run.g_objMetrics;
    if (metrics.Silent()) {
        metrics.PowerPoint(run.localConfiguration.getValue("office"));
    }
    if (!metrics.PowerPoint().empty()) {
        return;
    }
    {
        frmOffice chooser(run.GetToolkit(), run.localConfiguration, *run.registry);
        if (chooser.enumeratePowerPoint() > 1) {
            chooser.Show(ShowMode::Modal);
        }
    }
    metrics.PowerPoint(run.localConfiguration.getValue("office"));
}

bool pptHavePlugIn(UpdateRun& run, const std::string& name) {
    return !name.empty() && PowerPointOf(run).havePlugIn(name);
}

bool pptAddPlugIn(UpdateRun& run, const std::string& path) {
    // A path without a file name would name the AddIns key itself.
    return !path.empty() && !AddInBaseName(path).empty() &&
           PowerPointOf(run).addPlugIn(AddInBaseName(path), path);
}

bool pptDeletePlugIn(UpdateRun& run, const std::string& name) {
    return !name.empty() && PowerPointOf(run).deletePlugIn(name);
}

void AttachOffice(UpdateRun& run) {
    run.g_objMetrics.OfficeMaker([&run] { return std::make_shared<COffice>(*run.registry); });
}

}  // namespace tamsel
