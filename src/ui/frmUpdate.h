#pragma once

#include "engine/CMetrics.h"
#include "forms/Forms.h"

namespace tamsel {

// The update review: one ticked line per entry of the complete catalogue, which the user may
// untick to skip it, a background option, Continue and Cancel. Line i stands for entry i + 1.
class frmUpdate : public Form {
  public:
    frmUpdate(Toolkit& toolkit, CMetrics& metrics);

    ListBox& List = Add<ListBox>("List");
    CheckBox& chkBackground = Add<CheckBox>("chkBackground");
    CommandButton& cmdContinue = Add<CommandButton>("cmdContinue");
    CommandButton& cmdCancel = Add<CommandButton>("cmdCancel");
    Label& lblStatus = Add<Label>("lblStatus");
    Label& lblLegal = Add<Label>("lblLegal");

    bool Complete() const { return complete_; }
    bool Background() const { return background_; }

  private:
    void Form_Load();

    CMetrics& metrics_;
    bool complete_ = false;
    bool background_ = false;
};

}  // namespace tamsel
