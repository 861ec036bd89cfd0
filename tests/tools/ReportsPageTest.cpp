#include "ReportsPage.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <httplib.h>

namespace tamsel::server {
namespace {

TEST(ReportsPage, ReadsWhatALogHoldsAndTellsItsOutcome) {
    const std::string log =
        "$BEGIN Header\r\nTotal_megabytes_downloaded=\"1572864\"\r\nFinal_status_message=\"" +
        std::string("CANCELED 3") + "\"\r\n$END Header\r\n$BEGIN User\r\nname=\"J\xF6rg\"\r\n" +
        "email=\"j@x\"\r\n$END User\r\n \r\n$BEGIN Complete\r\nname=\"not the user\"\r\n";
    const ReportRow row = ReadReport("report-1.txt", log);
    EXPECT_EQ(row.name, "J\xC3\xB6rg");
    EXPECT_EQ(row.email + "|" + row.megabytes + "|" + row.outcome, "j@x|1.5|cancelled");
    const std::pair<std::string, std::string> outcomes[] = {
        {"ERROR", "failed"}, {"3 files", "finished"}, {"CANCELED", "cancelled"}};
    for (const auto& [status, outcome] : outcomes) {
        EXPECT_EQ(ReadReport("r", "Final_status_message=\"" + status + "\"").outcome, outcome);
    }
    EXPECT_EQ(ReadReport("r", "Final_status_message=\"ERROR\"\n$BEGIN Critical Objects").outcome,
              "critical");
}

TEST(ReportsPage, CsvCellsThatASpreadsheetWouldRunAreGuarded) {
    const std::pair<std::string, std::string> cases[] = {{"=1+1", "'=1+1"},
                                                         {"+1", "'+1"},
                                                         {"-1", "'-1"},
                                                         {"@SUM", "'@SUM"},
                                                         {"\tx", "'\tx"},
                                                         {"\rx", "\"'\rx\""},
                                                         {"a,\"b\"", "\"a,\"\"b\"\"\""},
                                                         {"plain", "plain"}};
    for (const auto& [text, field] : cases) {
        EXPECT_EQ(CsvField(text), field);
    }
}

TEST(ReportsPage, ValuesFromALogAreEscapedAndFiltersStayInTheAddress) {
    test::TempDir folder;
    folder.write("report-20260101-100000-1.txt",
                 "$BEGIN Header\r\nOffice_version=\"<b>&'\"\r\nname=\"a&b\"\r\n");
    ReportArchive archive(folder.path(), "");
    archive.indexFolder(std::cout);
    httplib::Request req;
    req.params = {{"q", "a&b"}, {"outcome", "finished"}, {"to", "2026-01-02"}, {"page", "x"}};
    httplib::Response res;
    ASSERT_TRUE(AnswerReports(archive, "", req, res, std::time(nullptr)));
    EXPECT_NE(res.body.find("<td>&lt;b&gt;&amp;&#39;</td>"), std::string::npos);
    EXPECT_EQ(res.body.find("<b>&"), std::string::npos);
    EXPECT_NE(res.body.find("href=\"reports.csv?outcome=finished&amp;q=a%26b&amp;to=2026-01-02\""),
              std::string::npos);
}

}  // namespace
}  // namespace tamsel::server
