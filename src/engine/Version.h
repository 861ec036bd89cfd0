#pragma once

#include <string>

namespace tamsel {

// The program's version: major 1, minor 4, revision 1.
inline constexpr int kVersionMajor = 1;
inline constexpr int kVersionMinor = 4;
inline constexpr int kVersionRevision = 1;

// The publisher's notice shown on every window, its two lines joined by a backslash-n marker.
inline constexpr const char* kLegalNotice =
    "Tamsel is a trade mark of Tam-Sel Ltd.\\n"
    "This kit is the property of Tam-Sel Ltd.";

// The notice with its line break and the version suffix " (1.41.6)": the minor version and the
// revision stand side by side, as every earlier release showed them.
std::string LegalCaption();

// "1.4.1", as the completion notice reports it.
std::string VersionText();

}  // namespace tamsel
