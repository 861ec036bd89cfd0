#pragma once

#include <memory>
#include <string>
#include <vector>

#include "forms/Toolkit.h"
#include "special/cRegistry.h"

namespace tamsel {

// PowerPoint's add-ins of the current user for one Office version: the key
// Software\Microsoft\Office\<version>\PowerPoint\AddIns\<name> with AutoLoad and Path.
class CPowerpoint {
  public:
    CPowerpoint(RegistryStore& store, Toolkit& toolkit, std::string version);

    // A name with "/" or ".PPA" in it (any case) stands for the add-in of its base name; a name
    // that comes to nothing names no add-in.
    bool havePlugIn(const std::string& name);
    // True only when the key existed and is gone.
    bool deletePlugIn(const std::string& name);
    // Creates the key with AutoLoad ffffffff and Path; a failure is shown in a message box
    // ("Error adding addin " and its cause) and answers false.
    bool addPlugIn(const std::string& name, const std::string& path);
    const std::vector<std::string>& asCollection() const { return m_colPlugIns; }

  private:
    std::string addInKey(const std::string& name) const;

    cRegistry m_objRegistry;
    Toolkit& m_toolkit;
    std::string m_strVersion;
    std::vector<std::string> m_colPlugIns;
};

// The file name of a path without its folder (cut at the last "\\" or "/") and its extension.
std::string AddInBaseName(const std::string& path);
// The add-in name a path or file name stands for in havePlugIn and deletePlugIn.
std::string NormalisePlugInName(const std::string& name);

}  // namespace tamsel
