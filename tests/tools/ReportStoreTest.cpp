#include "KitServer.h"
#include "ReportArchive.h"

#include "support/KitSite.h"
#include "support/PostgresServer.h"
#include "util/Text.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <sstream>

namespace tamsel::server {
namespace {

namespace fs = std::filesystem;

std::string Log(const std::string& name, const std::string& status, const std::string& office,
                bool critical = false) {
    return "$BEGIN Header\r\nDate_time=\"05/12/2006 09:07:03\"\r\nOffice_version=\"" + office +
           "\"\r\nFinal_status_message=\"" + status + "\"\r\n$END Header\r\n\r\n$BEGIN User\r\n" +
           "name=\"" + name + "\"\r\ndepartment=\"Sales\"\r\nemail=\"" + name +
           "@example.com\"\r\n$END User\r\n" +
           (critical ? "\r\n$BEGIN Critical Objects\r\n$END Critical Objects\r\n" : "");
}

std::time_t LocalTime(int day, int hour) {
    std::tm time{};
    time.tm_year = 126;
    time.tm_mon = 0;
    time.tm_mday = day;
    time.tm_hour = hour;
    time.tm_isdst = -1;
    return std::mktime(&time);
}

std::vector<std::string> Names(const std::vector<ReportRow>& rows) {
    std::vector<std::string> names;
    for (const auto& row : rows) {
        names.push_back(row.name);
    }
    return names;
}

// The same cases over the embedded SQLite index and over a PostgreSQL server of the test's own.
class ReportStoreTest : public testing::TestWithParam<bool> {
  protected:
    void SetUp() override {
        if (GetParam()) {
            if (!test::PostgresServer::Installed()) {
                GTEST_SKIP() << "PostgreSQL is not installed";
            }
            postgres = std::make_unique<test::PostgresServer>();
            ASSERT_TRUE(postgres->started());
            database = postgres->freshDatabase();
        }
    }
    // Logs already in the folder, as a server from before the index left them.
    void storeOld(int day, const std::string& name, const std::string& status,
                  const std::string& office, bool critical = false) {
        work.write("reports/report-202601" + std::string(day < 10 ? "0" : "") +
                       std::to_string(day) + "-100000-" + std::to_string(++stored) + ".txt",
                   Log(name, status, office, critical));
    }

