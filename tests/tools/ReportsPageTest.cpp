#include "ReportsPage.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <httplib.h>

namespace tamsel::server {
namespace {

using test::TempDir;

std::string Log(const std::string& name, const std::string& status, bool critical) {
    return "$BEGIN Header\r\nDate_time=\"05/12/2006 09:07:03\"\r\nTotal_files=\"3\"\r\n"
           "Total_megabytes_downloaded=\"1572864\"\r\nOffice_version=\"11.0\"\r\n"
           "Final_status_message=\"" +
           status + "\"\r\n$END Header\r\n\r\n$BEGIN User\r\nname=\"" + name +
           "\"\r\ndepartment=\"Sales\"\r\n$END User\r\n" +
           (critical ? "\r\n$BEGIN Critical Objects\r\n$END Critical Objects\r\n" : "") +
           " \r\n$BEGIN Complete\r\nname=\"not the user\"\r\n$END Complete\r\n";
}

TEST(ReportsPage, ListsEveryStoredLogNewestFirstWithWhatCouldBeRead) {
    TempDir folder;
    folder.write("report-20240101-120000-9.txt", Log("Nine", "ok", false));
    folder.write("report-20240101-120000-10.txt", Log("Ten", "ERROR", true));
    folder.write("report-20231231-235959-1.txt", "\x01garbage\r\nname=\"half");
    folder.write("notes.md", "not a log");

    std::vector<std::string> rows;
    for (const ReportRow& r : ListReports(folder.path())) {
        rows.push_back(r.file + "|" + r.dateTime + "|" + r.name + "|" + r.finalStatus + "|" +
                       r.megabytes + (r.critical ? "|critical" : ""));
    }
    EXPECT_EQ(rows, (std::vector<std::string>{
                        "report-20240101-120000-10.txt|05/12/2006 09:07:03|Ten|ERROR|1.5|critical",
                        "report-20240101-120000-9.txt|05/12/2006 09:07:03|Nine|ok|1.5",
                        "report-20231231-235959-1.txt||||"}));
    EXPECT_TRUE(ListReports(folder / "missing").empty());
}

TEST(ReportsPage, ValuesFromALogAreEscapedInThePageAndTheCsv) {
    const auto row = ReadReport("report-1.txt", Log("<b>&\"", "=1+1, \"done\"", false));
    EXPECT_EQ(row.name, "<b>&\"");
    const std::string page = ReportsHtml({row});
    EXPECT_NE(page.find("<td>&lt;b&gt;&amp;&quot;</td>"), std::string::npos);
    EXPECT_EQ(page.find("<b>&"), std::string::npos);
    EXPECT_NE(page.find("<a href=\"report-1.txt\">"), std::string::npos);
    const std::string csv = ReportsCsv({row});
    EXPECT_NE(csv.find("\r\n05/12/2006 09:07:03,\"<b>&\"\"\",Sales,\"'=1+1, \"\"done\"\"\",3,1.5,"
                       "11.0,no,report-1.txt\r\n"),
              std::string::npos)
        << csv;
}

TEST(ReportsPage, ServesAStoredLogByItsNameAndNothingElse) {
    TempDir site;
    site.write("secret.txt", "secret");
    site.write("reports/report-20240101-120000-1.txt", "the log");
    const std::string folder = site / "reports";
    httplib::Response res;
    ASSERT_TRUE(AnswerReports(folder, "report-20240101-120000-1.txt", res));
    EXPECT_EQ(res.body, "the log");
    for (const char* other : {"../secret.txt", "missing.txt", "upload.asp"}) {
        EXPECT_FALSE(AnswerReports(folder, other, res)) << other;
    }
}

}  // namespace
}  // namespace tamsel::server
