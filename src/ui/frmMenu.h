#pragma once

#include <memory>

#include "catalogue/CMenu.h"
#include "config/CConfiguration.h"
#include "forms/Forms.h"

namespace tamsel {

// One menu of optional packages: a ticked line per chosen package. Unticking a package installed
// on an earlier run warns that its files will be removed; Continue needs at least the menu's
// Force choices ticked. Line i stands for choice i + 1.
class frmMenu : public Form {
  public:
    frmMenu(Toolkit& toolkit, const CConfiguration& local);

    ListBox& List = Add<ListBox>("List");
    Label& lblCaption = Add<Label>("lblCaption");
    CommandButton& cmdContinue = Add<CommandButton>("cmdContinue");
    CommandButton& cmdCancel = Add<CommandButton>("cmdCancel");
    Label& lblLegal = Add<Label>("lblLegal");

    void setMenu(std::shared_ptr<CMenu> menu) { menu_ = std::move(menu); }
    bool Complete() const { return complete_; }

  private:
    void Form_Load();
    void List_ItemCheck(int index);
    void cmdContinue_Click();

    const CConfiguration& local_;
    std::shared_ptr<CMenu> menu_;
    bool complete_ = false;
    bool loaded_ = false;
};

}  // namespace tamsel
