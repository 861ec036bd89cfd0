#pragma once

#include <string>

#include "catalogue/CFiles.h"

namespace tamsel {

// The special processing of a run as the main sequence, the background notice and the processing
// dialog call on it: bringing the kit's special files up to date, running their script commands
// and watching for a running PowerPoint. The folder is the one the special files are placed in.
class SpecialWork {
  public:
    virtual ~SpecialWork() = default;

    // How many special files are missing or differ from the catalogue in size or date.
    virtual long checkSpecial(const std::string& folder, const CFiles& special) = 0;
    // False at the first special file that needs work; otherwise whether the list holds a script.
    virtual bool checkScripts(const std::string& folder, const CFiles& special) = 0;
    // Whether a special file that needs work asks for PowerPoint to be closed first.
    virtual bool checkAction(const std::string& folder, const CFiles& special) = 0;
    // Brings the special files up to date and runs the scripts; true when nothing failed.
    virtual bool processSpecial(const std::string& folder, CFiles& special) = 0;
    // Runs one command of the special script language.
    virtual bool processSpecial2(const std::string& command) = 0;
    // Runs the commands deferred to the end of the run, in order.
    virtual void runDeferredCommands() = 0;
    virtual bool isPowerPointRunning() = 0;
};

}  // namespace tamsel
