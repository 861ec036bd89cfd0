#include <gtest/gtest.h>

#include <string>

#include "KitProcess.h"
#include "support/CatalogueText.h"
#include "support/TempDir.h"
#include "util/FileSystem.h"

namespace tamsel {
namespace {

using test::FileLine;
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

TEST(TamselKitCompare, ListsNewUpdatedAndRedundantFilesWithTheirSizes) {
    CompareKit kit;
    kit.local("same.pot", 5, "05/01/2007");
    kit.local("Templates/resized.pot", 10, "05/01/2007");
    kit.local("Templates/redated.pot", 2048, "05/01/2007");
    kit.local("Zzz/gone.pot", 3072, "01/01/2001");
    kit.local("Aaa/old.pot", 7, "01/01/2001");

    const auto run = kit.compare(FileLine("/Templates/Resized.pot", "05/01/2007", "12") +
                                 FileLine("/new.pot", "05/01/2007", "1536") +
                                 FileLine("/same.pot", "05/01/2007", "5") +
                                 FileLine("/Templates/redated.pot", "06/01/2007", "2048"));
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

TEST(TamselKitCompare, UnreadableInputsAndRejectedTextsFailWithOneLine) {
    CompareKit kit;
    ASSERT_EQ(kit.compare("[MENU]\r\n").status, 0)
        << "a readable catalogue, so that the folder is at fault";
    const struct {
        const char* name;
        KitRun run;
        const char* expected;
    } cases[] = {
        {"missing folder",
         Kit("compare " + Quote(kit.path("catalogue.ini")) + " " +
             Quote(kit.path("no-such-folder"))),
         "no-such-folder"},
        {"missing catalogue",
         Kit("compare " + Quote(kit.path("none.ini")) + " " + Quote(kit.path("kit"))), "none.ini"},
        {"web page", kit.compare(" <!DOCTYPE html><p>Back soon</p>\r\n"), "web page"},
        {"empty", kit.compare("' nothing\r\n"), "holds no file, menu"},
        {"parse error",
         kit.compare(FileLine("/ok.pot", "05/01/2007", "1") +
                     "url=\"/broken.pot\" date=\"05/01/2007\" size=\"1\r\n"),
         "catalogue.ini:2: "},
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
