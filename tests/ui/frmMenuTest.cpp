#include "ui/frmMenu.h"

#include <gtest/gtest.h>

#include "forms/HeadlessToolkit.h"
#include "forms/User.h"

namespace tamsel {
namespace {

class MenuDialog : public ::testing::Test {
  protected:
    std::shared_ptr<CChoice> addChoice(const std::string& name, bool selected = false) {
        auto choice = std::make_shared<CChoice>();
        choice->Tuple(name, "/" + name);
        choice->Active(selected);
        menu->add(choice);
        return choice;
    }

    // Shows the menu; the script runs while it is open.
    bool show(std::function<void(frmMenu&)> script) {
        frmMenu dialog(toolkit, local);
        dialog.setMenu(menu);
        toolkit.WhenShown("frmMenu", [&dialog, script](Form&) { script(dialog); });
        dialog.Show(ShowMode::Modal);
        return dialog.Complete();
    }

    HeadlessEventLoop loop;
    HeadlessToolkit toolkit{loop};
    CConfiguration local;
    std::shared_ptr<CMenu> menu = std::make_shared<CMenu>();
};

TEST_F(MenuDialog, HistoricalAndSelectedChoicesComeUpTicked) {
    local.add(CConfiguration::Setting("historical", "Sales"));
    // A different letter case names another package.
    local.add(CConfiguration::Setting("historical", "finance"));
    auto sales = addChoice("Sales");
    auto finance = addChoice("Finance");
    auto logos = addChoice("Logos", true);
    menu->Caption("Templates");
    EXPECT_TRUE(show([](frmMenu& dialog) {
        EXPECT_EQ(dialog.lblCaption.Caption(), "Templates");
        EXPECT_TRUE(dialog.List.Checked(0));
        EXPECT_FALSE(dialog.List.Checked(1));
        EXPECT_TRUE(dialog.List.Checked(2));
        user::Click(dialog.cmdContinue);
    }));
    EXPECT_TRUE(sales->Active() && sales->Historical());
    EXPECT_FALSE(finance->Active() || finance->Historical());
    EXPECT_TRUE(logos->Active());
    EXPECT_TRUE(toolkit.MessageBoxes().empty());
}

TEST_F(MenuDialog, UntickingAnInstalledPackageWarnsEachTime) {
    local.putValue("historical", "Sales");
    auto sales = addChoice("Sales");
    addChoice("Logos", true);
    toolkit.WhenShown("frmWarning", [](Form& form) { user::PressEnter(form); });
    toolkit.WhenShown("frmWarning", [](Form& form) { user::PressEnter(form); });
    show([this](frmMenu& dialog) {
        user::Tick(dialog.List, 1, false);
        user::Tick(dialog.List, 1, true);
        user::Tick(dialog.List, 0, false);
        // Back from the warning the keyboard is on the unticked line, not on a button.
        EXPECT_EQ(toolkit.Focused(dialog), &dialog.List);
        EXPECT_EQ(dialog.List.ListIndex(), 0);
        user::Tick(dialog.List, 0, true);
        user::Tick(dialog.List, 0, false);
        // A package only selected by the catalogue was never installed: no warning.
        user::Tick(dialog.List, 1, false);
        user::Click(dialog.cmdCancel);
    });
    EXPECT_EQ(std::count(toolkit.ShowLog().begin(), toolkit.ShowLog().end(), "frmWarning"), 2);
    EXPECT_EQ(toolkit.PendingScripts(), 0u);
    // Cancelling keeps the ticks as they were last set.
    EXPECT_FALSE(sales->Active());
}

TEST_F(MenuDialog, ForceNeedsEnoughTicksBeforeContinuing) {
    menu->Force(2);
    addChoice("Sales", true);
    addChoice("Finance");
    EXPECT_TRUE(show([this](frmMenu& dialog) {
        user::Click(dialog.cmdContinue);
        ASSERT_EQ(toolkit.MessageBoxes().size(), 1u);
        EXPECT_EQ(toolkit.MessageBoxes()[0].prompt,
                  "Please make a selection before clicking the 'Continue' button.");
        EXPECT_TRUE(dialog.Visible());
        user::Tick(dialog.List, 1, true);
        user::Click(dialog.cmdContinue);
    }));
}

}  // namespace
}  // namespace tamsel
