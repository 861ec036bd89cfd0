#pragma once

#include <functional>
#include <memory>
#include <string>

#include "app/MainState.h"
#include "catalogue/CCatalogue.h"
#include "catalogue/CChoice.h"
#include "catalogue/CMenu.h"
#include "engine/UpdateRun.h"
#include "engine/frmProcess.h"
#include "forms/Forms.h"
#include "reporting/Environment.h"
#include "ui/frmUpdate.h"

namespace tamsel {

// The main window: the status pane, the one button, and the 200 ms timer that steps the main
// update sequence one state per tick.
class frmMain : public Form {
  public:
    // previousInstance: another copy of the program is already running.
    frmMain(UpdateRun& run, std::string commandLine, bool previousInstance);

    ListBox& InfoPane = Add<ListBox>("InfoPane");
    Label& lblLegend = Add<Label>("lblLegend");
    Label& lblLegal = Add<Label>("lblLegal");
    CommandButton& cmdCancel = Add<CommandButton>("cmdCancel");
    Timer& Timer1 = Add<Timer>("Timer1");

    MainState CurrentState() const { return state_; }
    // The state's number, as the debug trace prints it.
    int State() const { return static_cast<int>(state_); }
    void SetState(MainState state) { state_ = state; }
    void SetState(int state) { state_ = static_cast<MainState>(state); }
    // The run got to its end as planned, was not cancelled on the way and its special processing
    // did not fail. The installer's hand-offs report their own outcome and count as finished.
    bool EndedFinished() const {
        return handedOff_ ||
               ((state_ == MainState::Finished || state_ == MainState::FinishedQuietly) &&
                !canceled_ && !run_.specialFailed);
    }
    // This copy gave way to one that was already running.
    bool GaveWay() const { return gaveWay_; }

    // Runs every command queued for the end of the run, in order, once.
    void runDeferredCommands();
    // Runs one special command.
    void processSpecial2(const std::string& command);

    // The installer's hand-offs, given the upper-cased command line; replaceable for tests.
    std::function<void(const std::string&)> installHandOff;
    std::function<void(const std::string&)> removeHandOff;

    // What the update log reports about the machine: the registry store and the Office detection
    // are handed to it here.
    std::unique_ptr<Environment> environment = std::make_unique<Environment>();

  private:
    void Form_Load();
    void cmdCancel_Click();
    void Timer1_Timer();
    // Runs the next steps of the sequence as soon as the event loop is free.
    void ContinueSoon();
    // One state of the main update sequence.
    void Step();
    void StepSpecial();
    void ShowSetup();
    bool PrepareKitFolder();
    void ShowMenus();
    // Writes the packages chosen in the menus as the history, once.
    void SaveChoices();
    void ShowReview();
    void SilentReview();
    void Finish();
    void Fail();
    // The folder above the kit folder, where special files live.
    std::string ParentOfKit() const;
    void ShowCentredOnTop();
    // Sends the completion notice to the address the master catalogue gives, if any.
    void sendCompletionNotice();
    // Writes the update log and uploads it (critical: the run failed).
    void sendLog(bool critical);

    UpdateRun& run_;
    CMetrics& metrics_;
    std::string commandLine_;
    bool previousInstance_;

    // Expires with the window, so that a step posted to the event loop never outlives it.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    bool stepping_ = false;
    MainState state_ = MainState::Start;
    int menuIndex_ = 0;
    int powerPointPrompts_ = 0;
    bool canceled_ = false;
    bool gaveWay_ = false;
    bool handedOff_ = false;
    bool choicesToSave_ = false;
    std::shared_ptr<CChoice> currentChoice_;
    std::shared_ptr<CCatalogue> secondaryCatalogue_;
    std::shared_ptr<CMenu> flattenedMenu_;
    std::unique_ptr<frmUpdate> m_objUpdate;
    std::unique_ptr<frmProcess> m_objProccess;
};

}  // namespace tamsel
