#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <mutex>

#include "forms/HeadlessToolkit.h"
#include "forms/User.h"
#include "platform/HttpTransport.h"
#include "support/HttpTestServer.h"
#include "support/TempDir.h"
#include "ui/frmLogin.h"
#include "util/FileSystem.h"

namespace tamsel {
namespace {

using namespace std::chrono_literals;
using test::HttpTestServer;
using test::TempDir;

constexpr const char* kJane = "TAMSEL-EIN-OK,name=Jane,surname=Smith,email=jane@example.com";
constexpr const char* kUnknown = "TAMSEL-EIN-OK,UNKNOWN-NUMBER";
// An answer the name server route turns into a server error.
constexpr const char* kServerError = "<500>";

// The curl transport, except that a name server query, while hang is set, is sent and never
// answered.
class HangingNameServer : public HttpTransport {
  public:
    explicit HangingNameServer(const bool& hang) : hang_(hang) {}
    bool startGet(const std::string& url) override {
        hung_ = hang_ && url.find("/ein?") != std::string::npos;
        return hung_ || inner_->startGet(url);
    }
    bool startPost(const std::string& url, const std::string& contentType,
                   const std::string& body) override {
        hung_ = false;
        return inner_->startPost(url, contentType, body);
    }
    HttpProgress poll() override { return hung_ ? HttpProgress::Sent : inner_->poll(); }
    HttpProgress finish() override { return hung_ ? HttpProgress::Sent : inner_->finish(); }
    void waitForActivity(std::chrono::milliseconds timeout) override {
        inner_->waitForActivity(timeout);
    }
    void cancel() override { inner_->cancel(); }
    HttpProgress progress() const override {
        return hung_ ? HttpProgress::Sent : inner_->progress();
    }
    bool succeeded() const override { return !hung_ && inner_->succeeded(); }
    long status() const override { return hung_ ? 0 : inner_->status(); }
    std::string errorText() const override { return hung_ ? "" : inner_->errorText(); }
    std::uintmax_t bodySize() const override { return hung_ ? 0 : inner_->bodySize(); }
    std::string bodyText() const override { return hung_ ? "" : inner_->bodyText(); }
    bool commitBody(const std::string& path) override { return !hung_ && inner_->commitBody(path); }

  private:
    const bool& hang_;
    bool hung_ = false;
    std::unique_ptr<HttpTransport> inner_ = MakeCurlHttpTransport();
};

// A kit server publishing the master catalogue and a name server, a user's kit laid out as
// Kit/Updater and Kit/Files, and the two settings files in Kit.
class frmLoginTest : public ::testing::Test {
  protected:
    void SetUp() override {
        server.server().Get("/Tam-Sel Main Catalogue.ini", [this](const auto&, auto& res) {
            res.set_content(
                "url=\"/a.pot\" date=\"01/02/2006\" size=\"3\"\r\n[SETTINGS]\r\n"
                "ein_confirmation=\"" +
                    server.hostUrl("/ein?number=%ein%") +
                    "\"\r\n"
                    "ein_confirmation_response=\"TAMSEL-EIN-OK\"\r\n"
                    "ein_confirmation_response_fail=\"UNKNOWN-NUMBER\"\r\n",
                "text/plain");
        });
        server.server().Get("/ein", [this](const httplib::Request& req, httplib::Response& res) {
            const std::string answer = answerFor(req.get_param_value("number"));
            if (answer == kServerError) {
                res.status = 500;
            } else {
                res.set_content(answer, "text/plain");
            }
        });
        ASSERT_TRUE(server.start());
        std::filesystem::create_directories(kit / "Kit/Files");
        std::filesystem::create_directories(appPath);
        answer("1001", kJane);
    }

    void answer(const std::string& number, const std::string& text) {
        std::lock_guard lock(mutex_);
        answers_[number] = text;
    }
    std::string answerFor(const std::string& number) {
        std::lock_guard lock(mutex_);
        const auto found = answers_.find(number);
        return found == answers_.end() ? kUnknown : found->second;
    }
    std::size_t nameServerQueries() const {
        std::size_t count = 0;
        for (const auto& request : server.requests()) {
            count += request.path == "/ein" ? 1 : 0;
        }
        return count;
    }

