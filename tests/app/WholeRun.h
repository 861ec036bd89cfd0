#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "app/UpdaterApp.h"
#include "forms/HeadlessToolkit.h"
#include "forms/User.h"
#include "support/KitSite.h"
#include "util/FileSystem.h"

namespace tamsel::test {

namespace fs = std::filesystem;
using test::TempDir;

// Served with LF line ends, as a catalogue saved on a system other than Windows.
constexpr const char* kMaster =
    "[SETTINGS]\nfull_log=\"%server%/tamsel_reports/upload.asp\"\n"
    "[MENU]\ncaption=\"Templates\"\n"
    "choice=\"Sales\" home=\"/Sales\"\n"
    "choice=\"Finance\" home=\"/Finance\"\n"
    "[MENU]\ncaption=\"Extras\"\n"
    "choice=\"Logos\" home=\"/Logos\"\n"
    "[EXCLUDE]\nurl=\"/Personal\"\n";

// A kit published by an in-process kit server, and a user's kit laid out as Kit/Updater with
// settings that name the server and the user.
class WholeRun : public ::testing::Test {
  protected:
    void SetUp() override {
        // Add-ins are registered in a registry of the test's own, and "^" is a folder of its own.
        ::setenv("TAMSEL_REGISTRY", (home / "registry").c_str(), 1);
        ::setenv("XDG_DATA_HOME", (home / "data").c_str(), 1);
        publish("Tam-Sel Main Catalogue.ini", kMaster);
        publish("Sales/catalogue.ini",
                "url=\"/Templates/Sales.pot\" date=\"03/04/2024\" size=\"5\"\r\n"
                "url=\"/Sales/Readme.txt\" date=\"04/04/2024\" size=\"3\"\r\n");
        publish("Sales/PowerPoint/Templates/Sales.pot", "sales");
        publish("Sales/PowerPoint/Sales/Readme.txt", "abc");
        publish("Finance/catalogue.ini",
                "[SETTINGS]\r\nabsolute=\"true\"\r\n"
                "[COMMON]\r\nurl=\"/Templates/Finance.pot\" date=\"05/06/2024\" size=\"7\"\r\n");
        publish("Finance/Templates/Finance.pot", "finance");
        publish("Logos/catalogue.ini",
                "url=\"/Logos/Logo.txt\" date=\"01/01/2024\" size=\"4\"\r\n");
        publish("Logos/PowerPoint/Logos/Logo.txt", "logo");

        ASSERT_TRUE(server.bound());
        remote_ = server.remote();
        LayOutUserKit(user, remote_);
    }
    // The run goes before the server (its kept-alive connection would hold a thread) and before
    // what its handlers use.
    void TearDown() override { app_.reset(); }

    void publish(const std::string& path, const std::string& content) { site.write(path, content); }

    // Starts the updater and runs it until its main timer stops or its window unloads.
    // stopWhen: stop earlier, when it holds.
    frmMain& run(const std::string& commandLine = "", std::function<bool()> stopWhen = {}) {
        if (commandLine.empty()) {
            connectInSetup();
        }
        app_ = std::make_unique<UpdaterApp>(toolkit, user / "Kit/Updater", commandLine, transport,
                                            user / "updater.lock");
        app_->Run().g_objMetrics.OnStatusLine = [this](const std::string& line, bool newLine) {
            if (newLine || said.empty()) {
                said.push_back(line);
            } else {
                said.back() += line;
            }
        };
        if (beforeStart) {
            beforeStart(app_->Run());
        }
        app_->Start();
        loop.RunUntil([this, &stopWhen] {
            return app_->Finished() || !app_->Main().Timer1.Running() || (stopWhen && stopWhen());
        });
        return app_->Main();
    }

    std::vector<std::string> lines() const {
        std::vector<std::string> result;
        for (const auto& item : app_->Main().InfoPane.Items()) {
            result.push_back(item.text);
        }
        return result;
    }
    bool paneHas(const std::string& line) const {
        const auto all = lines();
        return std::find(all.begin(), all.end(), line) != all.end();
    }
    // Whether the run said the line at any time, also when the pane was cleared since.
    bool wasSaid(const std::string& line) const {
        return std::find(said.begin(), said.end(), line) != said.end();
    }
    std::string kitFile(const std::string& url) const { return user / ("Kit/Files" + url); }
    // The ended program's exit status; what it wrote on standard error goes to errors.
    int exitStatus() {
        EXPECT_TRUE(app_->Finished());
        return app_->ExitStatus(errors);
    }
    // The update log the run left in the log folder, which it also uploaded to the server.
    std::string uploadedLog() const {
        const std::string log = user.read("Kit/tamsel_updater_log.txt");
        EXPECT_TRUE(paneHas("- log data received"));
        std::vector<std::string> reports;
        for (const auto& entry : fs::directory_iterator(site / "reports")) {
            const std::string name = entry.path().filename().string();
            if (name[0] != '.') {  // the server's index
                reports.push_back(site.read("reports/" + name));
            }
        }
        EXPECT_EQ(reports, std::vector<std::string>{log});
        return log;
    }

    // The user ticks the named packages of the next menu and continues.
    void chooseInNextMenu(std::vector<std::string> packages) {
        toolkit.WhenShown("frmMenu", [packages](Form& form) {
            auto& list = form.Get<ListBox>("List");
            for (int i = 0; i < list.ListCount(); ++i) {
                const bool wanted =
                    std::find(packages.begin(), packages.end(), list.List(i)) != packages.end();
                if (list.Checked(i) != wanted) {
                    user::Tick(list, i, wanted);
                }
            }
            user::Click(form.Get<CommandButton>("cmdContinue"));
        });
    }
    // The user checks the details the setup dialog shows and presses Connect once it is enabled.
    void connectInSetup() {
        toolkit.WhenShown("frmLogin", [this](Form& form) {
            if (inSetup) {
                inSetup(form);
            }
            loop.PostAfter(std::chrono::milliseconds(400), [&form] {
                EXPECT_TRUE(user::Click(form.Get<CommandButton>("cmdConnect")));
            });
        });
    }
    void continueReview() {
        toolkit.WhenShown("frmUpdate",
                          [](Form& form) { user::Click(form.Get<CommandButton>("cmdContinue")); });
    }

    HeadlessEventLoop loop;
    HeadlessToolkit toolkit{loop};
    TempDir site;
    TempDir user;
    TempDir home;
    RunningKitServer server{KitServing(site.path(), site / "reports")};
    std::string remote_;
    std::unique_ptr<UpdaterApp> app_;
    std::ostringstream errors;
    // Called with the setup dialog before Connect is pressed.
    std::function<void(Form&)> inSetup;
    // Called with each run before it starts.
    std::function<void(UpdateRun&)> beforeStart;
    // The runs' HTTP transport; empty for the system's.
    HttpTransportFactory transport;
    // Every status line of the last run.
    std::vector<std::string> said;
};

}  // namespace tamsel::test
