// The PowerPoint add-in registrations LOAD and REMOVE make, under the current user's settings for
// the PowerPoint version in use.
#include <cctype>

#include "platform/FileRegistryStore.h"
#include "special/SpecialProcessing.h"
#include "special/cRegistry.h"
#include "util/Error.h"
#include "util/Text.h"

namespace tamsel {

namespace {

constexpr const char* kOfficeKey = "Software\\Microsoft\\Office\\";

// A name given as a path or with the add-in extension is the add-in's base name.
std::string AddInName(const std::string& name) {
    if (name.find('/') == std::string::npos && !ContainsNoCase(name, ".PPA")) {
        return name;
    }
    const auto separator = name.find_last_of("\\/");
    std::string file = separator == std::string::npos ? name : name.substr(separator + 1);
    const auto dot = file.rfind('.');
    return dot == std::string::npos ? file : file.substr(0, dot);
}

}  // namespace

std::string SpecialProcessing::AddInKey(const std::string& name) const {
    return kOfficeKey + metrics_.PowerPoint() + "\\PowerPoint\\AddIns\\" + name;
}

// A background run uses the version chosen before; otherwise the one installed version is taken.
void SpecialProcessing::checkPowerPointVersion() {
    CConfiguration& local = run_.localConfiguration;
    if (metrics_.Silent()) {
        metrics_.PowerPoint(local.getValue("office"));
    }
    if (!metrics_.PowerPoint().empty()) {
        return;
    }
    FileRegistryStore store;
    cRegistry registry(store);
    registry.ClassKey(HKEY_LOCAL_MACHINE);
    registry.SectionKey("Software\\Microsoft\\Office");
    std::vector<std::string> versions;
    std::int32_t count = 0;
    registry.EnumerateSections(versions, count);
    std::string found;
    int installed = 0;
    for (const auto& version : versions) {
        registry.SectionKey(kOfficeKey + version + "\\PowerPoint");
        if (!version.empty() && std::isdigit(static_cast<unsigned char>(version[0])) != 0 &&
            registry.KeyExists()) {
            found = version;
            ++installed;
        }
    }
    if (installed == 1) {
        local.putValue("office", found);
    }
    metrics_.PowerPoint(local.getValue("office"));
}

bool SpecialProcessing::pptHavePlugIn(const std::string& name) {
    if (name.empty()) {
        return false;
    }
    checkPowerPointVersion();
    FileRegistryStore store;
    cRegistry registry(store);
    registry.ClassKey(HKEY_CURRENT_USER);
    registry.SectionKey(AddInKey(AddInName(name)));
    return registry.KeyExists();
}

bool SpecialProcessing::pptDeletePlugIn(const std::string& name) {
    if (name.empty()) {
        return false;
    }
    checkPowerPointVersion();
    FileRegistryStore store;
    cRegistry registry(store);
    registry.ClassKey(HKEY_CURRENT_USER);
    registry.SectionKey(AddInKey(AddInName(name)));
    return registry.KeyExists() && registry.DeleteKey();
}

bool SpecialProcessing::pptAddPlugIn(const std::string& path) {
    if (path.empty()) {
        return false;
    }
    checkPowerPointVersion();
    try {
        FileRegistryStore store;
        cRegistry registry(store);
        registry.ClassKey(HKEY_CURRENT_USER);
        registry.SectionKey(AddInKey(FileBaseName(path)));
        registry.CreateKey();
        registry.ValueKey("AutoLoad");
        registry.ValueType(4);
        registry.Value(std::int16_t{-1});
        registry.ValueKey("Path");
        registry.ValueType(1);
        registry.Value(path);
        return true;
    } catch (const TamselError& error) {
        run_.GetToolkit().MsgBox("Error adding addin " + error.Description());
        return false;
    }
}

}  // namespace tamsel

namespace tamsel {

// The installed version is read for the settings and the completion notice by the Office
// detection, which this program does not have yet.
std::string SpecialProcessing::installedPowerPointVersion() {
    return {};
}

// Older copies of the updater are found by their version information, which this program cannot
// read yet: nothing is removed.
void SpecialProcessing::removeOlderVersions() {
    metrics_.Trace("Main::removeOlderVersions not available");
}

}  // namespace tamsel
