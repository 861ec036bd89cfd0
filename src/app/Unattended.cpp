#include "app/Unattended.h"

#include <algorithm>
#include <thread>

#include "app/UpdaterApp.h"
#include "forms/User.h"
#include "platform/RegistryStore.h"

namespace tamsel {

namespace {

// The states in which the main window waits for its one button: the PowerPoint warning, a failed
// special processing, the finish and the failure.
bool WaitsForButton(const frmMain& main) {
    const MainState state = main.CurrentState();
    const bool ended = state == MainState::Failed || state == MainState::Finished;
    return main.cmdCancel.Visible() &&
           (state == MainState::WaitForPowerPointClosed ||
            state == MainState::WaitAfterSpecialFailure || (ended && !main.Timer1.Running()));
}

}  // namespace

UnattendedToolkit::UnattendedToolkit(HeadlessEventLoop& loop, std::ostream& out)
    : HeadlessToolkit(loop), out_(out) {}

void UnattendedToolkit::ShowForm(Form& form, ShowMode mode) {
    if (form.Name() != "frmMain") {
        const unsigned serial = ++nextSerial_;
        shows_[&form] = serial;
        Headless().PostAfter(kAnswerDelay,
                             [this, target = &form, serial] { Answer(target, serial, 1); });
    }
    HeadlessToolkit::ShowForm(form, mode);
}

// Presses the default button once the dialog has settled. A dialog that stays open after it (a
// confirmation still running, a notice still on its way to its question) is pressed again every
// tenth of a second for up to 12 seconds; one whose default button cannot be pressed, or that
// answers it with a message box (too few choices ticked), is left with its cancel button.
void UnattendedToolkit::Answer(Form* form, unsigned serial, int attempt) {
    constexpr int kAttempts = 120;
    constexpr std::chrono::milliseconds kRetryDelay{100};
    const auto shown = shows_.find(form);
    if (shown == shows_.end() || shown->second != serial) {
        return;
    }
    const auto loaded = LoadedForms();
    if (std::find(loaded.begin(), loaded.end(), form) == loaded.end() || !form->Visible()) {
        return;
    }
    const auto boxes = MessageBoxes().size();
    const bool pressed = user::PressEnter(*form);
    if ((!pressed && attempt >= 2) || MessageBoxes().size() > boxes || attempt >= kAttempts) {
        if (form->IsLoaded() && form->Visible()) {
            user::PressEscape(*form);
        }
        return;
    }
    if (form->IsLoaded() && form->Visible()) {
        Headless().PostAfter(kRetryDelay,
                             [this, form, serial, attempt] { Answer(form, serial, attempt + 1); });
    }
}

void UnattendedToolkit::FormUnloaded(Form& form) {
    shows_.erase(&form);
    HeadlessToolkit::FormUnloaded(form);
}

MsgBoxResult UnattendedToolkit::MsgBox(const std::string& prompt, int style,
                                       const std::string& title) {
    out_ << "[" << TitleOrDefault(title) << "] " << prompt << std::endl;
    HeadlessToolkit::MsgBox(prompt, style, title);
    return MsgBoxResult::Ok;
}

int RunUnattended(const std::string& appPath, const std::string& commandLine, std::ostream& out,
                  const std::string& lockPath, std::ostream& errors, UnattendedClock clock) {
    HeadlessEventLoop loop;
    // A large kit on a slow line may take hours; only a run that can never end is cut short.
    loop.SetRunLimit(std::chrono::hours(24 * 7));
    UnattendedToolkit toolkit(loop, out);
    UpdaterApp app(toolkit, appPath, commandLine, HttpTransportFactory{}, lockPath);
    app.Run().registry = MakeUserRegistryStore();
    app.Run().g_objMetrics.OnStatusLine = [&out](const std::string& line, bool) {
        out << line << std::endl;
    };

    if (clock == UnattendedClock::Wall) {
        // Timers keep to the wall clock: the virtual clock is never let run ahead of it.
        const auto started = std::chrono::steady_clock::now();
        loop.StartTimer(std::chrono::milliseconds(10),
                        [&loop, started] { std::this_thread::sleep_until(started + loop.Now()); });
    }
    // The main window's button is pressed soon after the run starts waiting for it.
    loop.StartTimer(std::chrono::milliseconds(50), [&app] {
        if (!app.Finished() && WaitsForButton(app.Main())) {
            user::Click(app.Main().cmdCancel);
        }
    });

    try {
        app.Start();
        loop.RunUntil([&app] { return app.Finished(); });
    } catch (const std::exception& error) {
        out << "Unattended run stopped: " << error.what() << std::endl;
        return 1;
    }
    return app.ExitStatus(errors);
}

}  // namespace tamsel
