#pragma once

#include <chrono>
#include <iostream>
#include <map>
#include <ostream>
#include <string>

#include "forms/HeadlessToolkit.h"

namespace tamsel {

// A toolkit for runs nobody watches: no window is shown, every dialog is answered as a user
// pressing its default button would (its cancel button when the default cannot be pressed),
// message boxes are answered OK, and what a user would read is written to the output.
class UnattendedToolkit : public HeadlessToolkit {
  public:
    UnattendedToolkit(HeadlessEventLoop& loop, std::ostream& out);

    void ShowForm(Form& form, ShowMode mode) override;
    void FormUnloaded(Form& form) override;
    MsgBoxResult MsgBox(const std::string& prompt, int style, const std::string& title) override;

    // How long a dialog is left to settle before it is answered: two ticks of the dialogs' 200 ms
    // timers (the setup dialog enables Connect, the background notice reaches its question).
    static constexpr std::chrono::milliseconds kAnswerDelay{450};

  private:
    // Answers the form if it is still the one shown under that serial number.
    void Answer(Form* form, unsigned serial, int attempt);

    std::ostream& out_;
    std::map<const Form*, unsigned> shows_;
    unsigned nextSerial_ = 0;
};

// What the timers of an unattended run keep to: the wall clock, or a virtual clock that runs as
// fast as the work (for tests: dialogs are answered without waiting for real time to pass).
enum class UnattendedClock { Wall, Virtual };

// Runs the updater for the program in appPath without a window: the interactive road, every
// question answered with its default, every status line written to out as it appears. Exit
// status 0 when the run reached its finish, 1 otherwise. lockPath empty: the user's lock file.
int RunUnattended(const std::string& appPath, const std::string& commandLine, std::ostream& out,
                  const std::string& lockPath = {}, std::ostream& errors = std::cerr,
                  UnattendedClock clock = UnattendedClock::Wall);

}  // namespace tamsel
