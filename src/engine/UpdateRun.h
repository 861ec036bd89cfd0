#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "config/CConfiguration.h"
#include "engine/CMetrics.h"
#include "engine/SpecialWork.h"
#include "forms/Toolkit.h"
#include "platform/HttpTransport.h"
#include "platform/ObjectProbe.h"
#include "platform/RegistryStore.h"

namespace tamsel {

// Everything one run of the updater owns: the metrics object, the two settings files, the
// special commands deferred to the end of the run, the run-wide flags and the toolkit. Tests make
// a fresh one per case.
class UpdateRun {
  public:
    UpdateRun(Toolkit& toolkit, std::string appPath, HttpTransportFactory makeTransport = {})
        : toolkit_(toolkit),
          g_objMetrics(std::move(appPath), toolkit, localConfiguration, globalConfiguration,
                       std::move(makeTransport)) {}
    UpdateRun(const UpdateRun&) = delete;
    UpdateRun& operator=(const UpdateRun&) = delete;

    Toolkit& GetToolkit() const { return toolkit_; }

  private:
    Toolkit& toolkit_;

  public:
    CConfiguration localConfiguration;
    CConfiguration globalConfiguration;
    CMetrics g_objMetrics;
    std::vector<std::string> deferredCommands;
    bool exitAfterProcessing = false;
    // A special file could not be brought up to date or a script command failed: the run goes
    // on with the kit update and ends as a failure.
    bool specialFailed = false;
    bool einMode = false;
    // Bounds on the update log's upload: its answer is only searched for "SUCCESS", and a server
    // that answers without end or by the byte must not hold the run.
    HttpLimits logUpload{64 * 1024, std::chrono::seconds(60)};

    // The platform probe for the components a run needs; tests may pretend one is missing.
    std::function<bool(std::string_view className)> canCreateObject = CanCreateObject;
    // The special files and their commands; the main window makes the real one when none is set.
    std::unique_ptr<SpecialWork> special;
    // The registry the Office integration and the update log read and write: in memory unless
    // the program's start-up hands in the user's own.
    std::shared_ptr<RegistryStore> registry = std::make_shared<MemoryRegistryStore>();
};

}  // namespace tamsel
