#include "app/frmMain.h"

#include "app/HandOffs.h"
#include "ui/LegalLabel.h"
#include "util/Text.h"

namespace tamsel {

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

void frmMain::Timer1_Timer() {
    if (previousInstance_) {
        gaveWay_ = true;
        Unload();
    }
    metrics_.Trace("Main::State [" + std::to_string(state_) + "]");
    Step();
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
