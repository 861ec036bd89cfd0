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

TEST_F(StatusOutput, TheLastShoutOrScreamColoursTheWholePane) {
    metrics.Scream("WARNING!");
    EXPECT_EQ(form.InfoPane.ForeColor(), kColourRed);
    metrics.Shout("passed");
    EXPECT_EQ(form.InfoPane.ForeColor(), kColourBlack);
    EXPECT_EQ(form.InfoPane.ListCount(), 2);
    EXPECT_EQ(form.InfoPane.ListIndex(), 1);
}

TEST_F(StatusOutput, WisperExtendsTheLastLine) {
    metrics.Shout("Retrieving...");
    metrics.Wisper(" successful");
    EXPECT_EQ(form.InfoPane.ListCount(), 1);
    EXPECT_EQ(form.InfoPane.List(0), "Retrieving... successful");
    metrics.ClearPane();
    EXPECT_EQ(form.InfoPane.ListCount(), 0);
}

TEST_F(StatusOutput, WarningIsACriticalMessageBoxAndLeavesThePaneAlone) {
    metrics.Warning("Disk full");
    ASSERT_EQ(toolkit.MessageBoxes().size(), 1u);
    EXPECT_EQ(toolkit.MessageBoxes()[0].title, "Tamsel Problem");
    EXPECT_EQ(toolkit.MessageBoxes()[0].style & msgbox::kIconMask, msgbox::kCritical);
    EXPECT_EQ(form.InfoPane.ListCount(), 0);
}

TEST_F(StatusOutput, SharedObjectsAreCreatedOnceAndTheDebugTraceLivesBesideTheProgram) {
    EXPECT_EQ(&metrics.Http(), &metrics.Http());
    EXPECT_EQ(metrics.CompleteCatalogue(), metrics.CompleteCatalogue());
    EXPECT_EQ(&metrics.FormMemory(), &metrics.FormMemory());
    EXPECT_EQ(metrics.Debug().path, "/opt/Kit/Updater/debug.log");
    EXPECT_FALSE(metrics.Debugging());
}

}  // namespace
}  // namespace tamsel
