#include "ui/frmUpdate.h"

#include <gtest/gtest.h>

#include "engine/UpdateRun.h"
#include "forms/HeadlessToolkit.h"
#include "forms/User.h"

namespace tamsel {
namespace {

class ReviewDialog : public ::testing::Test {
  protected:
    void entry(const std::string& url, long type, const std::string& size) {
        auto file = std::make_shared<CFile>();
        file->URL(url);
        file->myType(type);
        file->Size(size);
        metrics.CompleteCatalogue()->Files().add(file);
    }
    const CFiles::Entries& files() { return metrics.CompleteCatalogue()->Files().asCollection(); }

    HeadlessEventLoop loop;
    HeadlessToolkit toolkit{loop};
    UpdateRun run{toolkit, "/opt/Kit/Updater"};
    CMetrics& metrics = run.g_objMetrics;
};

TEST_F(ReviewDialog, UntickingSkipsTheEntryButKeepsTheSummary) {
    entry("/a.pot", CFile::TypeNew, "10");
    entry("/b.pot", CFile::TypeNew, "20");
    frmUpdate dialog(toolkit, metrics);
    toolkit.WhenShown("frmUpdate", [&dialog](Form&) {
        user::Tick(dialog.List, 1, false);
        user::Click(dialog.chkBackground);
        user::Click(dialog.cmdContinue);
    });
    dialog.Show(ShowMode::Modal);
    EXPECT_TRUE(dialog.Complete());
    EXPECT_TRUE(dialog.Background());
    EXPECT_TRUE(files()[0]->Tag());
    EXPECT_FALSE(files()[1]->Tag());
    EXPECT_EQ(dialog.lblStatus.Caption(), "2 files to update (30b)");
}

TEST_F(ReviewDialog, CancelLeavesCompleteFalseWhateverTheBackgroundBox) {
    entry("/a.pot", CFile::TypeNew, "10");
    frmUpdate dialog(toolkit, metrics);
    toolkit.WhenShown("frmUpdate", [&dialog](Form&) {
        user::Click(dialog.chkBackground);
        user::Click(dialog.cmdCancel);
    });
    dialog.Show(ShowMode::Modal);
    EXPECT_FALSE(dialog.Complete());
}

TEST_F(ReviewDialog, SilentRunsCannotChooseTheBackground) {
    metrics.Silent(true);
    frmUpdate dialog(toolkit, metrics);
    dialog.Load();
    EXPECT_FALSE(dialog.chkBackground.Enabled());
    EXPECT_EQ(dialog.lblStatus.Caption(), "no updates");
}

}  // namespace
}  // namespace tamsel
