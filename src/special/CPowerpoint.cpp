#include "special/CPowerpoint.h"

#include "special/OfficeVersions.h"
#include "util/Error.h"
#include "util/Text.h"

namespace tamsel {

CPowerpoint::CPowerpoint(RegistryStore& store, Toolkit& toolkit, std::string version)
    : m_objRegistry(store), m_toolkit(toolkit), m_strVersion(std::move(version)) {}

std::string AddInBaseName(const std::string& path) {
    const auto separator = path.find_last_of("\\/");
    const std::string file = separator == std::string::npos ? path : path.substr(separator + 1);
    return file.substr(0, file.rfind('.'));
}

std::string NormalisePlugInName(const std::string& name) {
    if (name.find('/') == std::string::npos && ToUpper(name).find(".PPA") == std::string::npos) {
        return name;
    }
    return AddInBaseName(name);
}

std::string CPowerpoint::addInKey(const std::string& name) const {
    return kOfficeKey + m_strVersion + "\\PowerPoint\\AddIns\\" + name;
}

bool CPowerpoint::havePlugIn(const std::string& name) {
    const std::string plugIn = NormalisePlugInName(name);
    if (plugIn.empty()) {
        return false;  // never the AddIns key itself
    }
    m_objRegistry.ClassKey(HKEY_CURRENT_USER);
    m_objRegistry.SectionKey(addInKey(plugIn));
    return m_objRegistry.KeyExists();
}

bool CPowerpoint::deletePlugIn(const std::string& name) {
    return havePlugIn(name) && m_objRegistry.DeleteKey();
}

bool CPowerpoint::addPlugIn(const std::string& name, const std::string& path) {
    try {
        m_objRegistry.ClassKey(HKEY_CURRENT_USER);
        m_objRegistry.SectionKey(addInKey(name));
        m_objRegistry.CreateKey();
        m_objRegistry.ValueKey("AutoLoad");
        m_objRegistry.ValueType(4);
        m_objRegistry.Value(RegistryValue(std::int16_t{-1}));
        m_objRegistry.ValueKey("Path");
        m_objRegistry.ValueType(1);
        m_objRegistry.Value(RegistryValue(NativePath(path)));
        return true;
    } catch (const TamselError& error) {
        m_toolkit.MsgBox("Error adding addin " + error.Description(), msgbox::kOkOnly);
        return false;
    }
}

}  // namespace tamsel
