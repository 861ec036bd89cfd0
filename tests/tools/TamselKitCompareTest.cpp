#include <gtest/gtest.h>

#include <string>

#include "KitProcess.h"
#include "support/TempDir.h"
#include "util/FileSystem.h"

namespace tamsel {
namespace {

using test::Kit;
using test::KitRun;
using test::Quote;
using test::TempDir;

// A kit folder and a catalogue file side by side in one scratch folder.
class CompareKit {
  public:
    // A local file of that many bytes dated as a catalogue date at 06:00, as downloads are.
    void local(const std::string& relative, std::size_t bytes, const std::string& date) {
        const auto path = scratch_.write("kit/" + relative, std::string(bytes, 'x'));
        SetFileTimeFromText(path, date + " 06:00");
    }
    // Writes the catalogue lines, each ended by CR LF, and compares it with the kit folder.
    KitRun compare(const std::string& lines, const std::string& options = "") {
        std::filesystem::create_directories(scratch_ / "kit");
        const auto catalogue = scratch_.write("catalogue.ini", lines);
        return Kit("compare " + Quote(catalogue) + " " + Quote(scratch_ / "kit") + options);
    }
    std::string path(const std::string& relative) const { return scratch_ / relative; }

  private:
    TempDir scratch_;
};

std::string Line(const std::string& url, const std::string& date, const std::string& size) {
    return "url=\"" + url + "\" date=\"" + date + "\" size=\"" + size + "\"\r\n";
}

TEST(TamselKitCompare, AnUpToDateKitHasNothingToDo) {
    CompareKit kit;
    kit.local("Templates/Corporate.pot", 1536, "05/01/2007");
    kit.local("a b.ppa", 12, "28/02/2008");
    // The catalogue differs from the disk in letter case only: still the same files.
    const auto run = kit.compare(Line("/templates/CORPORATE.pot", "05/01/2007", "1536") +
                                 Line("/A B.ppa", "28/02/2008", "12"));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "no updates\n");
    EXPECT_EQ(run.err, "");
}

TEST(TamselKitCompare, ListsNewUpdatedAndRedundantFilesWithTheirSizes) {
    CompareKit kit;
    kit.local("same.pot", 5, "05/01/2007");
    kit.local("Templates/resized.pot", 10, "05/01/2007");
    kit.local("Templates/redated.pot", 2048, "05/01/2007");
    kit.local("Zzz/gone.pot", 3072, "01/01/2001");
    kit.local("Aaa/old.pot", 7, "01/01/2001");

    const auto run =
        kit.compare(Line("/Templates/Resized.pot", "05/01/2007", "12") +
                    Line("/new.pot", "05/01/2007", "1536") + Line("/same.pot", "05/01/2007", "5") +
                    Line("/Templates/redated.pot", "06/01/2007", "2048"));
    ASSERT_EQ(run.status, 0) << run.err;
    // Catalogue order first (in the catalogue's letter case), then local files in walk order;
    // up-to-date entries are pruned.
    EXPECT_EQ(run.out,
              "Update: 12b  /Templates/Resized.pot\n"
              "New: 1.5kb  /new.pot\n"
              "Update: 2kb  /Templates/redated.pot\n"
              "Remove: 7b  /Aaa/old.pot\n"
              "Remove: 3kb  /Zzz/gone.pot\n"
              "3 files to update (3.5kb)   2 file to delete (3.0kb)\n");
}

TEST(TamselKitCompare, SizeAndDateTextsCompareExactly) {
    CompareKit kit;
    kit.local("a.pot", 12, "05/01/2007");
    kit.local("b.pot", 12, "05/01/2007");
    // A trailing blank makes another size text; the date is compared as text too.
    const auto run =
        kit.compare(Line("/a.pot", "05/01/2007", "12 ") + Line("/b.pot", "5/1/2007", "12"));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              "Update: 12b  /a.pot\n"
              "Update: 12b  /b.pot\n"
              "2 files to update (24b)\n");
}

