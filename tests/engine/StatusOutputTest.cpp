#include <gtest/gtest.h>

#include "engine/UpdateRun.h"
#include "forms/Forms.h"
#include "forms/HeadlessToolkit.h"

namespace tamsel {
namespace {

class PaneForm : public Form {
  public:
    explicit PaneForm(Toolkit& toolkit) : Form(toolkit, "frmPane") {}
    ListBox& InfoPane = Add<ListBox>("InfoPane");
};

class StatusOutput : public ::testing::Test {
  protected:
    HeadlessEventLoop loop;
    HeadlessToolkit toolkit{loop};
    UpdateRun run{toolkit, "/opt/Kit/Updater"};
    PaneForm form{toolkit};
    CMetrics& metrics = run.g_objMetrics;
    void SetUp() override { metrics.Broadcast(&form.InfoPane); }
};

TEST_F(StatusOutput, WisperExtendsTheLastLineAndAWarningIsAMessageBox) {
    metrics.Shout("Retrieving...");
    metrics.Wisper(" successful");
    EXPECT_EQ(form.InfoPane.ListCount(), 1);
    EXPECT_EQ(form.InfoPane.List(0), "Retrieving... successful");
    metrics.ClearPane();
    // A warning is a critical message box and leaves the pane alone.
    metrics.Warning("Disk full");
    ASSERT_EQ(toolkit.MessageBoxes().size(), 1u);
    EXPECT_EQ(toolkit.MessageBoxes()[0].title, "Tamsel Problem");
    EXPECT_EQ(toolkit.MessageBoxes()[0].style & msgbox::kIconMask, msgbox::kCritical);
    EXPECT_EQ(form.InfoPane.ListCount(), 0);
}

}  // namespace
}  // namespace tamsel
