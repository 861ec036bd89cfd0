#include <gtest/gtest.h>

#include "catalogue/CFile.h"
#include "catalogue/CFiles.h"

namespace tamsel {
namespace {

std::shared_ptr<CFile> Entry(const std::string& url, const std::string& time = "01/02/2007",
                             const std::string& size = "10") {
    auto file = std::make_shared<CFile>();
    file->URL(url);
    file->Time(time);
    file->Size(size);
    return file;
}

TEST(CFileText, WritesTheOneLineForm) {
    const struct {
        const char* name;
        std::string script;
        long reason;
        std::string expected;
    } cases[] = {
        {"unknown reason", "", 7, R"(url="/a b.pot" date="01/02/2007" size="10" reason="")"},
        {"spaces-only script", "   ", 0, R"(url="/a b.pot" date="01/02/2007" size="10")"},
        {"script", " run x ", 4, R"(script=" run x ")"},
    };
    for (const auto& c : cases) {
        auto file = Entry("/a b.pot");
        file->Script(c.script);
        file->Reason(c.reason);
        EXPECT_EQ(file->asString(), c.expected) << c.name;
    }
    EXPECT_EQ(CFile().asString(), R"(url="" date="26/10/1966" size="")");
    // The update log shows the other forms.
    EXPECT_EQ(
        CFile::ReasonText(CFile::ReasonWrongSize) + "," + CFile::ReasonText(CFile::ReasonWrongDate),
        "Wrong Size,Wrong Date");
}

TEST(CFileClone, CopiesIdentityButNotMarks) {
    auto file = Entry("/a.pot");
    file->Append("/Sales");
    file->Action("run");
    file->myType(2);
    file->Script("close PowerPoint");
    file->Tag(true);
    file->Reason(4);
    file->Hot(true);

    const auto clone = file->Clone();
    // The text form shows that the date and size came along, and no script or reason.
    EXPECT_EQ(clone->asString(), R"(url="/a.pot" date="01/02/2007" size="10")");
    EXPECT_EQ(clone->fullURL(), "/Sales/a.pot");
    EXPECT_EQ(clone->Action(), "run");
    EXPECT_EQ(clone->myType(), 2);
    EXPECT_FALSE(clone->Tag());
    EXPECT_FALSE(clone->Hot());

    clone->URL("/changed");
    EXPECT_EQ(file->URL(), "/a.pot");
}

TEST(CFilesAppend, ClonesInOrderAndSurvivesAppendingItself) {
    CFiles files;
    files.add(Entry("/a"));
    files.add(Entry("/b"));
    files.Append(files);
    ASSERT_EQ(files.Size(), 4);
    EXPECT_EQ(files.asCollection()[2]->URL(), "/a");
    EXPECT_EQ(files.asCollection()[3]->URL(), "/b");
    EXPECT_NE(files.asCollection()[2], files.asCollection()[0]);
}

}  // namespace
}  // namespace tamsel
