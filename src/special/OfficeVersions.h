#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "special/cRegistry.h"

// The Office versions the updater knows, named by their registry key ("11.0") and their
// marketing name ("2003"), and where the registry records them.
namespace tamsel {

inline constexpr const char* kOfficeKey = "Software\\Microsoft\\Office\\";

// "2003" for "11.0"; empty for a key name the updater does not know.
std::string OfficeMarketingName(const std::string& keyName);
// "Office 2003" for "11.0"; "Unknown" for any other key name.
std::string OfficeLabel(const std::string& keyName);
// The chooser's line for a key name: "11.0 (Office 2003)".
std::string OfficeChoiceText(const std::string& keyName);

// Whether root\Software\Microsoft\Office\<keyName>\PowerPoint exists.
bool HasPowerPoint(cRegistry& registry, std::int32_t rootKey, const std::string& keyName);

// The local machine's Office keys that begin with a digit and have PowerPoint, in the order the
// registry lists them.
std::vector<std::string> InstalledPowerPointKeys(cRegistry& registry);

}  // namespace tamsel