    // Settings files as the user has them, read into the run.
    void settings(const std::string& localText, const std::string& globalText) {
        kit.write("Kit/localtamselupdater.ini", localText);
        kit.write("Kit/globaltamselupdater.ini", globalText);
        ASSERT_TRUE(run.localConfiguration.readFile(localFile()));
        run.localConfiguration.Path(localFile());
        ASSERT_TRUE(run.globalConfiguration.readFile(kit / "Kit/globaltamselupdater.ini"));
        run.globalConfiguration.Path(kit / "Kit/globaltamselupdater.ini");
    }
    // A registered user of a kit whose server is the test server.
    void registeredUser(const std::string& extraLocal = "") {
        settings(
            "username=\"J Smith\"\r\ndepartment=\"Sales\"\r\nemail=\"js@example.com\"\r\n"
            "ein=\"\"\r\nautoupdate=\"Weekly\"\r\nlastupdated=\"01/02/2024\"\r\n"
            "showdownload=\"yes\"\r\nlocal=\"" +
                kit / "Kit/Files" + "\"\r\n" + extraLocal,
            "remote=\"" + server.hostUrl("") +
                "\"\r\nprimary_catalogue=\"Tam-Sel Main Catalogue.ini\"\r\n");
    }
    // The same user in EIN mode, with a confirmed number stored or none.
    void einUser(const std::string& ein) {
        registeredUser();
        run.localConfiguration.setValue("ein", ein);
        run.globalConfiguration.setValue("label1", "EIN:");
        run.einMode = true;
    }

    std::string localFile() const { return kit / "Kit/localtamselupdater.ini"; }
    std::string savedLocal() const { return kit.read("Kit/localtamselupdater.ini"); }
    std::string local(const std::string& key) const { return run.localConfiguration.getValue(key); }

    frmLogin& open() {
        login = std::make_unique<frmLogin>(toolkit, run);
        login->Show();
        loop.Advance(250ms);
        return *login;
    }
    // Runs the confirmation machine until it rests or the dialog closed.
    void settle() {
        loop.RunUntil([this] { return !login->IsLoaded() || login->State() == 0; });
    }
    void confirm(const std::string& number) {
        ASSERT_TRUE(user::Type(login->txtUser, number));
        ASSERT_EQ(login->cmdConnect.Caption(), frmLogin::kConfirmCaption);
        loop.Advance(250ms);
        ASSERT_TRUE(user::Click(login->cmdConnect));
        settle();
    }

    HeadlessEventLoop loop;
    HeadlessToolkit toolkit{loop};
    HttpTestServer server;
    TempDir kit;
    std::string appPath = kit / "Kit/Updater";
    bool nameServerHangs = false;
    UpdateRun run{toolkit, appPath,
                  [this] { return std::make_unique<HangingNameServer>(nameServerHangs); }};
    std::unique_ptr<frmLogin> login;

