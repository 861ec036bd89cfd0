#pragma once

#include <string>

#include "engine/UpdateRun.h"
#include "forms/HeadlessToolkit.h"
#include "special/cRegistry.h"
#include "support/TempDir.h"

namespace tamsel::test {

// A run on the headless toolkit, its program folder a fresh temporary one, with an in-memory
// registry in which Office versions can be
// installed.
class OfficeFixture {
  protected:
    // Office key names on the local machine with PowerPoint, and under the current user.
    void InstallPowerPoint(const std::string& keyName, bool forCurrentUser = true) {
        run.registry->createKey(RegistryRoot::LocalMachine,
                                "Software\\Microsoft\\Office\\" + keyName + "\\PowerPoint");
        if (forCurrentUser) {
            run.registry->createKey(RegistryRoot::CurrentUser,
                                    "Software\\Microsoft\\Office\\" + keyName + "\\Common");
        }
    }
    static std::string AddInKey(const std::string& version, const std::string& name) {
        return "Software\\Microsoft\\Office\\" + version + "\\PowerPoint\\AddIns\\" + name;
    }
    bool HasAddIn(const std::string& version, const std::string& name) {
        return run.registry->keyExists(RegistryRoot::CurrentUser, AddInKey(version, name));
    }

    TempDir appFolder;  // the program's folder
    HeadlessEventLoop loop;
    HeadlessToolkit toolkit{loop};
    UpdateRun run{toolkit, appFolder.path()};
};

}  // namespace tamsel::test
