#include <gtest/gtest.h>

#include "engine/UpdateRun.h"
#include "engine/frmProcess.h"
#include "forms/HeadlessToolkit.h"
#include "forms/User.h"
#include "support/HttpTestServer.h"
#include "support/TempDir.h"
#include "util/Text.h"

#include <filesystem>
#include <functional>

namespace tamsel {
namespace {

class ProcessDialog : public ::testing::Test {
  protected:
    void SetUp() override {
        server.server().Get("/a.pot", [](const httplib::Request&, httplib::Response& res) {
            res.set_content("abc", "application/octet-stream");
        });
        server.server().Get("/empty.pot", [](const httplib::Request&, httplib::Response& res) {
            res.set_content("", "application/octet-stream");
        });
        // Its first half at once, the second once the test releases it.
        server.server().Get("/big.pot", [this](const httplib::Request&, httplib::Response& res) {
            res.set_content_provider(
                80000, "application/octet-stream",
                [this](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                    if (offset != 0) {
                        server.stall();
                    }
                    return sink.write(std::string(40000, 'x').data(), 40000);
                });
        });
        ASSERT_TRUE(server.start());
        run.globalConfiguration.putValue("remote", server.url(""));
        run.localConfiguration.putValue("local", kit / "Files");
        run.g_objMetrics.OnStatusLine = [this](const std::string& line, bool) {
            lines.push_back(line);
        };
    }

    std::shared_ptr<CFile> entry(const std::string& url, long type,
                                 const std::string& action = {}) {
        auto file = std::make_shared<CFile>();
        file->URL(url);
        file->myType(type);
        file->Size("3");
        file->Time("05/01/2007");
        file->Action(action);
        file->Tag(true);
        run.g_objMetrics.CompleteCatalogue()->Files().add(file);
        return file;
    }

