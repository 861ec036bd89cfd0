#include "ui/frmUpdate.h"

#include "engine/ReviewList.h"
#include "ui/LegalLabel.h"

namespace tamsel {

frmUpdate::frmUpdate(Toolkit& toolkit, CMetrics& metrics)
    : Form(toolkit, "frmUpdate"), metrics_(metrics) {
    Move(0, 0, 460, 330);
    lblStatus.Move(12, 10, 436, 18);
    lblStatus.SetCaption("Available updates:");
    List.Move(12, 32, 436, 200);
    List.SetTickBoxes(true);
    chkBackground.Move(12, 240, 300, 20);
    chkBackground.SetCaption("Update in the background.");
    lblLegal.Move(12, 266, 300, 56);
    lblLegal.SetFont(7, false);
    cmdContinue.Move(268, 292, 88, 28);
    cmdContinue.SetCaption("C&ontinue");
    cmdContinue.SetDefault(true);
    cmdCancel.Move(360, 292, 88, 28);
    cmdCancel.SetCaption("&Cancel");
    cmdCancel.SetCancel(true);

    OnLoad = [this] { Form_Load(); };
    OnActivate = [this] { cmdContinue.SetFocus(); };
    List.OnItemCheck = [this](int index) {
        metrics_.CompleteCatalogue()->Files().asCollection().at(index)->Tag(List.Checked(index));
    };
    chkBackground.OnClick = [this] { background_ = chkBackground.Checked(); };
    cmdContinue.OnClick = [this] {
        complete_ = true;
        Unload();
    };
    cmdCancel.OnClick = [this] { Unload(); };
}

void frmUpdate::Form_Load() {
    metrics_.Trace("Update::Load");
    SetCaption("Tamsel Updater");
    ShowLegalNotice(lblLegal);
    if (metrics_.Silent()) {
        chkBackground.SetEnabled(false);
    }
    metrics_.Trace("Update::For...Next");
    const ReviewList review = ListReview(metrics_);
    for (const auto& line : review.lines) {
        List.AddItem(line);
        List.SetChecked(List.ListCount() - 1, true);
    }
    if (review.deletes) {
        lblStatus.SetForeColor(kColourRed);
    }
    lblStatus.SetCaption(review.summary);
}

}  // namespace tamsel
