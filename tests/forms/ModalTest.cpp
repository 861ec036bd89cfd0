// Modal shows: nesting, hiding to end modality, timers across modal loops.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "forms/Forms.h"
#include "forms/HeadlessToolkit.h"
#include "forms/User.h"

namespace tamsel {
namespace {

// Works through five ticks of its timer, then reports Complete and unloads; hides itself on
// activation in a silent run.
class frmWorker : public Form {
  public:
    frmWorker(Toolkit& toolkit, bool silent) : Form(toolkit, "frmWorker") {
        Timer1.SetInterval(200);
        OnActivate = [this, silent] {
            if (silent)
                Hide();
        };
        Timer1.OnTimer = [this] {
            if (++ticks == 5) {
                complete = true;
                Unload();
            }
        };
    }
    Timer& Timer1 = Add<Timer>("Timer1");
    int ticks = 0;
    bool complete = false;
};

// The main window's pattern: a 200 ms timer steps a state machine that shows the worker
// modally and then polls it.
class frmMainLike : public Form {
  public:
    frmMainLike(Toolkit& toolkit, bool silent) : Form(toolkit, "frmMain"), worker(toolkit, silent) {
        Timer1.SetInterval(200);
        Timer1.OnTimer = [this] {
            log.push_back("main@" + std::to_string(GetToolkit().Loop().Now().count()));
            if (state == 0) {
                state = 1;
                worker.Show(ShowMode::Modal);
                log.push_back("shown returned, complete=" + std::to_string(worker.complete));
            } else if (state == 1 && worker.complete) {
                state = 2;
                Unload();
            }
        };
    }
    Timer& Timer1 = Add<Timer>("Timer1");
    frmWorker worker;
    int state = 0;
    std::vector<std::string> log;
};

class ModalTest : public ::testing::Test {
  protected:
    HeadlessEventLoop loop;
    HeadlessToolkit toolkit{loop};
};

// A modal show suspends the opening tick until the dialog closes (the worker runs 200..1200
// inside the first tick); hiding ends the modal show while the dialog's timer keeps working.
TEST(Modal, ShowSuspendsTheOpeningTickUnlessTheDialogHides) {
    const std::vector<std::string> logs[] = {
        {"main@200", "shown returned, complete=1", "main@1400"},
        {"main@200", "shown returned, complete=0", "main@400", "main@600", "main@800", "main@1000",
         "main@1200"}};
    for (const bool silent : {false, true}) {
        HeadlessEventLoop loop;
        HeadlessToolkit toolkit{loop};
        frmMainLike main(toolkit, silent);
        main.Show();
        loop.RunUntil([&] { return !main.IsLoaded(); });
        EXPECT_EQ(main.log, logs[silent]) << silent;
        EXPECT_EQ(main.worker.ticks, 5);
        EXPECT_FALSE(main.worker.IsLoaded());
    }
}

class frmDialog : public Form {
  public:
    frmDialog(Toolkit& toolkit, std::string name) : Form(toolkit, std::move(name)) {
        cmdOK.OnClick = [this] { Unload(); };
    }
    CommandButton& cmdOK = Add<CommandButton>("cmdOK");
    CommandButton& cmdMore = Add<CommandButton>("cmdMore");
};

TEST_F(ModalTest, NestedModalShowsReturnInnermostFirst) {
    frmDialog outer(toolkit, "frmMenu");
    frmDialog inner(toolkit, "frmWarning");
    std::vector<std::string> log;
    outer.cmdMore.OnClick = [&] {
        inner.Show(ShowMode::Modal);
        log.push_back("inner returned");
    };
    toolkit.WhenShown("frmMenu", [&](Form& form) {
        EXPECT_TRUE(user::Click(form.Get<CommandButton>("cmdMore")));
        log.push_back("outer script goes on");
        EXPECT_TRUE(user::Click(form.Get<CommandButton>("cmdOK")));
    });
    toolkit.WhenShown("frmWarning", [&](Form& form) {
        log.push_back("inner script");
        EXPECT_TRUE(user::Click(form.Get<CommandButton>("cmdOK")));
    });
    outer.Show(ShowMode::Modal);
    log.push_back("outer returned");
    EXPECT_EQ(log, (std::vector<std::string>{"inner script", "inner returned",
                                             "outer script goes on", "outer returned"}));
    EXPECT_EQ(toolkit.ShowLog(), (std::vector<std::string>{"frmMenu", "frmWarning"}));
    EXPECT_EQ(toolkit.PendingScripts(), 0U);
}

}  // namespace
}  // namespace tamsel
