#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "catalogue/CFile.h"
#include "config/CConfiguration.h"
#include "engine/CMetrics.h"
#include "forms/Forms.h"

namespace tamsel {

// The processing loop's states, one file at a time. The dialog's heartbeat label shows the
// number.
enum class ProcessState : int {
    NextFile = 0,
    CheckSelected = 2,  // a file the user did not select is skipped
    ChooseAction = 3,
    StartDownload = 4,
    WaitForDownload = 5,
    WriteFile = 6,
    RunFileCommands = 8,
    DeleteFile = 10,
    FileDone = 20,
    AllFilesDone = 30,
    Done = 99,  // closes the dialog
};

// The processing dialog: walks the complete catalogue file by file, downloads new and changed
// files into the kit folder and dates them, runs the commands attached to a downloaded file and
// deletes redundant files, showing progress and the time remaining. In a silent run it hides
// itself and works unseen.
class frmProcess : public Form {
  public:
    using SpecialCommand = std::function<void(const std::string& command)>;

    frmProcess(Toolkit& toolkit, CMetrics& metrics, const CConfiguration& local,
               const CConfiguration& global, SpecialCommand processSpecial2);

    Timer& Timer1 = Add<Timer>("Timer1");
    Label& lblStatus = Add<Label>("lblStatus");
    Label& lblInfo = Add<Label>("lblInfo");
    Label& lblFrame = Add<Label>("lblFrame");
    Label& lblState = Add<Label>("lblState");
    Label& lblPatience = Add<Label>("Label1");
    // The share of the bytes to download received so far (of the entries walked when there is
    // nothing to download).
    ProgressBar& barProgress = Add<ProgressBar>("barProgress");
    // Does what closing the window by its frame does; Escape presses it.
    CommandButton& cmdCancel = Add<CommandButton>("cmdCancel");

    long Files() const { return files_; }
    double Size() const { return processedSize_; }
    bool Complete() const { return complete_; }
    bool Canceled() const { return canceled_; }
    bool Error() const { return error_; }

    // How long one tick may keep working before it lets the window breathe.
    static constexpr std::chrono::milliseconds kTickBudget{40};
    // Downloads in a row that get no answer at all before the server is taken as gone.
    static constexpr long kUnansweredLimit = 20;
    // Steps of the progress bar when it counts bytes.
    static constexpr int kBarSteps = 1000;

  private:
    void Form_Load();
    void Timer1_Timer();
    // Runs the next steps as soon as the event loop is free.
    void ContinueSoon();
    // Performs the action of the current state and moves on; false when the loop must wait.
    bool Step();
    void Heartbeat();
    // The progress line and bar, with inFlight bytes of the current file already received.
    void ShowProgress(long index, long count, double inFlight = 0);
    std::string LocalPath() const;
    bool WriteDownload();
    // Reports a file that could not be handled, with its cause (the HTTP client's when empty),
    // and marks the run as failed.
    void FileFailed(const std::string& message, const std::string& cause = {});
    // Counts the download just ended; true when too many in a row got no answer.
    bool ServerGone();

    CMetrics& metrics_;
    const CConfiguration& local_;
    const CConfiguration& global_;
    SpecialCommand processSpecial2_;

    ProcessState state_ = ProcessState::NextFile;
    bool complete_ = false;
    bool canceled_ = true;
    bool error_ = false;
    bool deleteFailed_ = false;
    std::shared_ptr<CFile> current_;
    long index_ = 1;
    long files_ = 0;
    long unanswered_ = 0;
    double processedSize_ = 0;
    EventLoop::Clock startTime_{};
    bool continuationPosted_ = false;
    // Expires with the dialog, so that a step posted to the event loop never outlives it.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

// "1 second", "42 seconds", "1 minute", "2 minutes", "1 hour", "5 hours"; empty from 60 hours.
std::string DurationText(long long seconds);

// "Processing file 3 of 10    (1.5kb of 20kb, time remaining 2 minutes)".
std::string ProgressText(long index, long count, double processed, double total,
                         long long elapsedSeconds);

}  // namespace tamsel
