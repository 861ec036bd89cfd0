#include "ui/frmSilentUpdate.h"

#include "engine/PowerPointWarning.h"
#include "ui/LegalLabel.h"
#include "util/Text.h"

namespace tamsel {

namespace {

constexpr const char* kCloseBeforeContinue =
    "WARNING! to safely update the 'Special' software files it is important that you close "
    "PowerPoint before clicking the 'Continue' button.";
constexpr const char* kClickUpdate =
    "Please click the 'Update' button to download and install the files.\\nYou can continue "
    "working whilst the updates are being downloaded.";

}  // namespace

frmSilentUpdate::frmSilentUpdate(Toolkit& toolkit, CMetrics& metrics, const CConfiguration& local,
                                 SpecialWork& special)
    : Form(toolkit, "frmSilentUpdate"), metrics_(metrics), local_(local), special_(special) {
    Layout();
    OnLoad = [this] { Form_Load(); };
    OnActivate = [this] { Form_Activate(); };
    // Closing the window through its frame is taken as Cancel: a notice the user closed does not
    // go on to download.
    OnQueryUnload = [this](bool&, UnloadMode mode) {
        if (mode == UnloadMode::FormControlMenu) {
            m_intState = SilentUpdateState::Cancelled;
        }
    };
    Timer1.OnTimer = [this] { Timer1_Timer(); };
    cmdUpdate.OnClick = [this] { cmdUpdate_Click(); };
    cmdCancek.OnClick = [this] { Answer(SilentUpdateState::Cancelled); };
    Label1.OnClick = [this] { Answer(SilentUpdateState::MoreInformation); };
}

frmSilentUpdate::~frmSilentUpdate() {
    if (metrics_.Pane() == &InfoPane) {
        metrics_.Broadcast(nullptr);
    }
}

void frmSilentUpdate::Layout() {
    Move(0, 0, 480, 330);
    lblHeader.Move(12, 10, 456, 34);
    lblHeader.SetFont(0, true);
    InfoPane.Move(12, 48, 456, 130);
    lblFooter.Move(12, 184, 456, 48);
    txtFocus.Move(-40, -40, 8, 8);
    lblLegal.Move(12, 238, 456, 44);
    lblLegal.SetFont(7, false);
    Label1.Move(12, 298, 180, 18);
    Label1.SetCaption("More information ");
    Label1.SetForeColor(RgbColour(0, 0, 255));
    cmdUpdate.Move(288, 292, 88, 28);
    cmdUpdate.SetCaption("&Update");
    cmdUpdate.SetDefault(true);
    cmdCancek.Move(380, 292, 88, 28);
    cmdCancek.SetCaption("&Cancel");
    cmdCancek.SetCancel(true);
    Timer1.SetInterval(200);
}

void frmSilentUpdate::Form_Load() {
    SetCaption("Tamsel Updater");
    lblHeader.SetCaption("The Tamsel has detected that new or updated files are available.");
    ShowLegalNotice(lblLegal);
    metrics_.Broadcast(&InfoPane);
}

void frmSilentUpdate::Form_Activate() {
    SetTopMost(true);
    cmdUpdate.SetFocus();
    metrics_.FormMemory().SnapShot(*this);
}

void frmSilentUpdate::Timer1_Timer() {
    CFiles& specialList = metrics_.RemoteCatalogue()->Special();
    switch (m_intState) {
        case SilentUpdateState::Start:
            m_intState = SilentUpdateState::CheckSpecialFiles;
            break;
        case SilentUpdateState::CheckSpecialFiles:
            specialFolder_ = ParentFolder(local_.getLocal());
            if (special_.checkSpecial(specialFolder_, specialList) > 0) {
                metrics_.Shout("Processing special files.");
                metrics_.Shout(" ");
                if (!special_.checkScripts(specialFolder_, specialList)) {
                    SetVisible(true);
                    m_intState = SilentUpdateState::CheckPowerPoint;
                } else {
                    m_intState = SilentUpdateState::ProcessSpecialFiles;
                }
            } else {
                m_intState = SilentUpdateState::ShowUpdateCount;
            }
            break;
        case SilentUpdateState::CheckPowerPoint:
            m_intState = special_.isPowerPointRunning() ? SilentUpdateState::CheckPowerPointNeeded
                                                        : SilentUpdateState::ProcessSpecialFiles;
            break;
        case SilentUpdateState::CheckPowerPointNeeded:
            // Out-of-date special files that do not ask for PowerPoint to be closed are
            // processed at once rather than left out of date.
            if (special_.checkAction(specialFolder_, specialList)) {
                GetToolkit().Beep();
                lblFooter.SetForeColor(kColourRed);
                lblFooter.SetCaption(kCloseBeforeContinue);
                metrics_.ClearPane();
                metrics_.Scream(
                    "The Tamsel has detected that a \xE2\x80\x98Special\xE2\x80\x99 "
                    "file needs to be updated,");
                metrics_.Scream("which requires closing PowerPoint.");
                metrics_.Scream(" ");
                m_intState = SilentUpdateState::ShowContinue;
            } else {
                m_intState = SilentUpdateState::ProcessSpecialFiles;
            }
            break;
        case SilentUpdateState::ShowContinue:
            cmdUpdate.SetCaption("&Continue");
            SetTopMost(false);
            m_intWarnings = 0;
            txtFocus.SetFocus();
            m_intState = SilentUpdateState::WaitForPowerPointClosed;
            break;
        case SilentUpdateState::PromptPowerPointOpen:
            txtFocus.SetFocus();
            if (WarnPowerPointStillOpen(GetToolkit(), special_, m_intWarnings, Caption())) {
                ++m_intWarnings;
                m_intState = SilentUpdateState::WaitForPowerPointClosed;
            } else {
                m_intState = SilentUpdateState::ProcessSpecialFiles;
            }
            break;
        case SilentUpdateState::ProcessSpecialFiles:
            SetTopMost(true);
            special_.processSpecial(specialFolder_, specialList);
            metrics_.Shout(" ");
            m_intState = SilentUpdateState::ShowUpdateCount;
            break;
        case SilentUpdateState::ShowUpdateCount:
            ShowUpdateCount();
            m_intState = SilentUpdateState::WaitForAnswer;
            break;
        default:
            break;  // WaitForPowerPointClosed and WaitForAnswer wait for a button
    }
}

void frmSilentUpdate::ShowUpdateCount() {
    const long updates = metrics_.CompleteCatalogue()->Updates();
    lblFooter.SetForeColor(kColourBlack);
    lblFooter.SetCaption(ExpandLineBreaks(kClickUpdate));
    if (updates == 1) {
        metrics_.Shout("1 file need to be updated");
        cmdUpdate.SetCaption("&Update");
    } else if (updates > 1) {
        metrics_.Shout(std::to_string(updates) + " files need to be updated");
        cmdUpdate.SetCaption("&Update");
    } else {
        metrics_.Shout("Local files are already up-to-date.");
        cmdUpdate.SetCaption("&Finish");
    }
}

void frmSilentUpdate::cmdUpdate_Click() {
    if (m_intState == SilentUpdateState::WaitForPowerPointClosed) {
        m_intState = SilentUpdateState::PromptPowerPointOpen;
    } else if (m_intState == SilentUpdateState::WaitForAnswer) {
        Unload();
    }
}

void frmSilentUpdate::Answer(SilentUpdateState answer) {
    m_intState = answer;
    Unload();
}

}  // namespace tamsel
