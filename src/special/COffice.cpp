#include "special/COffice.h"

#include <vector>

#include "special/OfficeVersions.h"

namespace tamsel {

COffice::COffice(RegistryStore& store) : m_objRegistry(store) {
    std::vector<std::string> names;
    std::int32_t count = 0;
    m_objRegistry.ClassKey(HKEY_CURRENT_USER);
    m_objRegistry.SectionKey(kOfficeKey);
    m_objRegistry.EnumerateSections(names, count);
    for (const auto& name : names) {
        bool* flag = name == "8.0"    ? &m_blnHas97
                     : name == "9.0"  ? &m_blnHas2000
                     : name == "10.0" ? &m_blnHasXP
                     : name == "11.0" ? &m_blnHas2003
                                      : nullptr;
        if (flag != nullptr && hasPowerPoint(HKEY_LOCAL_MACHINE, name)) {
            *flag = true;
            ++m_intInstalled;
            m_strHighestVersion = OfficeMarketingName(name);
        }
    }
}

bool COffice::hasPowerPoint(std::int32_t rootKey, const std::string& keyName) {
    return HasPowerPoint(m_objRegistry, rootKey, keyName);
}

std::string OfficeVersionNumber(const COffice& office) {
    std::string number;
    for (const auto& [has, key] :
         {std::pair{office.has97(), "8.0"}, std::pair{office.has2000(), "9.0"},
          std::pair{office.hasXP(), "10.0"}, std::pair{office.has2003(), "11.0"}}) {
        if (has) {
            number = key;
        }
    }
    return number;
}

}  // namespace tamsel
