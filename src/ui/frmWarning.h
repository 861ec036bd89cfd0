#pragma once

#include <string>

#include "forms/Forms.h"

namespace tamsel {

// The modal warning shown when the user unticks a package installed earlier: it tells that
// the package's files will be removed. Read Delete and Complete after it closes; both are true
// only when the user pressed OK.
class frmWarning : public Form {
  public:
    explicit frmWarning(Toolkit& toolkit);

    bool Update() const { return m_blnUpdate; }
    bool Delete() const { return m_blnDelete; }
    bool Complete() const { return m_blnComplete; }
    // The package being unticked; kept for the caller, not shown.
    void SetPackage(std::string package) { m_strPackage = std::move(package); }

    Label& Label1 = Add<Label>("Label1");
    Label& lblWarning = Add<Label>("lblWarning");
    CommandButton& cmdRemove = Add<CommandButton>("cmdRemove");

  private:
    void Layout();

    bool m_blnUpdate = false;
    bool m_blnDelete = false;
    bool m_blnComplete = false;
    std::string m_strPackage;
};

}  // namespace tamsel
