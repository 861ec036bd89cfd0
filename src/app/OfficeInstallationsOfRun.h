#pragma once

#include "engine/UpdateRun.h"
#include "reporting/OfficeInstallations.h"
#include "special/COffice.h"

namespace tamsel {

// The PowerPoint versions the update log reports, as the run's Office detection finds them.
class OfficeInstallationsOfRun : public OfficeInstallations {
  public:
    explicit OfficeInstallationsOfRun(UpdateRun& run) : run_(run) {}

    bool has97() const override { return Office() && Office()->has97(); }
    bool has2000() const override { return Office() && Office()->has2000(); }
    bool hasXP() const override { return Office() && Office()->hasXP(); }
    bool has2003() const override { return Office() && Office()->has2003(); }

  private:
    const COffice* Office() const { return run_.g_objMetrics.Office(); }

    UpdateRun& run_;
};

}  // namespace tamsel
