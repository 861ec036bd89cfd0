#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>

#include "forms/HeadlessToolkit.h"
#include "forms/User.h"
#include "support/ScriptedTransport.h"
#include "support/TempDir.h"
#include "ui/frmLogin.h"
#include "util/FileSystem.h"

namespace tamsel {
namespace {

using namespace std::chrono_literals;

constexpr const char* kJane = "TAMSEL-EIN-OK,name=Jane,surname=Smith,email=jane@example.com";
constexpr const char* kUnknown = "TAMSEL-EIN-OK,UNKNOWN-NUMBER";
constexpr const char* kRemote = "http://kits.example";

// The master catalogue of a kit with a name server, the name server's answers, and a user's kit
// laid out as Kit/Updater and Kit/Files with the two settings files in Kit.
class frmLoginTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::filesystem::create_directories(kit / "Kit/Files");
        std::filesystem::create_directories(appPath);
    }

    test::ScriptedAnswer answer(const std::string& url) const {
        if (url == std::string(kRemote) + "/Tam-Sel Main Catalogue.ini") {
            return {200,
                    "url=\"/a.pot\" date=\"01/02/2006\" size=\"3\"\r\n[SETTINGS]\r\n"
                    "ein_confirmation=\"" +
                        std::string(kRemote) +
                        "/ein?number=%ein%\"\r\n"
                        "ein_confirmation_response=\"TAMSEL-EIN-OK\"\r\n"
                        "ein_confirmation_response_fail=\"UNKNOWN-NUMBER\"\r\n"};
        }
        if (url.find("/ein?number=") == std::string::npos)
            return {404, "<html>Not found</html>"};
        // A name server that hangs answers nobody.
        return url.ends_with("=1001") && !othersAnswer.hang ? test::ScriptedAnswer{200, kJane}
                                                            : othersAnswer;
    }
    std::size_t nameServerQueries() const {
        return std::count_if(requests.begin(), requests.end(),
                             [](const std::string& url) { return url.find("/ein?") != url.npos; });
    }

    // Settings files as the user has them, read into the run.
    void settings(const std::string& localText, const std::string& globalText) {
        ASSERT_TRUE(run.localConfiguration.readFile(kit.write(kLocal, localText)));
        run.localConfiguration.Path(kit / kLocal);
        ASSERT_TRUE(run.globalConfiguration.readFile(kit.write(kGlobal, globalText)));
        run.globalConfiguration.Path(kit / kGlobal);
    }
    // A registered user of a kit whose server is the test server.
    void registeredUser(const std::string& extraLocal = "") {
        settings(
            "username=\"J Smith\"\r\ndepartment=\"Sales\"\r\nemail=\"js@example.com\"\r\n"
            "ein=\"\"\r\nautoupdate=\"Weekly\"\r\nlastupdated=\"01/02/2024\"\r\n"
            "showdownload=\"yes\"\r\nlocal=\"" +
                kit / "Kit/Files" + "\"\r\n" + extraLocal,
            "remote=\"" + std::string(kRemote) +
                "\"\r\nprimary_catalogue=\"Tam-Sel Main Catalogue.ini\"\r\n");
    }
    // The same user in EIN mode, with a confirmed number stored or none.
    void einUser(const std::string& ein) {
        registeredUser();
        run.localConfiguration.setValue("ein", ein);
        run.globalConfiguration.setValue("label1", "EIN:");
        run.einMode = true;
    }

    bool saved(const std::string& entry) const {
        return kit.read(kLocal).find(entry) != std::string::npos;
    }
    std::string local(const std::string& key) const { return run.localConfiguration.getValue(key); }

