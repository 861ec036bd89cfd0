#include "ui/frmMenu.h"

#include <algorithm>

#include "ui/LegalLabel.h"
#include "ui/frmWarning.h"

namespace tamsel {

frmMenu::frmMenu(Toolkit& toolkit, const CConfiguration& local)
    : Form(toolkit, "frmMenu"), local_(local) {
    Move(0, 0, 400, 320);
    lblCaption.Move(12, 10, 376, 18);
    lblCaption.SetCaption("Caption");
    lblCaption.SetFont(0, true);
    List.Move(12, 32, 376, 190);
    List.SetTickBoxes(true);
    lblLegal.Move(12, 230, 376, 44);
    lblLegal.SetFont(7, false);
    cmdContinue.Move(208, 282, 88, 28);
    cmdContinue.SetCaption("C&ontinue");
    cmdContinue.SetDefault(true);
    cmdCancel.Move(300, 282, 88, 28);
    cmdCancel.SetCaption("&Cancel");
    cmdCancel.SetCancel(true);

    OnLoad = [this] { Form_Load(); };
    OnActivate = [this] { cmdContinue.SetFocus(); };
    List.OnItemCheck = [this](int index) { List_ItemCheck(index); };
    cmdContinue.OnClick = [this] { cmdContinue_Click(); };
    cmdCancel.OnClick = [this] { Unload(); };
}

void frmMenu::Form_Load() {
    SetCaption("Tamsel Updater");
    ShowLegalNotice(lblLegal);
    if (!menu_) {
        menu_ = std::make_shared<CMenu>();
    }
    lblCaption.SetCaption(menu_->Caption());
    for (const auto& choice : menu_->asCollection()) {
        for (const auto& line : local_.asCollection()) {
            if (line->Key() == "historical" && line->Value() == choice->Choice()) {
                choice->Historical(true);
            }
        }
    }
    for (const auto& choice : menu_->asCollection()) {
        const int index = List.AddItem(choice->Choice());
        if (choice->Active() || choice->Historical()) {
            List.SetChecked(index, true);
        }
    }
    loaded_ = true;
}

void frmMenu::List_ItemCheck(int index) {
    const auto& choice = menu_->asCollection().at(index);
    if (loaded_ && choice->Active() && choice->Historical()) {
        frmWarning warning(GetToolkit());
        warning.SetPackage(choice->Choice());
        warning.Show(ShowMode::Modal);
        // The keyboard goes back to the line the user was on, not to the buttons, where the
        // next arrow key or space could cancel the whole update.
        List.SetListIndex(index);
        List.SetFocus();
    }
    choice->Active(List.Checked(index));
}

void frmMenu::cmdContinue_Click() {
    const auto& choices = menu_->asCollection();
    const auto active = std::count_if(choices.begin(), choices.end(),
                                      [](const auto& choice) { return choice->Active(); });
    if (menu_->Force() > 0 && active < menu_->Force()) {
        GetToolkit().MsgBox("Please make a selection before clicking the 'Continue' button.",
                            msgbox::kOkOnly | msgbox::kInformation, "WARNING!");
        return;
    }
    complete_ = true;
    Unload();
}

}  // namespace tamsel
