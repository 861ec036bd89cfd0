#pragma once

#include <string>

#include "catalogue/CFiles.h"

namespace tamsel {

// The special processing a run calls on: bringing the kit's special files up to date, running
// their script commands and watching for a running PowerPoint. The script language and the Office
// integration are not part of this program yet, so the base class finds nothing to do: no
// special file is out of date, no script needs running, PowerPoint is never in the way, and a
// command is passed over.
class SpecialWork {
  public:
    virtual ~SpecialWork() = default;

    // How many special entries need work.
    virtual long checkSpecial(const std::string& /*folder*/, const CFiles& /*special*/) {
        return 0;
    }
    // Whether the special entries are scripts only.
    virtual bool checkScripts(const std::string& /*folder*/, const CFiles& /*special*/) {
        return false;
    }
    // Whether an entry needs PowerPoint closed before it is processed.
    virtual bool checkAction(const std::string& /*folder*/, const CFiles& /*special*/) {
        return false;
    }
    virtual bool processSpecial(const std::string& /*folder*/, CFiles& /*special*/) { return true; }
    virtual bool isPowerPointRunning() { return false; }
};

}  // namespace tamsel
