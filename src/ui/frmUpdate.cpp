#include "ui/frmUpdate.h"

#include "ui/LegalLabel.h"
#include "util/Format.h"

namespace tamsel {

std::string UpdateSummary(long updates, double downloadBytes) {
    if (updates == 0) {
        return "no updates";
    }
    return (updates == 1 ? std::string("1 file") : std::to_string(updates) + " files") +
           " to update (" + FormatSize(downloadBytes) + ")";
}

std::string DeleteSummary(long deletes, double deleteBytes) {
    return "   " + std::to_string(deletes) + " file to delete (" + FormatSize(deleteBytes) + ")";
}

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
    double downloadBytes = 0;
    double deleteBytes = 0;
    long deletes = 0;
    for (const auto& entry : metrics_.CompleteCatalogue()->Files().asCollection()) {
        metrics_.Trace("Update::objFile " + entry->asString());
        const std::string sizeAndUrl = entry->ppSize() + "  " + entry->URL();
        switch (entry->myType()) {
            case CFile::TypeUpdate:
                List.AddItem("Update: " + sizeAndUrl);
                downloadBytes += LeadingNumber(entry->Size());
                break;
            case CFile::TypeNew:
                List.AddItem("New: " + sizeAndUrl);
                downloadBytes += LeadingNumber(entry->Size());
                break;
            case CFile::TypeRemove:
                List.AddItem("Remove: " + sizeAndUrl);
                // A local file whose size could not be read counts nothing.
                deleteBytes += LeadingNumber(entry->Size());
                ++deletes;
                break;
            default:
                List.AddItem("?" + entry->URL());
                break;
        }
        List.SetChecked(List.ListCount() - 1, true);
    }
    const std::string summary = UpdateSummary(List.ListCount() - deletes, downloadBytes);
    if (deletes == 0) {
        lblStatus.SetCaption(summary);
    } else {
        lblStatus.SetForeColor(kColourRed);
        lblStatus.SetCaption(summary + DeleteSummary(deletes, deleteBytes));
    }
}

}  // namespace tamsel