    frmLogin& open() {
        login.reset();
        login = std::make_unique<frmLogin>(toolkit, run);
        login->Show();
        loop.Advance(250ms);
        return *login;
    }
    // Clicks Connect and runs the confirmation machine until it rests or the dialog closed.
    void connect() {
        ASSERT_TRUE(user::Click(login->cmdConnect));
        loop.RunUntil([this] { return !login->IsLoaded() || login->State() == 0; });
    }
    void confirm(const std::string& number) {
        ASSERT_TRUE(user::Type(login->txtUser, number));
        ASSERT_EQ(login->cmdConnect.Caption(), frmLogin::kConfirmCaption);
        loop.Advance(250ms);
        connect();
    }

    static constexpr const char* kLocal = "Kit/localtamselupdater.ini";
    static constexpr const char* kGlobal = "Kit/globaltamselupdater.ini";
    HeadlessEventLoop loop;
    HeadlessToolkit toolkit{loop};
    test::TempDir kit;
    std::string appPath = kit / "Kit/Updater";
    std::vector<std::string> requests;
    test::ScriptedAnswer othersAnswer{200, kUnknown};  // the name server's answer but for 1001
    UpdateRun run{toolkit, appPath, [this] {
                      return std::make_unique<test::ScriptedTransport>(
                          [this](const std::string& url) { return answer(url); }, &requests);
                  }};
    std::unique_ptr<frmLogin> login;
};

TEST_F(frmLoginTest, FirstRunWithEmptySettingsWaitsForEveryField) {
    settings("username=\"\"\r\ndepartment=\"\"\r\nemail=\"\"\r\nautoupdate=\"\"\r\nlocal=\"\"\r\n",
             "remote=\"\"\r\nprimary_catalogue=\"Tam-Sel Main Catalogue.ini\"\r\n");
    frmLogin& form = open();

    EXPECT_TRUE(form.txtURL.Enabled());
    EXPECT_EQ(form.txtURL.Text(), "Please enter the url of the tmasel server");
    EXPECT_EQ(form.txtLocal.Text(), appPath);
    EXPECT_EQ(local("local"), appPath);
    EXPECT_EQ(form.txtEmail.Text(), "Please complete details");
    EXPECT_EQ(form.comAutoUpdate.Text(), "Daily");

    // Entering a field clears its prompt; every edit goes straight into the settings; Connect
    // waits, tick by tick, until every field is filled.
    ASSERT_TRUE(user::Type(form.txtURL, "kits.example.com"));
    EXPECT_EQ(run.globalConfiguration.getRemote(), "kits.example.com");
    const struct {
        TextBox* box;
        const char *key, *text;
    } fields[] = {{&form.txtUser, "username", "J Smith"},
                  {&form.txtDepartment, "department", "Sales"},
                  {&form.txtEmail, "email", "js@example.com"}};
    for (const auto& field : fields) {
        EXPECT_FALSE(form.cmdConnect.Enabled()) << "before " << field.key;
        ASSERT_TRUE(user::Type(*field.box, field.text));
        EXPECT_EQ(local(field.key), field.text);
        loop.Advance(250ms);
    }
    EXPECT_TRUE(form.cmdConnect.Enabled());

    // Emptying a field disables Connect again on the next tick.
    ASSERT_TRUE(user::Type(form.txtDepartment, ""));
    loop.Advance(250ms);
    EXPECT_FALSE(form.cmdConnect.Enabled());
}

// Entering a field that shows a stored value keeps it; only a prompt is cleared.
TEST_F(frmLoginTest, EnteringAFieldKeepsTheStoredValue) {
    registeredUser();
    frmLogin& form = open();
    EXPECT_FALSE(form.txtURL.Enabled());
    ASSERT_TRUE(user::Focus(form.txtDepartment));
    EXPECT_EQ(form.txtDepartment.Text(), "Sales");
}

