#include "app/frmMain.h"

#include <chrono>

#include "app/HandOffs.h"
#include "ui/LegalLabel.h"
#include "util/Text.h"

namespace tamsel {

namespace {

constexpr auto kWorkPerTick = std::chrono::milliseconds(40);

// The states that open a dialog or wait for the user: each is entered on a tick of its own.
bool WaitsForTheUser(int state) {
    switch (state) {
        case 2:   // the setup dialog
        case 17:  // the menu dialogs
        case 37:  // the review
        case 38:  // the background notice
        case 39:  // the processing dialog
        case 40:  // polls the processing dialog
        case 55:  // waits for Continue while PowerPoint is open
        case 56:  // the PowerPoint message box
        case 82:  // waits for Continue after a failed special processing
            return true;
        default:
            return false;
    }
}

}  // namespace

frmMain::frmMain(UpdateRun& run, std::string commandLine, bool previousInstance)
    : Form(run.GetToolkit(), "frmMain"),
      run_(run),
      metrics_(run.g_objMetrics),
      commandLine_(std::move(commandLine)),
      previousInstance_(previousInstance) {
    Move(0, 0, 440, 300);
    lblLegend.Move(12, 10, 416, 18);
    InfoPane.Move(12, 32, 416, 170);
    lblLegal.Move(12, 210, 320, 80);
    lblLegal.SetCaption("Legal");
    lblLegal.SetFont(7, false);
    cmdCancel.Move(340, 258, 88, 28);
    cmdCancel.SetCaption("&Cancel");
    cmdCancel.SetVisible(false);
    cmdCancel.SetDefault(true);
    Timer1.SetInterval(200);
    Timer1.SetEnabled(false);

    installHandOff = [this](const std::string& line) { InstallHandOff(run_, line); };
    removeHandOff = [this](const std::string& line) { RemoveHandOff(run_, line); };
    OnLoad = [this] { Form_Load(); };
    cmdCancel.OnClick = [this] { cmdCancel_Click(); };
    Timer1.OnTimer = [this] { Timer1_Timer(); };
}

void frmMain::Form_Load() {
    const std::string command = ToUpper(commandLine_);
    if (command.find("/INSTALL") != std::string::npos) {
        installHandOff(command);
        handedOff_ = true;
        Unload();
        return;
    }
    if (command.find("/REMOVE") != std::string::npos) {
        removeHandOff(command);
        handedOff_ = true;
        Unload();
        return;
    }
    metrics_.Silent(command.find("/SILENT") != std::string::npos);
    metrics_.Debugging(command.find("/DEBUG") != std::string::npos);

    SetCaption("Tamsel Updater");
    lblLegend.SetCaption("Connection status:");
    ShowLegalNotice(lblLegal);
    metrics_.Broadcast(&InfoPane);
    metrics_.FormMemory().SnapShot(*this);
    Timer1.SetEnabled(true);
}

void frmMain::cmdCancel_Click() {
    switch (state_) {
        case 55:
            state_ = 56;
            break;
        case 82:
            state_ = 84;
            break;
        case 100:
            runDeferredCommands();
            Unload();
            break;
        default:
            Unload();
            break;
    }
}

// States that only compute, read files or make a request run back to back until about 40 ms of
// work is done; then the event loop runs and the next tick goes on. A state that waits (its tick
// leaves it unchanged) or opens a dialog keeps the timer's pace.
void frmMain::Timer1_Timer() {
    if (previousInstance_) {
        gaveWay_ = true;
        Unload();
    }
    const auto start = std::chrono::steady_clock::now();
    while (true) {
        metrics_.Trace("Main::State [" + std::to_string(state_) + "]");
        const int before = state_;
        Step();
        if (state_ == before || WaitsForTheUser(state_) || !IsLoaded() || !Timer1.Enabled() ||
            std::chrono::steady_clock::now() - start >= kWorkPerTick) {
            return;
        }
    }
}

// The special command language arrives with special processing; until then a command is traced
// and passed over.
void frmMain::processSpecial2(const std::string& command) {
    if (!TrimSpaces(command).empty()) {
        metrics_.Trace("Main::processSpecial2(" + command + ") not available");
    }
}

void frmMain::runDeferredCommands() {
    for (const auto& command : run_.deferredCommands) {
        processSpecial2(command);
    }
}

}  // namespace tamsel
