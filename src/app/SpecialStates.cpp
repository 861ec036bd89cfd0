#include "app/frmMain.h"
#include "engine/PowerPointWarning.h"
#include "util/Text.h"

namespace tamsel {

namespace {}  // namespace

// The special files are brought up to date before the kit folder is walked; every road out of
// these states leads back to AnnounceLocalCatalogue or ends the run.
void frmMain::StepSpecial() {
    SpecialWork& special = *run_.special;
    CFiles& specialList = metrics_.RemoteCatalogue()->Special();
    switch (state_) {
        case MainState::CheckSpecialFiles:
            if (special.checkSpecial(ParentOfKit(), specialList) == 0) {
                state_ = MainState::AnnounceLocalCatalogue;
                break;
            }
            metrics_.Shout("Processing special files");
            metrics_.Shout(" ");
            if (special.checkScripts(ParentOfKit(), specialList)) {
                state_ = MainState::ProcessSpecialFiles;
            } else {
                state_ = special.checkAction(ParentOfKit(), specialList)
                             ? MainState::CheckPowerPoint
                             : MainState::ProcessSpecialFiles;
            }
            break;
        case MainState::CheckPowerPoint:
            state_ = special.isPowerPointRunning() ? MainState::WarnPowerPointOpen
                                                   : MainState::ProcessSpecialFiles;
            break;
        case MainState::WarnPowerPointOpen:
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
            state_ = MainState::WaitForPowerPointClosed;
            break;
        case MainState::PromptPowerPointOpen:
            if (WarnPowerPointStillOpen(GetToolkit(), special, powerPointPrompts_, Caption())) {
                ++powerPointPrompts_;
                state_ = MainState::WaitForPowerPointClosed;
            } else {
                state_ = MainState::ProcessSpecialFiles;
            }
            break;
        case MainState::ProcessSpecialFiles: {
            if (metrics_.Silent()) {
                Hide();
            }
            if (special.processSpecial(ParentOfKit(), specialList)) {
                metrics_.Shout(" ");
                state_ = MainState::AnnounceLocalCatalogue;
            } else {
                metrics_.Shout("Unable to complete special file processing.");
                metrics_.Shout(" ");
                metrics_.Shout("Please click the 'Continue' button.");
                metrics_.Shout(" ");
                state_ = MainState::ShowSpecialFailure;
            }
            if (run_.exitAfterProcessing) {
                Unload();
            }
            break;
        }
        case MainState::ShowSpecialFailure:
            cmdCancel.SetCaption("&Continue");
            cmdCancel.SetVisible(true);
            state_ = MainState::WaitAfterSpecialFailure;
            break;
        case MainState::WaitAfterSpecialFailure:
            if (metrics_.Silent()) {
                state_ = MainState::SpecialFailureSeen;
            }
            break;
        case MainState::SpecialFailureSeen:
            cmdCancel.SetCaption("&Cancel");
            state_ = MainState::AnnounceLocalCatalogue;
            break;
        default:
            break;  // WaitForPowerPointClosed waits for the button
    }
}

}  // namespace tamsel
