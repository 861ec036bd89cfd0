// Timers on the virtual clock.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "forms/Forms.h"
#include "forms/HeadlessToolkit.h"

namespace tamsel {
namespace {

using std::chrono::milliseconds;

class frmTimers : public Form {
  public:
    explicit frmTimers(Toolkit& toolkit) : Form(toolkit, "frmTimers") {
        Timer1.SetInterval(200);
        Timer2.SetInterval(100);
    }
    Timer& Timer1 = Add<Timer>("Timer1");
    Timer& Timer2 = Add<Timer>("Timer2");
};

class TimerTest : public ::testing::Test {
  protected:
    void Record(Timer& timer) {
        timer.OnTimer = [this, &timer] {
            ticks.push_back(timer.Name() + "@" + std::to_string(loop.Now().count()));
        };
    }
    HeadlessEventLoop loop;
    HeadlessToolkit toolkit{loop};
    frmTimers form{toolkit};
    std::vector<std::string> ticks;
};

TEST_F(TimerTest, TimersFireInDueOrderWithTheClockAtTheirDueTime) {
    Record(form.Timer1);
    Record(form.Timer2);
    form.Load();
    loop.Advance(milliseconds(450));
    EXPECT_EQ(ticks, (std::vector<std::string>{"Timer2@100", "Timer1@200", "Timer2@200",
                                               "Timer2@300", "Timer1@400", "Timer2@400"}));
    EXPECT_EQ(loop.Now(), milliseconds(450));
}

TEST_F(TimerTest, TimersRunOnlyWhileEnabledAndLoaded) {
    Record(form.Timer1);
    form.Timer2.SetEnabled(false);
    Record(form.Timer2);
    loop.Advance(milliseconds(1000));
    EXPECT_TRUE(ticks.empty()) << "not loaded yet";
    form.Load();
    loop.Advance(milliseconds(200));
    form.Hide();  // hidden forms keep ticking
    loop.Advance(milliseconds(200));
    form.Unload();
    loop.Advance(milliseconds(1000));
    EXPECT_EQ(ticks, (std::vector<std::string>{"Timer1@1200", "Timer1@1400"}));
    EXPECT_EQ(loop.ActiveTimers(), 0U);
}

TEST_F(TimerTest, ChangingIntervalOrEnabledRestartsTheCount) {
    Record(form.Timer1);
    form.Timer2.SetEnabled(false);
    form.Load();
    loop.Advance(milliseconds(150));
    form.Timer1.SetInterval(100);  // next tick 100 ms from now, not at 200
    loop.Advance(milliseconds(100));
    form.Timer1.SetEnabled(false);
    form.Timer1.SetEnabled(true);
    loop.Advance(milliseconds(99));
    EXPECT_EQ(ticks, (std::vector<std::string>{"Timer1@250"}));
    form.Timer1.SetInterval(0);
    EXPECT_FALSE(form.Timer1.Running());
}

TEST(HeadlessEventLoopTest, PostedTasksRunBeforeTimersAndDelayedOnesAtTheirTime) {
    HeadlessEventLoop loop;
    std::vector<std::string> order;
    loop.StartTimer(milliseconds(10), [&] { order.push_back("tick"); });
    loop.PostAfter(milliseconds(15), [&] { order.push_back("later"); });
    loop.Post([&] { order.push_back("task"); });
    loop.Advance(milliseconds(20));
    EXPECT_EQ(order, (std::vector<std::string>{"task", "tick", "later", "tick"}));
}

TEST(HeadlessEventLoopTest, RunUntilWithNothingToRunStallsInsteadOfHanging) {
    HeadlessEventLoop loop;
    EXPECT_THROW(loop.RunUntil([] { return false; }), HeadlessStall);
    loop.StartTimer(milliseconds(200), [] {});
    loop.SetRunLimit(milliseconds(5000));
    EXPECT_THROW(loop.RunUntil([] { return false; }), HeadlessStall);
    EXPECT_LE(loop.Now(), milliseconds(5000));
}

}  // namespace
}  // namespace tamsel