TEST(TamselKitCompare, ExcludedFilesAreNeverRemoved) {
    CompareKit kit;
    kit.local("Personal/notes.txt", 100, "01/01/2001");
    kit.local("Personal/Deep/more.txt", 100, "01/01/2001");
    kit.local("Docs/Personal/copy.txt", 100, "01/01/2001");
    kit.local("Docs/a.pot", 1024, "01/01/2001");
    kit.local("Docs/b.pot", 1024, "01/01/2001");
    kit.local("Docs/c.pot", 1024, "01/01/2001");
    kit.local("personal/lower.txt", 1, "01/01/2001");

    // Exclusion is a substring test on the local path ignoring case, wherever it occurs.
    const auto run = kit.compare("[EXCLUDE]\r\nurl=\"/Personal\"\r\n");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              "Remove: 1kb  /Docs/a.pot\n"
              "Remove: 1kb  /Docs/b.pot\n"
              "Remove: 1kb  /Docs/c.pot\n"
              "no updates   3 file to delete (3kb)\n");
}

TEST(TamselKitCompare, ThePrefixLocatesDownloadsButMatchesTheSameFiles) {
    CompareKit kit;
    kit.local("Templates/Corporate.pot", 1536, "05/01/2007");
    const std::string lines =
        Line("/Templates/Corporate.pot", "05/01/2007", "1536") + Line("/x.pot", "05/01/2007", "1");
    const auto plain = kit.compare(lines);
    const auto prefixed = kit.compare(lines, " --prefix /Sales");
    ASSERT_EQ(prefixed.status, 0) << prefixed.err;
    EXPECT_EQ(prefixed.out, "New: 1b  /x.pot\n1 file to update (1b)\n");
    EXPECT_EQ(prefixed.out, plain.out);
}

TEST(TamselKitCompare, EntriesLeadingOutsideTheKitAreDropped) {
    CompareKit kit;
    const auto run = kit.compare(Line("/../outside.pot", "05/01/2007", "1") +
                                 Line("/in/../../up.pot", "05/01/2007", "1") +
                                 Line("/inside.pot", "05/01/2007", "1"));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "New: 1b  /inside.pot\n1 file to update (1b)\n");
}

TEST(TamselKitCompare, UnreadableInputsAndRejectedTextsFailWithOneLine) {
    CompareKit kit;
    ASSERT_EQ(kit.compare("[MENU]\r\n").status, 0)
        << "a readable catalogue, so that the folder is at fault";
    const auto missingFolder = Kit("compare " + Quote(kit.path("catalogue.ini")) + " " +
                                   Quote(kit.path("no-such-folder")));
    const auto missingCatalogue =
        Kit("compare " + Quote(kit.path("none.ini")) + " " + Quote(kit.path("kit")));
    const auto webPage = kit.compare(" <!DOCTYPE html><p>Back soon</p>\r\n");
    const auto empty = kit.compare("' nothing\r\n");
    const auto unbalanced = kit.compare(Line("/ok.pot", "05/01/2007", "1") +
                                        "url=\"/broken.pot\" date=\"05/01/2007\" size=\"1\r\n");

    const struct {
        const char* name;
        const KitRun& run;
        const char* expected;
    } cases[] = {
        {"missing folder", missingFolder, "no-such-folder"},
        {"missing catalogue", missingCatalogue, "none.ini"},
        {"web page", webPage, "web page"},
        {"empty", empty, "holds no file, menu"},
        {"parse error", unbalanced, "catalogue.ini:2: "},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.run.status, 1) << c.name;
        EXPECT_EQ(c.run.out, "") << c.name;
        EXPECT_NE(c.run.err.find(c.expected), std::string::npos) << c.name << ": " << c.run.err;
        EXPECT_EQ(c.run.err.find('\n'), c.run.err.size() - 1) << c.name << ": " << c.run.err;
    }
}

}  // namespace
}  // namespace tamsel
