#include <gtest/gtest.h>

#include <functional>

#include "forms/HeadlessToolkit.h"
#include "forms/User.h"
#include "ui/frmWarning.h"

namespace tamsel {
namespace {

class frmWarningTest : public ::testing::Test {
  protected:
    HeadlessEventLoop loop;
    HeadlessToolkit toolkit{loop};
};

// The remove button and Enter confirm the removal; Escape does nothing; the frame's close refuses.
TEST_F(frmWarningTest, GesturesConfirmOrRefuseTheRemovalAndClose) {
    const struct {
        std::function<bool(Form&)> gesture;
        bool confirmed;
    } rows[] = {{[](Form& f) { return user::Click(f.Get<CommandButton>("cmdRemove")); }, true},
                {[](Form& f) { return !user::PressEscape(f) && user::PressEnter(f); }, true},
                {[](Form& f) { return user::CloseByFrame(f); }, false}};
    for (const auto& row : rows) {
        frmWarning dialog(toolkit);
        toolkit.WhenShown("frmWarning", [&row](Form& form) { EXPECT_TRUE(row.gesture(form)); });
        dialog.Show(ShowMode::Modal);
        EXPECT_FALSE(dialog.IsLoaded());
        EXPECT_EQ(dialog.Delete(), row.confirmed);
        EXPECT_EQ(dialog.Complete(), row.confirmed);
        EXPECT_FALSE(dialog.Update());
    }
}

}  // namespace
}  // namespace tamsel
