#include "ui/frmWarning.h"

namespace tamsel {

frmWarning::frmWarning(Toolkit& toolkit) : Form(toolkit, "frmWarning") {
    Layout();
    OnLoad = [this] {
        SetCaption("Tamsel Updater");
        lblWarning.SetCaption(
            "Please note: unselecting an option means these files will be removed.");
    };
    cmdRemove.OnClick = [this] {
        m_blnDelete = true;
        m_blnComplete = true;
        Unload();
    };
}

void frmWarning::Layout() {
    Move(0, 0, 360, 128);
    Label1.SetCaption("WARNING!");
    Label1.SetFont(12, true);
    Label1.Move(16, 12, 328, 24);
    lblWarning.Move(16, 44, 328, 36);
    cmdRemove.SetCaption("&OK");
    cmdRemove.SetDefault(true);
    cmdRemove.Move(256, 88, 88, 28);
}

}  // namespace tamsel
