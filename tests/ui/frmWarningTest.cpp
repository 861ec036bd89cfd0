#include <gtest/gtest.h>

#include "forms/HeadlessToolkit.h"
#include "forms/User.h"
#include "ui/frmWarning.h"

namespace tamsel {
namespace {

class frmWarningTest : public ::testing::Test {
  protected:
    HeadlessEventLoop loop;
    HeadlessToolkit toolkit{loop};
    frmWarning warning{toolkit};
};

TEST_F(frmWarningTest, OkConfirmsTheRemovalAndCloses) {
    toolkit.WhenShown("frmWarning", [](Form& form) {
        EXPECT_TRUE(user::Click(form.Get<CommandButton>("cmdRemove")));
    });
    warning.Show(ShowMode::Modal);
    EXPECT_FALSE(warning.IsLoaded());
    EXPECT_TRUE(warning.Delete());
    EXPECT_TRUE(warning.Complete());
    EXPECT_FALSE(warning.Update());
}

TEST_F(frmWarningTest, EnterMeansOkButEscapeDoesNot) {
    toolkit.WhenShown("frmWarning", [](Form& form) {
        EXPECT_FALSE(user::PressEscape(form));
        EXPECT_TRUE(user::PressEnter(form));
    });
    warning.Show(ShowMode::Modal);
    EXPECT_TRUE(warning.Delete());
}

TEST_F(frmWarningTest, ClosingByTheFrameLeavesBothFalse) {
    toolkit.WhenShown("frmWarning", [](Form& form) { EXPECT_TRUE(user::CloseByFrame(form)); });
    warning.Show(ShowMode::Modal);
    EXPECT_FALSE(warning.IsLoaded());
    EXPECT_FALSE(warning.Delete());
    EXPECT_FALSE(warning.Complete());
}

TEST_F(frmWarningTest, LayoutKeepsEveryControlInsideTheWindow) {
    for (const Control* control : warning.Controls()) {
        const Rect& box = control->Geometry();
        EXPECT_GE(box.left, 0) << control->Name();
        EXPECT_GE(box.top, 0) << control->Name();
        EXPECT_LE(box.left + box.width, warning.Width()) << control->Name();
        EXPECT_LE(box.top + box.height, warning.Height()) << control->Name();
    }
}

}  // namespace
}  // namespace tamsel
