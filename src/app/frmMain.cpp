#include "app/frmMain.h"

#include <chrono>

#include "app/HandOffs.h"
#include "platform/ExecutableName.h"
#include "special/SpecialProcessing.h"
#include "ui/LegalLabel.h"
#include "util/Text.h"

namespace tamsel {

namespace {

constexpr auto kWorkPerTick = std::chrono::milliseconds(40);

// Sets a flag for the lifetime of the object.
class FlagWhile {
  public:
    explicit FlagWhile(bool& flag) : flag_(flag) { flag_ = true; }
    ~FlagWhile() { flag_ = false; }
    FlagWhile(const FlagWhile&) = delete;
    FlagWhile& operator=(const FlagWhile&) = delete;

  private:
    bool& flag_;
};

// The states that poll or wait for the user: each is entered on a tick of its own, so they keep
// the timer's pace. A dialog opened by a state holds its tick until it closes.
bool WaitsForTheUser(MainState state) {
    switch (state) {
        case MainState::WaitForProcessing:
        case MainState::WaitForPowerPointClosed:
        case MainState::PromptPowerPointOpen:
        case MainState::WaitAfterSpecialFailure:
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

    if (!run_.special) {
        run_.special = std::make_unique<SpecialProcessing>(run_, ExecutableName());
    }
    installHandOff = [this](const std::string& line) { InstallHandOff(run_, line); };
    removeHandOff = [this](const std::string& line) { RemoveHandOff(run_, line); };
    OnLoad = [this] { Form_Load(); };
    // A finished run closed through the window frame still runs its deferred commands.
    OnUnload = [this](bool&) {
        if (state_ == MainState::Finished) {
            runDeferredCommands();
        }
    };
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
    // The sequence starts at once; the timer paces it from there.
    ContinueSoon();
}

void frmMain::cmdCancel_Click() {
    switch (state_) {
        case MainState::WaitForPowerPointClosed:
            state_ = MainState::PromptPowerPointOpen;
            break;
        case MainState::WaitAfterSpecialFailure:
            state_ = MainState::SpecialFailureSeen;
            break;
        case MainState::Finished:
            runDeferredCommands();
            Unload();
            break;
        default:
            Unload();
            break;
    }
}

// States that only compute, read files or make a request run back to back until about 40 ms of
// work is done; then the event loop runs (windows repaint, clicks arrive) and the sequence goes on
// at once. A state that polls or waits (its tick leaves it unchanged) keeps the timer's pace.
void frmMain::Timer1_Timer() {
    // A dialog opened by a step runs the event loop, which may hold a posted continuation.
    if (stepping_) {
        return;
    }
    const FlagWhile stepping(stepping_);
    if (previousInstance_) {
        gaveWay_ = true;
        Unload();
    }
    const auto start = std::chrono::steady_clock::now();
    while (true) {
        metrics_.Trace("Main::State [" + std::to_string(State()) + "]");
        const MainState before = state_;
        const int choiceBefore = menuIndex_;
        Step();
        // Passing over a package that is not chosen keeps the state and moves to the next choice.
        const bool moved = state_ != before || menuIndex_ != choiceBefore;
        // A processing dialog that has already finished leaves nothing to poll for.
        const bool finishedProcessing =
            state_ == MainState::WaitForProcessing && m_objProccess && m_objProccess->Complete();
        if (!moved || (WaitsForTheUser(state_) && !finishedProcessing) || !IsLoaded() ||
            !Timer1.Running()) {
            return;
        }
        if (std::chrono::steady_clock::now() - start >= kWorkPerTick) {
            ContinueSoon();
            return;
        }
    }
}

void frmMain::ContinueSoon() {
    GetToolkit().Loop().Post([this, alive = std::weak_ptr<bool>(alive_)] {
        if (!alive.expired() && IsLoaded() && Timer1.Running()) {
            Timer1_Timer();
        }
    });
}

void frmMain::processSpecial2(const std::string& command) {
    run_.special->processSpecial2(command);
}

// The commands run once: a second call finds the list empty.
void frmMain::runDeferredCommands() {
    run_.special->runDeferredCommands();
}

}  // namespace tamsel
