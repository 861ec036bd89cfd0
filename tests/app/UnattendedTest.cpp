#include "app/Unattended.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>
#include <thread>

#include "KitServer.h"
#include "support/TempDir.h"

namespace tamsel {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

// A user's kit whose settings point at remote, ready for a run nobody watches.
void LayOutKit(const TempDir& user, const std::string& remote) {
    user.write("Kit/Updater/.keep", "");
    user.write("Kit/globaltamselupdater.ini",
               "remote=\"" + remote +
                   "\"\r\nprimary_catalogue=\"Tam-Sel Main Catalogue.ini\"\r\n"
                   "secondary_catalogue=\"catalogue.ini\"\r\n");
    user.write("Kit/localtamselupdater.ini",
               "username=\"Demo User\"\r\ndepartment=\"Demo\"\r\nemail=\"demo@example.com\"\r\n"
               "autoupdate=\"Weekly\"\r\nlastupdated=\"\"\r\nlocal=\"" +
                   user / "Kit/Files" + "\"\r\n");
    fs::create_directories(user / "Kit/Files");
}

TEST(Unattended, UpdatesTheSampleKitAndExitsZero) {
    TempDir user, reports;
    // The sample kit's add-in goes into a registry of the test's own.
    ::setenv("TAMSEL_REGISTRY", (user / "registry").c_str(), 1);
    std::ostringstream serverLog;
    server::KitServerOptions options;
    options.port = 0;
    options.kitRoot = TAMSEL_SAMPLE_KIT;
    options.reportsFolder = reports.path();
    server::KitServer server(options, serverLog);
    ASSERT_TRUE(server.bind());
    std::thread serving([&server] { server.run(); });
    LayOutKit(user, "http://127.0.0.1:" + std::to_string(server.port()));

    std::ostringstream out;
    const int status =
        RunUnattended(user / "Kit/Updater", "/unattended", out, user / "updater.lock");
    // A background run finds one file missing; its notice is answered Update.
    fs::remove(user / "Kit/Files/Tamsel Readme.txt");
    std::ostringstream silent;
    const int silentStatus =
        RunUnattended(user / "Kit/Updater", "/unattended /silent", silent, user / "updater.lock");
    while (!server.running()) {
        std::this_thread::yield();
    }
    server.stop();
    serving.join();

    EXPECT_EQ(status, 0) << out.str();
    // The package the catalogue marks as selected is taken, as a user pressing Continue would.
    EXPECT_TRUE(fs::exists(user / "Kit/Files/Templates/Sales Pitch.pot"));
    EXPECT_NE(out.str().find("Retrieving catalogue for Sales templates...\nsuccessful\n"),
              std::string::npos);
    EXPECT_NE(out.str().find("Please quit and re-launch PowerPoint"), std::string::npos);
    EXPECT_NE(user.read("Kit/localtamselupdater.ini").find("historical=\"Sales templates\""),
              std::string::npos);
    // The special section registered the add-in and wrote the toolbar's settings.
    EXPECT_NE(user.read("registry/HKEY_CURRENT_USER.reg").find("AddIns\\Tamsel Tools]"),
              std::string::npos);
    EXPECT_EQ(user.read("Kit/Special/Tamsel Tools.ini"), "root=\"" + user / "Kit/Files" + "\"\r\n");

    EXPECT_EQ(silentStatus, 0) << silent.str();
    EXPECT_NE(silent.str().find("1 file need to be updated"), std::string::npos) << silent.str();
    EXPECT_TRUE(fs::exists(user / "Kit/Files/Tamsel Readme.txt"));
}

int FreePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = -1;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
        port = ntohs(address.sin_port);
    }
    ::close(fd);
    return port;
}

TEST(Unattended, ExitsOneWhenTheServerIsDown) {
    TempDir user;
    // A port nothing listens on: one the system hands out, given back at once.
    const int port = FreePort();
    ASSERT_GT(port, 0);
    LayOutKit(user, "http://127.0.0.1:" + std::to_string(port));
    std::ostringstream out;
    EXPECT_EQ(RunUnattended(user / "Kit/Updater", "/UNATTENDED", out, user / "updater.lock"), 1);
    EXPECT_NE(out.str().find("Retrieving master catalogue from server...\nfailed\n"),
              std::string::npos)
        << out.str();
    EXPECT_NE(out.str().find("Unable to continue. Please try again in a few minutes."),
              std::string::npos);
}

TEST(Unattended, IncompleteSettingsCancelTheSetupAndExitOne) {
    TempDir user;
    user.write("Kit/Updater/.keep", "");
    std::ostringstream out;
    EXPECT_EQ(RunUnattended(user / "Kit/Updater", "/UNATTENDED", out, user / "updater.lock"), 1);
    EXPECT_TRUE(fs::exists(user / "Kit/localtamselupdater.ini"));
}

}  // namespace
}  // namespace tamsel
