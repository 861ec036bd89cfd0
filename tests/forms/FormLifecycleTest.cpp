// Load, show, hide, unload and activation of forms.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "forms/Forms.h"
#include "forms/HeadlessToolkit.h"
#include "forms/User.h"

namespace tamsel {
namespace {

class frmLog : public Form {
  public:
    frmLog(Toolkit& toolkit, std::string name, std::vector<std::string>& log)
        : Form(toolkit, std::move(name)) {
        OnLoad = [this, &log] { log.push_back(Name() + ".Load"); };
        OnActivate = [this, &log] { log.push_back(Name() + ".Activate"); };
        OnQueryUnload = [this, &log](bool& cancel, UnloadMode mode) {
            log.push_back(Name() + ".QueryUnload " + std::to_string(static_cast<int>(mode)));
            cancel = refuseClose;
        };
        OnUnload = [this, &log](bool&) { log.push_back(Name() + ".Unload"); };
        cmdClose.OnClick = [this] { Unload(); };
    }
    CommandButton& cmdClose = Add<CommandButton>("cmdClose");
    bool refuseClose = false;
};

class FormLifecycleTest : public ::testing::Test {
  protected:
    HeadlessEventLoop loop;
    HeadlessToolkit toolkit{loop};
    std::vector<std::string> log;
};

TEST_F(FormLifecycleTest, ShowLoadsOnceActivatesAndEveryUnloadReportsItsMode) {
    frmLog form(toolkit, "frmA", log);
    form.Show();
    form.Hide();
    form.Show();
    EXPECT_TRUE(form.Visible());
    EXPECT_EQ(toolkit.LoadedForms(), std::vector<Form*>{&form});
    // Closed by the frame: refused, then allowed.
    form.refuseClose = true;
    EXPECT_TRUE(user::CloseByFrame(form));
    EXPECT_TRUE(form.IsLoaded());
    EXPECT_TRUE(form.Visible());
    form.refuseClose = false;
    EXPECT_TRUE(user::CloseByFrame(form));
    EXPECT_FALSE(form.IsLoaded());
    EXPECT_FALSE(form.Visible());
    EXPECT_TRUE(toolkit.LoadedForms().empty());
    // Loaded again, then closed from code.
    form.Show();
    ASSERT_TRUE(user::Click(form.cmdClose));
    EXPECT_FALSE(user::CloseByFrame(form));  // nothing left to close
    EXPECT_EQ(log, (std::vector<std::string>{"frmA.Load", "frmA.Activate", "frmA.Activate",
                                             "frmA.QueryUnload 0", "frmA.QueryUnload 0",
                                             "frmA.Unload", "frmA.Load", "frmA.Activate",
                                             "frmA.QueryUnload 1", "frmA.Unload"}));
}

TEST_F(FormLifecycleTest, OwnerIsActivatedAgainWhenModalChildCloses) {
    frmLog owner(toolkit, "frmMain", log);
    frmLog child(toolkit, "frmWarning", log);
    owner.Show();
    toolkit.WhenShown("frmWarning", [](Form& form) { form.Unload(); });
    child.Show(ShowMode::Modal);
    EXPECT_EQ(log, (std::vector<std::string>{"frmMain.Load", "frmMain.Activate", "frmWarning.Load",
                                             "frmWarning.Activate", "frmWarning.QueryUnload 1",
                                             "frmWarning.Unload", "frmMain.Activate"}));
    EXPECT_EQ(toolkit.ActiveForm(), &owner);
}

TEST_F(FormLifecycleTest, OnlyTheFirstShowAfterLoadCentres) {
    frmLog centred(toolkit, "frmA", log);
    centred.Move(0, 0, 400, 300);
    centred.Show();
    EXPECT_EQ(centred.Geometry(), (Rect{312, 234, 400, 300}));
    centred.Move(5, 6, 400, 300);
    centred.Hide();
    centred.Show();
    EXPECT_EQ(centred.Left(), 5) << "only the first show after loading centres";
}

}  // namespace
}  // namespace tamsel
