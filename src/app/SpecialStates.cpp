#include "app/frmMain.h"
#include "util/Text.h"

namespace tamsel {

namespace {

constexpr const char* kPowerPointStillOpen =
    "The Tamsel Updater has detected that you still have PowerPoint open.\\nTo safely update "
    "the 'Special' software files it is important that\\nyou close PowerPoint before clicking "
    "the 'Continue' button.";

}  // namespace

// The special files are brought up to date before the kit folder is walked; every road out of
// these states leads back to state 12 or ends the run.
void frmMain::StepSpecial() {
    SpecialWork& special = *run_.special;
    CFiles& specialList = metrics_.RemoteCatalogue()->Special();
    switch (state_) {
        case 50:
            if (special.checkSpecial(ParentOfKit(), specialList) == 0) {
                state_ = 12;
                break;
            }
            metrics_.Shout("Processing special files");
            metrics_.Shout(" ");
            if (special.checkScripts(ParentOfKit(), specialList)) {
                state_ = 70;
            } else {
                state_ = special.checkAction(ParentOfKit(), specialList) ? 52 : 70;
            }
            break;
        case 52:
            state_ = special.isPowerPointRunning() ? 54 : 70;
            break;
        case 54:
            GetToolkit().Beep();
            metrics_.Scream(
                "WARNING! to safely update the 'Special' software files it is important");
            metrics_.Scream("that you close PowerPoint before clicking the 'Continue' button.");
            metrics_.Scream(" ");
            cmdCancel.SetCaption("&Continue");
            cmdCancel.SetVisible(true);
            powerPointPrompts_ = 0;
            if (metrics_.Silent()) {
                SetWindowState(WindowState::Normal);
                Show();
                CFormMemory::forceCenter(*this);
            }
            state_ = 55;
            break;
        case 56:
            if (special.isPowerPointRunning() && powerPointPrompts_ < 4) {
                GetToolkit().MsgBox(ExpandLineBreaks(kPowerPointStillOpen), msgbox::kCritical,
                                    Caption());
                ++powerPointPrompts_;
                state_ = 55;
            } else {
                state_ = 70;
            }
            break;
        case 70: {
            if (metrics_.Silent()) {
                Hide();
            }
            if (special.processSpecial(ParentOfKit(), specialList)) {
                metrics_.Shout(" ");
                state_ = 12;
            } else {
                metrics_.Shout("Unable to complete special file processing.");
                metrics_.Shout(" ");
                metrics_.Shout("Please click the 'Continue' button.");
                metrics_.Shout(" ");
                state_ = 80;
            }
            if (run_.exitAfterProcessing) {
                Unload();
            }
            break;
        }
        case 80:
            cmdCancel.SetCaption("&Continue");
            cmdCancel.SetVisible(true);
            state_ = 82;
            break;
        case 82:
            if (metrics_.Silent()) {
                state_ = 84;
            }
            break;
        case 84:
            cmdCancel.SetCaption("&Cancel");
            state_ = 12;
            break;
        default:
            break;  // 55 waits for the button
    }
}

}  // namespace tamsel