TEST_F(frmLoginTest, ConnectSavesTheShownScheduleAndTheShowDownloadsTick) {
    const struct {
        const char *stored, *shown, *saved;  // shown empty: nothing selected
        bool tick;
    } rows[] = {{"Monthly", "Weekly", "Weekly", false},
                // Start-up stores the default in lower case.
                {"daily", "Daily", "Daily", true},
                // Not an entry: shown as nothing, kept as it is.
                {"1 Day", "", "1 Day", false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.stored);
        registeredUser();
        run.localConfiguration.setValue("autoupdate", row.stored);
        frmLogin& form = open();
        EXPECT_EQ(form.comAutoUpdate.Text(), row.shown);
        if (row.tick) {
            ASSERT_TRUE(user::Click(form.chkShowDownloads));
        }
        connect();
        EXPECT_TRUE(form.Complete());
        EXPECT_TRUE(saved("autoupdate=\"" + std::string(row.saved) + "\""));
        EXPECT_TRUE(saved(std::string("showdownload=\"") + (row.tick ? "yes" : "no") + "\""));
    }
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
    EXPECT_EQ(requests.back(), "GET " + std::string(kRemote) + "/ein?number=J Smith");
    EXPECT_EQ(run.g_objMetrics.EinResponse(), std::string(kUnknown) + "\r\n");
}

// Without a catalogue, with a known number and with no answer, Connect quietly saves and closes.
TEST_F(frmLoginTest, EinModeShowsTheNumberAndConnectAlwaysClosesAsComplete) {
    einUser("1001");
    run.globalConfiguration.setValue("primary_catalogue", "missing.ini");
    open();
    connect();
    EXPECT_TRUE(login->Complete());
    EXPECT_EQ(nameServerQueries(), 0U);

    // The stored number is shown; the name and e-mail address are the server's to fill.
    run.globalConfiguration.setValue("primary_catalogue", "Tam-Sel Main Catalogue.ini");
    frmLogin& form = open();
    EXPECT_EQ(form.txtUser.Text(), "1001");
    EXPECT_EQ(form.txtDepartment.Text(), "J Smith");
    EXPECT_FALSE(form.txtEmail.Enabled());
    // A known number refreshes the stored details.
    connect();
    EXPECT_TRUE(login->Complete());
    EXPECT_FALSE(login->IsLoaded());
    EXPECT_EQ(local("ein"), "1001");
    EXPECT_EQ(local("department"), "");
    EXPECT_EQ(local("email"), "jane@example.com");
    EXPECT_TRUE(saved("username=\"Jane Smith\""));

    run.localConfiguration.setValue("username", "J Smith");
    othersAnswer.hang = true;
    open();
    connect();
    EXPECT_TRUE(login->Complete());
    EXPECT_EQ(local("username"), "J Smith");

    // Editing the number asks for a confirmation; the name stays until the server gives one.
    ASSERT_TRUE(user::Type(open().txtUser, "2002"));
    EXPECT_EQ(login->cmdConnect.Caption(), frmLogin::kConfirmCaption);
    EXPECT_EQ(local("ein"), "2002");
    EXPECT_EQ(local("username"), "J Smith");
}

TEST_F(frmLoginTest, EinModeWithoutANumberWaitsForOneAndConfirmingFillsNameAndEmail) {
    einUser("");
    frmLogin& form = open();
    EXPECT_EQ(form.txtUser.Text(), "Please complete details");
    EXPECT_FALSE(form.cmdConnect.Enabled());
    confirm("1001");  // Connect is enabled again a tick after typing

    EXPECT_TRUE(form.IsLoaded());
    EXPECT_EQ(form.txtDepartment.Text(), "Jane Smith");
    EXPECT_EQ(form.txtEmail.Text(), "jane@example.com");
    EXPECT_EQ(form.cmdConnect.Caption(), frmLogin::kConnectCaption);
    EXPECT_EQ(local("ein"), "1001");
    EXPECT_EQ(local("username"), "Jane Smith");
    EXPECT_EQ(run.g_objMetrics.EinResponse(), std::string(kJane) + "\r\n");
    EXPECT_TRUE(saved("email=\"jane@example.com\""));

    // Connecting after a confirmation asks the name server nothing more.
    connect();
    EXPECT_TRUE(form.Complete());
    EXPECT_EQ(nameServerQueries(), 1U);
}

