#include <gtest/gtest.h>

#include "engine/UpdateRun.h"
#include "engine/frmProcess.h"
#include "forms/HeadlessToolkit.h"
#include "support/HttpTestServer.h"
#include "support/TempDir.h"

namespace tamsel {
namespace {

class ProcessDialog : public ::testing::Test {
  protected:
    void SetUp() override {
        server.server().Get("/a.pot", [](const httplib::Request&, httplib::Response& res) {
            res.set_content("abc", "application/octet-stream");
        });
        ASSERT_TRUE(server.start());
        run.globalConfiguration.putValue("remote", server.url(""));
        run.localConfiguration.putValue("local", kit / "Files");
    }

    void entry(const std::string& url, long type, const std::string& action = {}) {
        auto file = std::make_shared<CFile>();
        file->URL(url);
        file->myType(type);
        file->Size("3");
        file->Time("05/01/2007");
        file->Action(action);
        file->Tag(true);
        run.g_objMetrics.CompleteCatalogue()->Files().add(file);
    }

    HeadlessEventLoop loop;
    HeadlessToolkit toolkit{loop};
    test::HttpTestServer server;
    test::TempDir kit;
    UpdateRun run{toolkit, kit / "Updater"};
};

TEST_F(ProcessDialog, ACommandThatFailsEndsTheLoopAsAnErrorInsteadOfTheProgram) {
    entry("/a.pot", CFile::TypeNew, "RUN|x");
    entry("/b.pot", CFile::TypeNew);
    frmProcess dialog(toolkit, run.g_objMetrics, run.localConfiguration, run.globalConfiguration,
                      [](const std::string& command) {
                          if (!command.empty()) {
                              throw std::runtime_error("cannot run " + command);
                          }
                      });
    dialog.Show(ShowMode::Modal);
    EXPECT_TRUE(dialog.Complete());
    EXPECT_TRUE(dialog.Error());
    EXPECT_EQ(dialog.Files(), 1);
    EXPECT_EQ(kit.read("Files/a.pot"), "abc");
}

TEST_F(ProcessDialog, ClosingTheWindowCompletesTheLoopAsCancelled) {
    entry("/a.pot", CFile::TypeNew);
    frmProcess dialog(toolkit, run.g_objMetrics, run.localConfiguration, run.globalConfiguration,
                      {});
    toolkit.WhenShown("frmProcess",
                      [](Form& form) { form.RequestUnload(UnloadMode::FormControlMenu); });
    dialog.Show(ShowMode::Modal);
    EXPECT_TRUE(dialog.Complete());
    EXPECT_TRUE(dialog.Canceled());
}

TEST_F(ProcessDialog, ASilentRunHidesTheDialogAndTheWorkGoesOnUnseen) {
    run.g_objMetrics.Silent(true);
    entry("/a.pot", CFile::TypeNew);
    frmProcess dialog(toolkit, run.g_objMetrics, run.localConfiguration, run.globalConfiguration,
                      {});
    dialog.Show(ShowMode::Modal);
    EXPECT_FALSE(dialog.Visible());
    EXPECT_FALSE(dialog.Complete());
    loop.RunUntil([&dialog] { return dialog.Complete(); });
    EXPECT_FALSE(dialog.Canceled());
    EXPECT_EQ(kit.read("Files/a.pot"), "abc");
}

}  // namespace
}  // namespace tamsel
