// Control properties and the events they raise, whoever changes them.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "forms/Forms.h"
#include "forms/HeadlessToolkit.h"

namespace tamsel {
namespace {

class frmSample : public Form {
  public:
    explicit frmSample(Toolkit& toolkit) : Form(toolkit, "frmSample") {}
    TextBox& txtUser = Add<TextBox>("txtUser");
    CheckBox& chkBackground = Add<CheckBox>("chkBackground");
    ListBox& List = Add<ListBox>("List");
    ComboBox& comAutoUpdate = Add<ComboBox>("comAutoUpdate");
};

class ControlTest : public ::testing::Test {
  protected:
    HeadlessEventLoop loop;
    HeadlessToolkit toolkit{loop};
    frmSample form{toolkit};
};

TEST_F(ControlTest, ProgramChangesRaiseChangeAndClickOncePerRealChange) {
    std::vector<std::string> seen;
    form.txtUser.SetForeColor(kColourRed);
    form.txtUser.OnChange = [&] {
        seen.push_back(form.txtUser.Text());
        form.txtUser.SetForeColor(kColourWindowText);  // a handler may change other properties
    };
    form.chkBackground.OnClick = [&] { seen.push_back("click"); };
    form.txtUser.SetText("Please complete details");
    form.txtUser.SetText("Please complete details");
    form.txtUser.SetText("");
    form.chkBackground.SetValue(CheckBox::kChecked);
    form.chkBackground.SetValue(CheckBox::kChecked);
    EXPECT_EQ(seen, (std::vector<std::string>{"Please complete details", "", "click"}));
    EXPECT_EQ(form.txtUser.ForeColor(), kColourWindowText);
    EXPECT_TRUE(form.chkBackground.Checked());
}

TEST_F(ControlTest, ListTickHandlerRunsForProgramTicksWithTheNewState) {
    std::vector<std::pair<int, bool>> ticks;
    form.List.SetTickBoxes(true);
    form.List.OnItemCheck = [&](int index) { ticks.emplace_back(index, form.List.Checked(index)); };
    for (const char* line : {"New: 1.5kb  a.pot", "Remove: 0b  b.ppa"})
        form.List.SetChecked(form.List.AddItem(line), true);
    form.List.SetChecked(0, false);
    form.List.SetChecked(0, false);
    EXPECT_EQ(ticks, (std::vector<std::pair<int, bool>>{{0, true}, {1, true}, {0, false}}));
}

}  // namespace
}  // namespace tamsel
