// Control properties and the events they raise, whoever changes them.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "forms/Forms.h"
#include "forms/HeadlessToolkit.h"

namespace tamsel {
namespace {

class Recorder : public FormObserver {
  public:
    void ControlChanged(Control& control, ControlProperty property, int index) override {
        changes.emplace_back(control.Name() + ":" + std::to_string(static_cast<int>(property)),
                             index);
    }
    void FormChanged(FormProperty property) override { formChanges.push_back(property); }
    std::vector<std::pair<std::string, int>> changes;
    std::vector<FormProperty> formChanges;
};

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

TEST_F(ControlTest, ComboBoxFindsEntriesAndReportsSelection) {
    for (const char* entry : {"Daily", "2 Days", "Weekly", "Never"})
        form.comAutoUpdate.AddItem(entry);
    int clicks = 0;
    form.comAutoUpdate.OnClick = [&] { ++clicks; };
    EXPECT_EQ(form.comAutoUpdate.Text(), "");
    form.comAutoUpdate.SetListIndex(form.comAutoUpdate.FindItem("Weekly"));
    EXPECT_EQ(form.comAutoUpdate.Text(), "Weekly");
    EXPECT_EQ(form.comAutoUpdate.FindItem("Monthly"), -1);
    form.comAutoUpdate.SetListIndex(-1);
    EXPECT_EQ(form.comAutoUpdate.Text(), "");
    EXPECT_EQ(clicks, 2);
    EXPECT_THROW(form.comAutoUpdate.SetListIndex(4), std::out_of_range);
}

TEST_F(ControlTest, ObserverSeesEveryRealChangeWithItsIndex) {
    Recorder recorder;
    form.SetObserver(&recorder);
    form.List.AddItem("one");
    form.List.AddItem("two");
    form.List.SetList(1, "two more");
    form.List.SetForeColor(kColourRed);
    form.List.SetForeColor(kColourRed);
    form.txtUser.SetEnabled(false);
    form.SetCaption("Tamsel Updater");
    form.SetTopMost(true);
    const auto change = [](const char* control, ControlProperty property, int index) {
        return std::pair{control + (":" + std::to_string(static_cast<int>(property))), index};
    };
    EXPECT_EQ(recorder.changes, (std::vector<std::pair<std::string, int>>{
                                    change("List", ControlProperty::ItemAdded, 0),
                                    change("List", ControlProperty::ItemAdded, 1),
                                    change("List", ControlProperty::ItemText, 1),
                                    change("List", ControlProperty::ForeColor, -1),
                                    change("txtUser", ControlProperty::Enabled, -1)}));
    EXPECT_EQ(recorder.formChanges,
              (std::vector<FormProperty>{FormProperty::Caption, FormProperty::TopMost}));
    form.SetObserver(nullptr);
}

TEST_F(ControlTest, FormFindsControlsByNameAndKind) {
    EXPECT_EQ(&form.Get<TextBox>("txtUser"), &form.txtUser);
    EXPECT_EQ(form.Find("nothing"), nullptr);
    EXPECT_THROW(form.Get<CommandButton>("txtUser"), std::invalid_argument);
}

}  // namespace
}  // namespace tamsel