  private:
    std::mutex mutex_;
    std::map<std::string, std::string> answers_;
};

TEST_F(frmLoginTest, FirstRunWithEmptySettingsWaitsForEveryField) {
    settings("username=\"\"\r\ndepartment=\"\"\r\nemail=\"\"\r\nautoupdate=\"\"\r\nlocal=\"\"\r\n",
             "remote=\"\"\r\nprimary_catalogue=\"Tam-Sel Main Catalogue.ini\"\r\n");
    frmLogin& form = open();

    EXPECT_TRUE(form.txtURL.Enabled());
    EXPECT_EQ(form.txtURL.Text(), "Please enter the url of the tmasel server");
    EXPECT_EQ(form.txtURL.ForeColor(), kColourRed);
    EXPECT_TRUE(form.txtLocal.Enabled());
    EXPECT_EQ(form.txtLocal.Text(), appPath);
    EXPECT_EQ(form.txtLocal.ForeColor(), kColourBlack);
    EXPECT_EQ(local("local"), appPath);
    EXPECT_EQ(form.Label4.ToolTipText(), appPath);
    for (const TextBox* box : {&form.txtUser, &form.txtDepartment, &form.txtEmail}) {
        EXPECT_EQ(box->Text(), "Please complete details");
        EXPECT_EQ(box->ForeColor(), kColourRed);
    }
    EXPECT_EQ(form.comAutoUpdate.Text(), "Daily");
    EXPECT_FALSE(form.cmdBuild.Visible());
    EXPECT_FALSE(form.cmdConnect.Enabled());

    // Entering a field clears its prompt; every edit goes straight into the settings.
    ASSERT_TRUE(user::Type(form.txtURL, "kits.example.com"));
    EXPECT_EQ(run.globalConfiguration.getRemote(), "kits.example.com");
    ASSERT_TRUE(user::Type(form.txtUser, "J Smith"));
    ASSERT_TRUE(user::Type(form.txtDepartment, "Sales"));
    loop.Advance(250ms);
    EXPECT_FALSE(form.cmdConnect.Enabled());
    ASSERT_TRUE(user::Type(form.txtEmail, "js@example.com"));
    loop.Advance(250ms);
    EXPECT_TRUE(form.cmdConnect.Enabled());
    EXPECT_EQ(local("username"), "J Smith");
    EXPECT_EQ(local("department"), "Sales");
    EXPECT_EQ(local("email"), "js@example.com");
    EXPECT_EQ(form.txtEmail.ForeColor(), kColourWindowText);

    // Emptying a field disables Connect again on the next tick.
    ASSERT_TRUE(user::Type(form.txtDepartment, ""));
    loop.Advance(250ms);
    EXPECT_FALSE(form.cmdConnect.Enabled());
}

TEST_F(frmLoginTest, LoadShowsTheStoredSettingsInBlackAndWritesThemBack) {
    registeredUser("build=\"Yes\"\r\n");
    run.globalConfiguration.setValue("label2", "Department:");
    frmLogin& form = open();

    EXPECT_FALSE(form.txtURL.Enabled());
    EXPECT_EQ(form.txtURL.ForeColor(), kColourBlack);
    EXPECT_EQ(form.Label3.ToolTipText(), server.hostUrl("") + "/Tam-Sel Main Catalogue.ini");
    EXPECT_FALSE(form.txtLocal.Enabled());
    EXPECT_EQ(form.txtDepartment.Text(), "Sales");
    EXPECT_EQ(form.Label6.Caption(), "Department:");
    EXPECT_TRUE(form.cmdBuild.Visible());
    // The box starts clear whatever was stored.
    EXPECT_FALSE(form.chkShowDownloads.Checked());
    EXPECT_TRUE(form.cmdConnect.Enabled());
    EXPECT_NE(savedLocal().find("username=\"J Smith\""), std::string::npos);

    // Entering a field that shows a value keeps it.
    ASSERT_TRUE(user::Focus(form.txtDepartment));
    EXPECT_EQ(form.txtDepartment.Text(), "Sales");
}

struct ScheduleCase {
    const char* stored;
    const char* shown;  // empty: nothing selected
    const char* saved;
};

class frmLoginSchedule : public frmLoginTest, public ::testing::WithParamInterface<ScheduleCase> {};

TEST_P(frmLoginSchedule, StoredScheduleIsShownAndSavedOnConnect) {
    registeredUser();
    run.localConfiguration.setValue("autoupdate", GetParam().stored);
    frmLogin& form = open();
    EXPECT_EQ(form.comAutoUpdate.Text(), GetParam().shown);
    ASSERT_TRUE(user::Click(form.cmdConnect));
    settle();
    EXPECT_TRUE(form.Complete());
    EXPECT_EQ(local("autoupdate"), GetParam().saved);
    EXPECT_NE(savedLocal().find("autoupdate=\"" + std::string(GetParam().saved) + "\""),
              std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Schedules, frmLoginSchedule,
                         ::testing::Values(ScheduleCase{"Monthly", "Weekly", "Weekly"},
                                           ScheduleCase{"3 Days", "3 Days", "3 Days"},
                                           ScheduleCase{"", "Daily", "Daily"},
                                           // Start-up stores the default in lower case.
                                           ScheduleCase{"daily", "Daily", "Daily"},
                                           // Not an entry: shown as nothing, kept as it is.
                                           ScheduleCase{"1 Day", "", "1 Day"}));

TEST_F(frmLoginTest, ConnectStoresShowDownloadsAsTicked) {
    registeredUser();
    frmLogin& form = open();
    ASSERT_TRUE(user::Click(form.cmdConnect));
    settle();
    EXPECT_EQ(local("showdownload"), "no");

    login.reset();
    frmLogin& again = open();
    ASSERT_TRUE(user::Click(again.chkShowDownloads));
    ASSERT_TRUE(user::Click(again.cmdConnect));
    settle();
    EXPECT_EQ(local("showdownload"), "yes");
    EXPECT_NE(savedLocal().find("showdownload=\"yes\""), std::string::npos);
}

TEST_F(frmLoginTest, QuietConfirmationOfAnUnknownNameLeavesTheUserAlone) {
    registeredUser();
    // Connect is enabled on the first tick of its timer.
    toolkit.WhenShown("frmLogin", [this](Form& form) {
        loop.PostAfter(250ms, [&form] { user::Click(form.Get<CommandButton>("cmdConnect")); });
    });
    frmLogin form(toolkit, run);
    form.Show(ShowMode::Modal);
    EXPECT_TRUE(form.Complete());
    EXPECT_FALSE(form.Built());
    EXPECT_EQ(local("username"), "J Smith");
    EXPECT_EQ(local("department"), "Sales");
    EXPECT_EQ(local("ein"), "");
    ASSERT_EQ(nameServerQueries(), 1U);
    EXPECT_EQ(server.requests().back().target, "/ein?number=J%20Smith");
    EXPECT_EQ(run.g_objMetrics.EinResponse(), std::string(kUnknown) + "\r\n");
}

TEST_F(frmLoginTest, QuietConfirmationOfAKnownNumberRefreshesTheStoredDetails) {
    einUser("1001");
    frmLogin& form = open();
    EXPECT_EQ(form.cmdConnect.Caption(), frmLogin::kConnectCaption);
    ASSERT_TRUE(user::Click(form.cmdConnect));
    settle();
    EXPECT_TRUE(form.Complete());
    EXPECT_FALSE(form.IsLoaded());
    EXPECT_EQ(local("ein"), "1001");
    EXPECT_EQ(local("username"), "Jane Smith");
    EXPECT_EQ(local("department"), "");
    EXPECT_EQ(local("email"), "jane@example.com");
    EXPECT_NE(savedLocal().find("username=\"Jane Smith\""), std::string::npos);
}

TEST_F(frmLoginTest, QuietConfirmationClosesAsCompleteWhenNothingAnswers) {
    einUser("1001");
    run.globalConfiguration.setValue("primary_catalogue", "missing.ini");
    frmLogin& form = open();
    ASSERT_TRUE(user::Click(form.cmdConnect));
    settle();
    EXPECT_TRUE(form.Complete());
    EXPECT_EQ(nameServerQueries(), 0U);
    EXPECT_EQ(local("username"), "J Smith");

    run.globalConfiguration.setValue("primary_catalogue", "Tam-Sel Main Catalogue.ini");
    nameServerHangs = true;
    login.reset();
    frmLogin& again = open();
    ASSERT_TRUE(user::Click(again.cmdConnect));
    settle();
    EXPECT_TRUE(again.Complete());
    EXPECT_EQ(local("username"), "J Smith");
}

TEST_F(frmLoginTest, EinModeOpensWithTheStoredNumberAndSwitchesToConfirmOnEdit) {
    einUser("1001");
    frmLogin& form = open();
    EXPECT_EQ(form.txtUser.Text(), "1001");
    EXPECT_EQ(form.txtUser.ForeColor(), kColourBlack);
    EXPECT_EQ(form.txtDepartment.Text(), "J Smith");
    EXPECT_FALSE(form.txtDepartment.Enabled());
    EXPECT_FALSE(form.txtEmail.Enabled());
    EXPECT_EQ(form.Label5.Caption(), "EIN:");
    EXPECT_EQ(form.cmdConnect.Caption(), frmLogin::kConnectCaption);

    ASSERT_TRUE(user::Type(form.txtUser, "2002"));
    EXPECT_EQ(form.cmdConnect.Caption(), frmLogin::kConfirmCaption);
    EXPECT_EQ(local("ein"), "2002");
    // The name and e-mail address only come from the name server.
    EXPECT_EQ(local("username"), "J Smith");
}

TEST_F(frmLoginTest, EinModeWithoutANumberEmptiesTheServerFieldsAndWaitsForOne) {
    einUser("");
    frmLogin& form = open();
    EXPECT_EQ(form.txtUser.Text(), "Please complete details");
    EXPECT_EQ(form.txtDepartment.Text(), "");
    EXPECT_EQ(form.txtEmail.Text(), "");
    EXPECT_FALSE(form.cmdConnect.Enabled());
    ASSERT_TRUE(user::Type(form.txtUser, "1001"));
    loop.Advance(250ms);
    EXPECT_TRUE(form.cmdConnect.Enabled());
}

TEST_F(frmLoginTest, ConfirmingAKnownNumberFillsNameAndEmail) {
    einUser("");
    frmLogin& form = open();
    confirm("1001");

    EXPECT_TRUE(form.IsLoaded());
    EXPECT_EQ(form.txtUser.Text(), "1001");
    EXPECT_EQ(form.txtUser.ForeColor(), kColourBlack);
    EXPECT_EQ(form.txtDepartment.Text(), "Jane Smith");
    EXPECT_EQ(form.txtEmail.Text(), "jane@example.com");
    EXPECT_EQ(form.cmdConnect.Caption(), frmLogin::kConnectCaption);
    EXPECT_EQ(local("ein"), "1001");
    EXPECT_EQ(local("username"), "Jane Smith");
    EXPECT_EQ(local("department"), "");
    EXPECT_EQ(run.g_objMetrics.EinResponse(), std::string(kJane) + "\r\n");
    EXPECT_NE(savedLocal().find("email=\"jane@example.com\""), std::string::npos);

    // Connecting after a confirmation asks the name server nothing more.
    ASSERT_TRUE(user::Click(form.cmdConnect));
    settle();
    EXPECT_TRUE(form.Complete());
    EXPECT_EQ(nameServerQueries(), 1U);
}

struct FailureCase {
    const char* answer;  // nullptr: the query is never answered
    const char* status;
};

class frmLoginConfirmFailure : public frmLoginTest,
                               public ::testing::WithParamInterface<FailureCase> {};

TEST_P(frmLoginConfirmFailure, ShowsItsMessageInRedAndKeepsTheTypedNumber) {
    einUser("");
    if (GetParam().answer == nullptr) {
        nameServerHangs = true;
    } else {
        answer("3003", GetParam().answer);
    }
    frmLogin& form = open();
    confirm("3003");

    EXPECT_TRUE(form.IsLoaded());
    EXPECT_EQ(form.txtUser.Text(), GetParam().status);
    EXPECT_EQ(form.txtUser.ForeColor(), kColourRed);
    EXPECT_EQ(local("ein"), "3003");
    EXPECT_EQ(local("username"), "J Smith");
    EXPECT_EQ(local("email"), "js@example.com");
    EXPECT_EQ(form.cmdConnect.Caption(), frmLogin::kConfirmCaption);

    // Cancel keeps the number the user typed, in memory and in the file.
    ASSERT_TRUE(user::Click(form.cmdCancel));
    EXPECT_FALSE(form.IsLoaded());
    EXPECT_FALSE(form.Complete());
    EXPECT_NE(savedLocal().find("ein=\"3003\""), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Outcomes, frmLoginConfirmFailure,
                         ::testing::Values(FailureCase{kUnknown, "Incorrect Number"},
                                           FailureCase{"<html>Service unavailable</html>",
                                                       "Unable to connect to name server"},
                                           FailureCase{"TAMSEL-EIN-OK,email=x@example.com",
                                                       "No name given by server"},
                                           FailureCase{kServerError, "Unable to connect"},
                                           FailureCase{nullptr, "No response from server"}));

TEST_F(frmLoginTest, AfterAFailureTheUserCorrectsTheNumberAndConfirmsAgain) {
    einUser("");
    frmLogin& form = open();
    confirm("3003");
    ASSERT_EQ(form.txtUser.Text(), "Incorrect Number");

    // Confirming again without touching the message confirms the number, not the message.
    ASSERT_TRUE(user::Click(form.cmdConnect));
    settle();
    EXPECT_EQ(server.requests().back().target, "/ein?number=3003");
    EXPECT_EQ(local("ein"), "3003");

    // Entering the field clears the message; while the failure stands, edits are not stored.
    ASSERT_TRUE(user::Type(form.txtUser, "1001"));
    EXPECT_EQ(local("ein"), "3003");
    ASSERT_TRUE(user::Click(form.cmdConnect));
    settle();
    EXPECT_EQ(form.txtUser.Text(), "1001");
    EXPECT_EQ(local("ein"), "1001");
    EXPECT_EQ(local("username"), "Jane Smith");
}

TEST_F(frmLoginTest, ConfirmingWithoutACatalogueClosesAsComplete) {
    einUser("");
    run.globalConfiguration.setValue("primary_catalogue", "missing.ini");
    frmLogin& form = open();
    confirm("1001");
    EXPECT_TRUE(form.Complete());
    EXPECT_FALSE(form.IsLoaded());
    EXPECT_EQ(local("ein"), "1001");
}

class frmLoginBuild : public frmLoginTest {
  protected:
    void SetUp() override {
        frmLoginTest::SetUp();
        registeredUser("build=\"yes\"\r\n");
        ASSERT_TRUE(SetFileTimeFromText(kit.write("Kit/Files/b.pot", "bbbb"), "03/04/2024 06:00"));
        ASSERT_TRUE(
            SetFileTimeFromText(kit.write("Kit/Files/Sub/a.txt", "aa"), "01/02/2024 06:00"));
    }
    static std::vector<std::string> lines(const std::string& text) {
        std::vector<std::string> result;
        std::size_t start = 0;
        for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos;
             start = end + 2) {
            result.push_back(text.substr(start, end - start));
        }
        EXPECT_EQ(start, text.size()) << "every line ends with CR LF";
        return result;
    }
};

TEST_F(frmLoginBuild, WritesTheKitCatalogueBesideTheKitFolder) {
    frmLogin& form = open();
    ASSERT_TRUE(user::Click(form.cmdBuild));
    EXPECT_TRUE(form.Built());
    EXPECT_FALSE(form.Complete());
    EXPECT_FALSE(form.IsLoaded());
    const auto written = lines(kit.read("Kit/catalogue.ini"));
    ASSERT_EQ(written.size(), 4U);
    EXPECT_EQ(written[0].rfind("'Default catalogue file created on ", 0), 0U);
    EXPECT_EQ(written[0].substr(written[0].size() - 11), " by J Smith");
    EXPECT_EQ(written[1], "'");
    EXPECT_EQ(written[2], "url=\"/b.pot\" date=\"03/04/2024\" size=\"4\"");
    EXPECT_EQ(written[3], "url=\"/Sub/a.txt\" date=\"01/02/2024\" size=\"2\"");
}

TEST_F(frmLoginBuild, AKitFolderWithATrailingSlashTakesTheCatalogueItself) {
    run.localConfiguration.setValue("local", kit / "Kit/Files/");
    frmLogin& form = open();
    kit.write("Kit/catalogue.ini", "old");
    ASSERT_TRUE(user::Click(form.cmdBuild));
    EXPECT_TRUE(form.Built());
    EXPECT_TRUE(FileExists(kit / "Kit/Files/catalogue.ini"));
    EXPECT_EQ(kit.read("Kit/catalogue.ini"), "old");
}

TEST_F(frmLoginBuild, AnUnreadableKitFolderWarnsAndKeepsTheDialogOpen) {
    run.localConfiguration.setValue("local", kit / "Kit/Missing");
    frmLogin& form = open();
    ASSERT_TRUE(user::Click(form.cmdBuild));
    ASSERT_EQ(toolkit.MessageBoxes().size(), 1U);
    EXPECT_EQ(toolkit.MessageBoxes()[0].prompt, "Unable to continue");
    EXPECT_EQ(toolkit.MessageBoxes()[0].title, "Tamsel Problem");
    EXPECT_TRUE(form.IsLoaded());
    EXPECT_FALSE(form.Built());
    EXPECT_FALSE(FileExists(kit / "Kit/catalogue.ini"));
}

}  // namespace
}  // namespace tamsel
