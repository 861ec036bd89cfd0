#pragma once

#include <cstdint>
#include <string>

#include "special/cRegistry.h"

namespace tamsel {

// The Office versions with PowerPoint on this machine. The scan runs once, at creation: the
// current user's Office keys 8.0 to 11.0, in the order the registry lists them, each counted when
// the local machine has its PowerPoint key.
class COffice {
  public:
    explicit COffice(RegistryStore& store);

    bool hasPowerPoint(std::int32_t rootKey, const std::string& keyName);

    std::int16_t Installed() const { return m_intInstalled; }
    bool has97() const { return m_blnHas97; }
    bool has2000() const { return m_blnHas2000; }
    bool hasXP() const { return m_blnHasXP; }
    bool has2003() const { return m_blnHas2003; }
    // The marketing name of the last version found in listing order, which need not be the
    // newest; empty when none was found.
    const std::string& highestVersion() const { return m_strHighestVersion; }

  private:
    cRegistry m_objRegistry;
    std::int16_t m_intInstalled = 0;
    bool m_blnHas97 = false;
    bool m_blnHas2000 = false;
    bool m_blnHasXP = false;
    bool m_blnHas2003 = false;
    std::string m_strHighestVersion;
};

// The key name of the newest version the scan found ("8.0" to "11.0", checked in that order);
// empty when none was.
std::string OfficeVersionNumber(const COffice& office);

}  // namespace tamsel