TEST_F(frmLoginTest, ConfirmFailureShowsItsMessageAndKeepsTheTypedNumber) {
    const struct {
        test::ScriptedAnswer answer;
        const char* status;
    } cases[] = {{{200, kUnknown}, "Incorrect Number"},
                 {{200, "TAMSEL-EIN-OK,email=x@example.com"}, "No name given by server"},
                 {{0, "", true}, "No response from server"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.status);
        einUser("");
        othersAnswer = c.answer;
        frmLogin& form = open();
        confirm("3003");
        EXPECT_TRUE(form.IsLoaded());
        EXPECT_EQ(form.txtUser.Text(), c.status);
        EXPECT_EQ(local("ein"), "3003");
        EXPECT_EQ(local("username"), "J Smith");

        // Cancel keeps the number the user typed, in memory and in the file.
        ASSERT_TRUE(user::Click(form.cmdCancel));
        EXPECT_FALSE(form.IsLoaded());
        EXPECT_FALSE(form.Complete());
        EXPECT_TRUE(saved("ein=\"3003\""));
    }
}

TEST_F(frmLoginTest, AfterAFailureTheUserCorrectsTheNumberAndConfirmsAgain) {
    einUser("");
    frmLogin& form = open();
    confirm("3003");
    ASSERT_EQ(form.txtUser.Text(), "Incorrect Number");

    // Confirming again without touching the message confirms the number, not the message.
    connect();
    EXPECT_EQ(requests.back(), "GET " + std::string(kRemote) + "/ein?number=3003");
    EXPECT_EQ(local("ein"), "3003");

    // Entering the field clears the message; while the failure stands, edits are not stored.
    ASSERT_TRUE(user::Type(form.txtUser, "1001"));
    EXPECT_EQ(local("ein"), "3003");
    connect();
    EXPECT_EQ(form.txtUser.Text(), "1001");
    EXPECT_EQ(local("ein"), "1001");
    EXPECT_EQ(local("username"), "Jane Smith");
}

TEST_F(frmLoginTest, BuildWritesTheKitCatalogueBesideTheKitFolderOrInsideOneEndingInASlash) {
    registeredUser("build=\"yes\"\r\n");
    kit.write("Kit/Files/b.pot", "bbbb");

    // An unreadable kit folder warns and keeps the dialog open.
    run.localConfiguration.setValue("local", kit / "Kit/Missing");
    ASSERT_TRUE(user::Click(open().cmdBuild));
    ASSERT_EQ(toolkit.MessageBoxes().size(), 1U);
    EXPECT_EQ(toolkit.MessageBoxes()[0].prompt, "Unable to continue");
    EXPECT_TRUE(login->IsLoaded());
    EXPECT_FALSE(login->Built());
    EXPECT_FALSE(FileExists(kit / "Kit/catalogue.ini"));

    run.localConfiguration.setValue("local", kit / "Kit/Files");
    ASSERT_TRUE(user::Click(open().cmdBuild));
    EXPECT_TRUE(login->Built());
    EXPECT_FALSE(login->Complete());
    EXPECT_FALSE(login->IsLoaded());
    // The builder's text, signed by the user.
    EXPECT_NE(kit.read("Kit/catalogue.ini").find(" by J Smith\r\n'\r\nurl=\"/b.pot\""),
              std::string::npos);

    kit.write("Kit/catalogue.ini", "old");
    run.localConfiguration.setValue("local", kit / "Kit/Files/");
    ASSERT_TRUE(user::Click(open().cmdBuild));
    EXPECT_TRUE(login->Built());
    EXPECT_TRUE(FileExists(kit / "Kit/Files/catalogue.ini"));
    EXPECT_EQ(kit.read("Kit/catalogue.ini"), "old");
}

}  // namespace
}  // namespace tamsel
