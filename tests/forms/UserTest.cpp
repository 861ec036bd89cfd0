// Scripted user gestures: reachability, focus, typing, ticking, keyboard buttons.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "forms/Forms.h"
#include "forms/HeadlessToolkit.h"
#include "forms/User.h"

namespace tamsel {
namespace {

// A prompt shown in red that clears when the user enters the box, as the setup dialog does.
class frmPrompt : public Form {
  public:
    explicit frmPrompt(Toolkit& toolkit) : Form(toolkit, "frmPrompt") {
        txtUser.SetForeColor(kColourRed);
        txtUser.SetText("Please complete details");
        txtUser.OnGotFocus = [this] {
            if (txtUser.ForeColor() == kColourRed) {
                txtUser.SetText("");
                txtUser.SetForeColor(kColourBlack);
            }
        };
        txtUser.OnChange = [this] { changes.push_back(txtUser.Text()); };
        txtUser.OnLostFocus = [this] { changes.push_back("<left>"); };
        cmdConnect.SetDefault(true);
        cmdCancel.SetCancel(true);
        cmdConnect.OnClick = [this] { pressed.push_back("connect"); };
        cmdCancel.OnClick = [this] { pressed.push_back("cancel"); };
        List.SetTickBoxes(true);
        List.AddItem("one");
        List.AddItem("two");
        List.OnClick = [this] { pressed.push_back("line " + std::to_string(List.ListIndex())); };
    }
    TextBox& txtUser = Add<TextBox>("txtUser");
    CommandButton& cmdConnect = Add<CommandButton>("cmdConnect");
    CommandButton& cmdCancel = Add<CommandButton>("cmdCancel");
    ListBox& List = Add<ListBox>("List");
    std::vector<std::string> changes;
    std::vector<std::string> pressed;
};

class UserTest : public ::testing::Test {
  protected:
    void SetUp() override { form.Show(); }
    HeadlessEventLoop loop;
    HeadlessToolkit toolkit{loop};
    frmPrompt form{toolkit};
};

TEST_F(UserTest, TypingClearsTheRedPromptThenChangesOncePerCharacterUntilAClickTakesFocus) {
    ASSERT_TRUE(user::Type(form.txtUser, "Ann"));
    EXPECT_EQ(form.txtUser.ForeColor(), kColourBlack);
    EXPECT_EQ(toolkit.Focused(form), &form.txtUser);
    ASSERT_TRUE(user::Click(form.cmdConnect));
    EXPECT_EQ(form.changes, (std::vector<std::string>{"", "A", "An", "Ann", "<left>"}));
    EXPECT_EQ(toolkit.Focused(form), &form.cmdConnect);
}

TEST_F(UserTest, UnreachableControlsIgnoreTheUser) {
    form.txtUser.SetEnabled(false);
    form.txtUser.SetFocus();
    EXPECT_EQ(toolkit.Focused(form), nullptr) << "program focus on a disabled control";
    form.cmdConnect.SetEnabled(false);
    EXPECT_FALSE(user::Click(form.cmdConnect));
    EXPECT_FALSE(user::PressEnter(form));
    form.txtUser.SetEnabled(true);
    form.txtUser.SetVisible(false);
    EXPECT_FALSE(user::Type(form.txtUser, "x"));
    form.Hide();
    EXPECT_FALSE(user::Click(form.cmdCancel));
    EXPECT_TRUE(form.pressed.empty());
    EXPECT_EQ(form.txtUser.Text(), "Please complete details");
}

TEST_F(UserTest, EnterAndEscapePressTheDefaultAndCancelButtons) {
    ASSERT_TRUE(user::PressEnter(form));
    ASSERT_TRUE(user::PressEscape(form));
    EXPECT_EQ(form.pressed, (std::vector<std::string>{"connect", "cancel"}));
}

TEST_F(UserTest, TickingALineSelectsItThenTicks) {
    std::vector<std::string> events;
    form.List.OnItemCheck = [&](int index) {
        events.push_back("tick " + std::to_string(index) + "=" +
                         std::to_string(form.List.Checked(index)));
    };
    ASSERT_TRUE(user::Tick(form.List, 1, true));
    EXPECT_EQ(form.pressed, (std::vector<std::string>{"line 1"}));
    EXPECT_EQ(events, (std::vector<std::string>{"tick 1=1"}));
}

}  // namespace
}  // namespace tamsel
