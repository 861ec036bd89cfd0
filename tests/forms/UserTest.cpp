// The gestures an unattended run makes: clicks and the Enter and Escape keys.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "forms/Forms.h"
#include "forms/HeadlessToolkit.h"
#include "forms/User.h"

namespace tamsel {
namespace {

class frmPrompt : public Form {
  public:
    explicit frmPrompt(Toolkit& toolkit) : Form(toolkit, "frmPrompt") {
        txtUser.SetText("Please complete details");
        cmdConnect.SetDefault(true);
        cmdCancel.SetCancel(true);
        cmdConnect.OnClick = [this] { pressed.push_back("connect"); };
        cmdCancel.OnClick = [this] { pressed.push_back("cancel"); };
    }
    TextBox& txtUser = Add<TextBox>("txtUser");
    CommandButton& cmdConnect = Add<CommandButton>("cmdConnect");
    CommandButton& cmdCancel = Add<CommandButton>("cmdCancel");
    std::vector<std::string> pressed;
};

class UserTest : public ::testing::Test {
  protected:
    void SetUp() override { form.Show(); }
    HeadlessEventLoop loop;
    HeadlessToolkit toolkit{loop};
    frmPrompt form{toolkit};
};

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

}  // namespace
}  // namespace tamsel