    HeadlessEventLoop loop;
    HeadlessToolkit toolkit{loop};
    test::HttpTestServer server;
    test::TempDir kit;
    UpdateRun run{toolkit, kit / "Updater"};
    std::vector<std::string> lines;
};

// What one file's processing leaves behind: the kit file, the run's outcome and the lines the
// user reads (the message, then its cause).
struct FileOutcomeCase {
    const char* name;
    const char* url;
    const char* append;
    const char* size;
    const char* date;
    long type;
    const char* before;  // the kit file before the run; "<dir>" a folder in its place
    const char* after;   // the kit file after the run; nullptr: no file
    bool error;
    long files;
    const char* message;  // the first status line, "%p" the file's path
    const char* cause;    // the second status line, "%p" the path, "%u" the server's address
};

void PrintTo(const FileOutcomeCase& row, std::ostream* out) {
    *out << row.name;
}

const FileOutcomeCase kFileOutcomes[] = {
    {"AShortBodyIsNotWrittenOverTheFile", "/a.pot", "", "79", "05/01/2007", CFile::TypeUpdate,
     "old", "old", true, 0, "Unable to write file '%p'",
     "  cause: received 3 bytes, the catalogue says 79"},
    {"ALongBodyIsNotWrittenOverTheFile", "/a.pot", "", "2", "05/01/2007", CFile::TypeUpdate, "old",
     "old", true, 0, "Unable to write file '%p'",
     "  cause: received 3 bytes, the catalogue says 2"},
    {"AZeroByteFileIsWrittenEmpty", "/empty.pot", "", "0", "05/01/2007", CFile::TypeUpdate, "old",
     "", false, 1, nullptr, nullptr},
    {"AnHttpErrorIsToldWithItsStatusAndAddress", "/missing.pot", "", "3", "05/01/2007",
     CFile::TypeNew, nullptr, nullptr, true, 0, "Unable to write file '%p'",
     "  cause: HTTP 404 Not Found from %u/missing.pot"},
    {"ARequestThatCannotBeSentIsAnErrorOfThatFile", "/a.pot", ":port", "3", "05/01/2007",
     CFile::TypeNew, nullptr, nullptr, true, 0, "Unable to write file '%p'",
     "  cause: malformed URL: %u:port/a.pot"},
    {"ASystemErrorIsToldWithThePath", "/a.pot", "", "3", "05/01/2007", CFile::TypeNew, "<dir>",
     "<dir>", true, 0, "Unable to write file '%p'", "  cause: cannot write '%p': Is a directory"},
    {"AFileThatCannotBeDatedIsToldOnItsOwnLine", "/a.pot", "", "3", "no date", CFile::TypeNew,
     nullptr, "abc", false, 1, "Unable to date file '%p' as no date 06:00", nullptr},
    {"AFailedDeletionIsAnErrorOfTheRun", "/gone.pot", "", "3", "05/01/2007", CFile::TypeRemove,
     "<dir>", "<dir>", true, 0, "Unable to delete '%p'", "  cause: no file at '%p'"},
};

class ProcessFileOutcome : public ProcessDialog,
                           public ::testing::WithParamInterface<FileOutcomeCase> {};

TEST_P(ProcessFileOutcome, IsToldAsItIs) {
    const FileOutcomeCase& c = GetParam();
    const std::string path = kit / ("Files" + std::string(c.url));
    const auto fill = [&](std::string text) {
        text = ReplaceAll(text, "%p", path);
        return ReplaceAll(text, "%u", server.url(""));
    };
    if (c.before != nullptr && std::string(c.before) == "<dir>") {
        std::filesystem::create_directories(path);
    } else if (c.before != nullptr) {
        kit.write("Files" + std::string(c.url), c.before);
    }
    auto file = entry(c.url, c.type);
    file->Append(c.append);
    file->Size(c.size);
    file->Time(c.date);
    // A later entry is still processed.
    entry("/later.pot", CFile::TypeRemove);
    kit.write("Files/later.pot", "x");

    frmProcess dialog(toolkit, run.g_objMetrics, run.localConfiguration, run.globalConfiguration,
                      {});
    dialog.Show(ShowMode::Modal);
    ASSERT_TRUE(dialog.Complete());
    EXPECT_FALSE(dialog.Canceled());
    EXPECT_EQ(dialog.Error(), c.error);
    EXPECT_EQ(dialog.Files(), c.files);
    if (c.after == nullptr) {
        EXPECT_FALSE(std::filesystem::exists(path));
    } else if (std::string(c.after) == "<dir>") {
        EXPECT_TRUE(std::filesystem::is_directory(path));
    } else {
        EXPECT_EQ(kit.read("Files" + std::string(c.url)), c.after);
    }
    EXPECT_FALSE(std::filesystem::exists(kit / "Files/later.pot"));

    std::vector<std::string> expected;
    for (const char* line : {c.message, c.cause}) {
        if (line != nullptr) {
            expected.push_back(fill(line));
        }
    }
    if (c.error) {
        expected.push_back(" ");
    }
    EXPECT_EQ(lines, expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, ProcessFileOutcome, ::testing::ValuesIn(kFileOutcomes),
                         [](const auto& row) { return std::string(row.param.name); });

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

// Twenty downloads in a row without any answer mean the server is gone; HTTP errors do not.
TEST_F(ProcessDialog, StopsAfterTwentyDownloadsInARowWithoutAnAnswer) {
    for (const bool answering : {false, true}) {
        run.globalConfiguration.putValue("remote", answering ? server.url("") : "127.0.0.1:0");
        run.g_objMetrics.CompleteCatalogue()->Files() = CFiles();
        for (int i = 0; i < 21; ++i) {
            entry("/missing.pot", CFile::TypeNew);
        }
        lines.clear();
        frmProcess dialog(toolkit, run.g_objMetrics, run.localConfiguration,
                          run.globalConfiguration, {});
        dialog.Show(ShowMode::Modal);
        EXPECT_EQ(std::count(lines.begin(), lines.end(),
                             "Unable to write file '" + kit / "Files/missing.pot'"),
                  answering ? 21 : 20);
    }
}

// Half-way through a large file the progress line and bar show its bytes; Cancel and Escape then
// do what closing the window by its frame does.
TEST_F(ProcessDialog, ProgressFollowsTheBytesAndCancelAndEscapeCloseAsTheFrameDoes) {
    entry("/big.pot", CFile::TypeNew)->Size("80000");
    run.g_objMetrics.calculateSize();
    const std::function<bool(frmProcess&)> gestures[] = {
        [](frmProcess& dialog) { return user::CloseByFrame(dialog); },
        [](frmProcess& dialog) { return user::Click(dialog.cmdCancel); },
        [](frmProcess& dialog) { return user::PressEscape(dialog); },
    };
    for (const auto& gesture : gestures) {
        frmProcess dialog(toolkit, run.g_objMetrics, run.localConfiguration,
                          run.globalConfiguration, {});
        dialog.Show(ShowMode::Modeless);
        loop.RunUntil(
            [&dialog] { return dialog.barProgress.Value() == frmProcess::kBarSteps / 2; });
        EXPECT_EQ(dialog.lblStatus.Caption(), "Processing file 1 of 1    (39.1kb of 78.1kb)");
        EXPECT_TRUE(gesture(dialog));
        EXPECT_TRUE(!dialog.IsLoaded() && dialog.Complete() && dialog.Canceled());
    }
    EXPECT_FALSE(std::filesystem::exists(kit / "Files/big.pot"));
}

}  // namespace
}  // namespace tamsel
