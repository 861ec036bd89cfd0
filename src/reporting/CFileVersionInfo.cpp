#include "reporting/CFileVersionInfo.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>

#include "reporting/LanguageName.h"
#include "reporting/VersionContainers.h"
#include "reporting/VersionResource.h"
#include "util/FileSystem.h"

namespace tamsel {
namespace {

// Larger files are not read whole: no executable the updater looks at comes near this.
constexpr std::uintmax_t kLargestFileRead = 256u << 20;

constexpr std::array<const char*, CFileVersionInfo::kPredefinedCount> kDisplayNames = {
    "Language",          "Comments",         "Company Name",    "File Description",
    "File Version",      "Internal Name",    "Legal Copyright", "Legal Trademarks",
    "Original Filename", "Product Name",     "Product Version", "Private Build",
    "Special Build",     "LegalTrademarks1", "LegalTrademarks2"};

// The string entry key of each predefined value; the language (index 0) is not a string entry.
constexpr std::array<const char*, CFileVersionInfo::kPredefinedCount> kEntryKeys = {
    "",
    "Comments",
    "CompanyName",
    "FileDescription",
    "FileVersion",
    "InternalName",
    "LegalCopyright",
    "LegalTrademarks",
    "OriginalFilename",
    "ProductName",
    "ProductVersion",
    "PrivateBuild",
    "SpecialBuild",
    "LegalTrademarks1",
    "LegalTrademarks2"};

int High(std::uint32_t value) {
    return static_cast<std::int16_t>(value >> 16);
}
int Low(std::uint32_t value) {
    return static_cast<std::int16_t>(value & 0xFFFF);
}

// At least the given number of digits, zeros in front; a negative number keeps its sign first.
std::string Digits(int value, int width) {
    char text[16];
    std::snprintf(text, sizeof text, value < 0 ? "-%0*d" : "%0*d", width, std::abs(value));
    return text;
}

// "1.04.0001" for 1.4.0.1 and "2.05.0307" for 2.5.3.7: the third part and the fourth stand
// side by side, the fourth alone with four digits when the third is zero.
std::string VersionText(std::uint32_t ms, std::uint32_t ls) {
    std::string text = Digits(High(ms), 1) + "." + Digits(Low(ms), 2) + ".";
    if (High(ls) < 1) {
        return text + Digits(Low(ls), 4);
    }
    return text + Digits(High(ls), 2) + Digits(Low(ls), 2);
}

std::string FlagsText(std::uint32_t flags) {
    static constexpr std::pair<std::uint32_t, const char*> kFlags[] = {
        {0x1, "Debug "},   {0x2, "PreRel "}, {0x4, "Patched "},
        {0x8, "Private "}, {0x10, "Info "},  {0x20, "Special "}};
    std::string text;
    for (const auto& [bit, name] : kFlags) {
        if (flags & bit) {
            text += name;
        }
    }
    if (!text.empty()) {
        text.pop_back();
    }
    return text;
}

std::string OsText(std::uint32_t os) {
    switch (os) {
        case 0x10001:
            return "DOS-Win16";
        case 0x10004:
            return "DOS-Win32";
        case 0x20002:
            return "OS/2-16 PM-16";
        case 0x30003:
            return "OS/2-16 PM-32";
        case 0x40004:
            return "NT-Win32";
        default:
            return "Unknown";
    }
}

// The type's text, and the subtype's when the type has subtypes and the subtype is known.
std::string TypeText(std::uint32_t type, std::uint32_t subtype, std::string& subtypeText) {
    static constexpr const char* kDrivers[] = {
        "Unknown",     "Printer drv", "Keyboard drv", "Language drv", "Display drv", "Mouse drv",
        "Network drv", "System drv",  "Installable",  "Sound drv",    "Comm drv"};
    static constexpr const char* kFonts[] = {"Raster Font", "Vector Font", "TrueType Font"};
    switch (type) {
        case 1:
            return "Application";
        case 2:
            return "DLL";
        case 3:
            if (subtype < std::size(kDrivers)) {
                subtypeText = kDrivers[subtype];
            }
            return "Driver";
        case 4:
            if (subtype >= 1 && subtype <= std::size(kFonts)) {
                subtypeText = kFonts[subtype - 1];
            }
            return "Font";
        case 5:
            return "VxD";
        case 7:
            return "Lib";
        default:
            return "Unknown";
    }
}

std::string Hex4(unsigned value) {
    char text[8];
    std::snprintf(text, sizeof text, "%04X", value & 0xFFFF);
    return text;
}

std::optional<VersionResource> ReadVersionResource(const std::string& path) {
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    std::string content;
    if (error || size > kLargestFileRead || !ReadWholeFile(path, content)) {
        return std::nullopt;
    }
    const Bytes file(reinterpret_cast<const std::uint8_t*>(content.data()), content.size());
    const auto block = FindVersionBlock(file);
    return block ? VersionResource::Parse(*block) : std::nullopt;
}

}  // namespace

void CFileVersionInfo::FullPathName(const std::string& path) {
    if (path.empty()) {
        return;
    }
    std::error_code error;
    const auto absolute = std::filesystem::absolute(path, error);
    if (error) {
        return;
    }
    fullPath_ = absolute.lexically_normal().string();
    Refresh();
}

std::string CFileVersionInfo::PredefinedName(long index) const {
    return index >= 0 && index < kPredefinedCount ? kDisplayNames[index] : "";
}

std::string CFileVersionInfo::PredefinedValue(long index) const {
    return index >= 0 && index < kPredefinedCount ? values_[index] : "";
}

void CFileVersionInfo::Refresh() {
    const auto resource = ReadVersionResource(fullPath_);
    available_ = resource.has_value();
    if (!resource) {
        return;
    }
    const FixedFileInfo& fixed = resource->Fixed();
    structureVersion_ =
        Digits(High(fixed.structureVersion), 1) + "." + Digits(Low(fixed.structureVersion), 1);
    fileVersion_ = VersionText(fixed.fileVersionMS, fixed.fileVersionLS);
    productVersion_ = VersionText(fixed.productVersionMS, fixed.productVersionLS);
    flags_ = FlagsText(fixed.fileFlags);
    os_ = OsText(fixed.fileOS);
    type_ = TypeText(fixed.fileType, fixed.fileSubtype, subtype_);

    const auto translation = resource->Query("\\VarFileInfo\\Translation");
    if (!translation || translation->size() < 4) {
        return;
    }
    const unsigned language = (*translation)[0] | ((*translation)[1] << 8);
    const unsigned codePage = (*translation)[2] | ((*translation)[3] << 8);
    values_[0] = LanguageName(static_cast<std::uint16_t>(language));

    std::string prefix = "\\StringFileInfo\\" + Hex4(language) + Hex4(codePage) + "\\";
    if (resource->QueryText(prefix + "CompanyName").empty()) {
        const std::string usEnglish = "\\StringFileInfo\\0409" + Hex4(codePage) + "\\";
        if (!resource->QueryText(usEnglish + "CompanyName").empty()) {
            prefix = usEnglish;
        }
    }
    for (long i = 1; i < kPredefinedCount; ++i) {
        values_[i] = resource->QueryText(prefix + kEntryKeys[i]);
    }
}

}  // namespace tamsel