    test::TempDir work;
    std::unique_ptr<test::PostgresServer> postgres;
    std::string database;
    int stored = 0;
};

TEST_P(ReportStoreTest, IndexesTheFolderAndUploadsAndFindsByEveryFilter) {
    storeOld(1, "Ann", "ERROR", "11.0");
    storeOld(2, "Bob", "CANCELED 2 files", "12.0");
    storeOld(3, "Cy", "", "12.0", true);
    storeOld(3, "Dee_%", "3 files", "");
    ReportArchive archive(work / "reports", database);
    std::ostringstream progress;
    EXPECT_EQ(archive.indexFolder(progress), 4u);
    EXPECT_EQ(archive.indexFolder(progress), 0u);
    work.write("reports/.upload-1.part", Log("Eve", "1 file", "11.0"));
    const auto kept = archive.keep(work / "reports/.upload-1.part");
    ASSERT_TRUE(kept);
    EXPECT_EQ(archive.log(*kept), Log("Eve", "1 file", "11.0"));

    const std::pair<ReportFilter, std::vector<std::string>> cases[] = {
        {{}, {"Eve", "Dee_%", "Cy", "Bob", "Ann"}},
        {{"_%", "", "", ""}, {"Dee_%"}},
        {{"SALES", "", "2026-01-02", "2026-01-03"}, {"Dee_%", "Cy", "Bob"}},
        {{"ann@EXAMPLE", "", "", ""}, {"Ann"}},
        {{"", "failed", "", ""}, {"Ann"}},
        {{"", "cancelled", "", ""}, {"Bob"}},
        {{"", "critical", "", ""}, {"Cy"}},
        {{"", "finished", "", "2026-01-03"}, {"Dee_%"}}};
    for (const auto& [filter, names] : cases) {
        SCOPED_TRACE(filter.text + "|" + filter.outcome + "|" + filter.from + "|" + filter.to);
        EXPECT_EQ(Names(archive.index().find(filter, 0, 50)), names);
    }
    const auto all = archive.index().find({}, 0, 50);
    EXPECT_EQ(Names(archive.index().find({}, 1, 2)), (std::vector<std::string>{"Dee_%", "Cy"}));
    EXPECT_EQ(Names(archive.index().find({}, 0, 2, &all[2])),
              (std::vector<std::string>{"Bob", "Ann"}));
    EXPECT_EQ(archive.index().totals().logs, 5u);
}

TEST_P(ReportStoreTest, DesktopsShowEachUsersLatestLogAndOldLogsAreRemoved) {
    storeOld(1, "Ann", "ERROR", "11.0");
    storeOld(2, "Bob", "CANCELED", "12.0");
    storeOld(3, "Ann", "2 files", "12.0");
    ReportArchive archive(work / "reports", database);
    archive.indexFolder(std::cout);
    // A log that arrives late does not replace a user's later one.
    ReportRow late = ReadReport("report-20251231-100000-9.txt", Log("Ann", "ERROR", "9.0"));
    ParseStoredName(late.file, late.received, late.seq);
    archive.index().add({{late, ""}});
    const auto desktops = [&](DesktopQuery query) {
        std::vector<std::string> rows;
        for (const auto& row : archive.index().desktops(query, 0, 50)) {
            rows.push_back(row.name + " " + row.received.substr(0, 10) + " " + row.outcome);
        }
        return rows;
    };
    using Rows = std::vector<std::string>;
    EXPECT_EQ(desktops({}), (Rows{"Bob 2026-01-02 cancelled", "Ann 2026-01-03 finished"}));
    EXPECT_EQ(desktops({"name", true, ""}),
              (Rows{"Bob 2026-01-02 cancelled", "Ann 2026-01-03 finished"}));
    EXPECT_EQ(desktops({"last", false, "2026-01-03"}), (Rows{"Bob 2026-01-02 cancelled"}));
    const auto summary = archive.index().summary("2026-01-02");
    EXPECT_EQ(summary.runs,
              (std::map<std::pair<std::string, std::string>, long>{
                  {{"2026-01-02", "cancelled"}, 1}, {{"2026-01-03", "finished"}, 1}}));
    EXPECT_EQ(summary.offices, (std::map<std::string, long>{{"12.0", 2}}));

    EXPECT_EQ(archive.prune(3, LocalTime(4, 12)), 2u);
    EXPECT_FALSE(fs::exists(work / "reports/report-20260101-100000-1.txt"));
    EXPECT_FALSE(archive.log("report-20260101-100000-1.txt"));
    EXPECT_EQ(desktops({}).size(), 2u);
    EXPECT_EQ(archive.prune(1, LocalTime(4, 0)), 1u);
    EXPECT_EQ(desktops({}), (Rows{"Ann 2026-01-03 finished"}));
    EXPECT_EQ(archive.index().totals().logs, 1u);
    const auto left = archive.index().summary("2026-01-01");
    EXPECT_EQ(left.runs.size(), 1u);
    EXPECT_EQ(left.offices, (std::map<std::string, long>{{"12.0", 1}}));
}

TEST_P(ReportStoreTest, ThePagesServeOnlyStoredLogsWhateverThePathLooksLike) {
    work.write("secret.txt", "secret");
    work.write("reports/sub/report-20260101-100000-9.txt", "secret");
    storeOld(1, "Ann", "ERROR", "11.0");
    {
        // More logs than the CSV sends in one piece.
        std::vector<std::pair<ReportRow, std::string>> many(
            1200, {ReadReport("", Log("Bo", "", "")), ""});
        for (std::size_t i = 0; i < many.size(); ++i) {
            many[i].first.file = std::to_string(i) + ".txt";
            many[i].first.received = "2025-01-01 00:00:00";
        }
        ReportArchive(work / "reports", database).index().add(many);
    }
    test::TempDir kit;
    auto options = test::KitServing(kit.path(), work / "reports");
    options.reportsDatabase = database;
    test::RunningKitServer server(options);
    ASSERT_TRUE(server.bound());
    work.write("reports/unindexed.txt", "secret");
    httplib::Client client("127.0.0.1", server.port());
    const auto get = [&](const std::string& path) {
        const auto answer = client.Get(path);
        return answer ? std::to_string(answer->status) + " " + answer->body : "none";
    };
    EXPECT_EQ(get("/tamsel_reports/report-20260101-100000-1.txt"),
              "200 " + Log("Ann", "ERROR", "11.0"));
    const std::string csv = get("/tamsel_reports/reports.csv?outcome=failed");
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 2) << csv;
    const std::string all = get("/tamsel_reports/reports.csv?q=bo");
    EXPECT_EQ(std::count(all.begin(), all.end(), '\n'), 1201);
    const std::string secret = work / "secret.txt";
    for (const std::string& path : std::vector<std::string>{
             "/tamsel_reports/../secret.txt", "/tamsel_reports/..%2Fsecret.txt",
             "/tamsel_reports/%2E%2E%2Fsecret.txt", "/tamsel_reports/" + secret,
             "/tamsel_reports/" + ReplaceAll(secret, "/", "%2F"),
             "/tamsel_reports/sub/report-20260101-100000-9.txt",
             "/tamsel_reports/sub%2Freport-20260101-100000-9.txt", "/tamsel_reports/unindexed.txt",
             "/tamsel_reports/.tamsel-index.sqlite", "/tamsel_reports/%5C..%5Csecret.txt"}) {
        EXPECT_EQ(get(path).find("secret"), std::string::npos) << path;
    }
}

INSTANTIATE_TEST_SUITE_P(Stores, ReportStoreTest, testing::Values(false, true),
                         [](const auto& test) { return test.param ? "PostgreSQL" : "SQLite"; });

}  // namespace
}  // namespace tamsel::server
