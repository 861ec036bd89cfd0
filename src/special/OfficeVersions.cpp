#include "special/OfficeVersions.h"

#include <cctype>

namespace tamsel {
namespace {

struct OfficeVersion {
    const char* key;
    const char* marketing;
};
constexpr OfficeVersion kVersions[] = {
    {"8.0", "97"}, {"9.0", "2000"}, {"10.0", "XP"}, {"11.0", "2003"}};

}  // namespace

std::string OfficeMarketingName(const std::string& keyName) {
    for (const auto& version : kVersions) {
        if (keyName == version.key) {
            return version.marketing;
        }
    }
    return {};
}

std::string OfficeLabel(const std::string& keyName) {
    const std::string marketing = OfficeMarketingName(keyName);
    return marketing.empty() ? "Unknown" : "Office " + marketing;
}

std::string OfficeChoiceText(const std::string& keyName) {
    return keyName + " (" + OfficeLabel(keyName) + ")";
}

bool HasPowerPoint(cRegistry& registry, std::int32_t rootKey, const std::string& keyName) {
    registry.ClassKey(rootKey);
    registry.SectionKey(kOfficeKey + keyName + "\\PowerPoint");
    return registry.KeyExists();
}

std::vector<std::string> InstalledPowerPointKeys(cRegistry& registry) {
    std::vector<std::string> names;
    std::int32_t count = 0;
    registry.ClassKey(HKEY_LOCAL_MACHINE);
    registry.SectionKey(kOfficeKey);
    registry.EnumerateSections(names, count);
    std::vector<std::string> installed;
    for (const auto& name : names) {
        if (!name.empty() && std::isdigit(static_cast<unsigned char>(name[0])) &&
            HasPowerPoint(registry, HKEY_LOCAL_MACHINE, name)) {
            installed.push_back(name);
        }
    }
    return installed;
}

}  // namespace tamsel
