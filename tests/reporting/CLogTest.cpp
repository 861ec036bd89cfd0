#include <gtest/gtest.h>

#include "FixedEnvironment.h"
#include "forms/HeadlessToolkit.h"
#include "reporting/CLog.h"
#include "support/TempDir.h"
#include "util/FileSystem.h"

namespace tamsel {
namespace {

using test::TempDir;

std::shared_ptr<CFile> Entry(const std::string& url, const std::string& date,
                             const std::string& size, bool tagged = false, long type = 0,
                             long reason = 0) {
    auto entry = std::make_shared<CFile>();
    entry->URL(url);
    entry->Time(date);
    entry->Size(size);
    entry->Tag(tagged);
    entry->myType(type);
    entry->Reason(reason);
    return entry;
}

class UpdateLog : public ::testing::Test {
  protected:
    void SetUp() override {
        run.localConfiguration.putValue("username", "J Smith");
        run.localConfiguration.putValue("department", "Sales");
        run.localConfiguration.putValue("email", "js@example.com");
    }

    // The written file next to the golden one.
    void expectGolden(CLog& log, const std::string& golden) {
        const std::string path = folder / "tamsel_updater_log.txt";
        ASSERT_TRUE(log.commit(path));
        std::string expected;
        ASSERT_TRUE(
            ReadWholeFile(std::string(TAMSEL_TEST_DATA) + "/reporting/" + golden, expected));
        EXPECT_EQ(folder.read("tamsel_updater_log.txt"), expected);
    }

    HeadlessEventLoop loop;
    HeadlessToolkit toolkit{loop};
    TempDir folder;
    UpdateRun run{toolkit, folder / "Updater"};
    test::FixedEnvironment environment;
};

TEST_F(UpdateLog, ARunWithNothingToReportWritesHeaderUserAndEnvironmentOnly) {
    CLog log(run, environment);
    const CCatalogue empty;
    log.addCatalogue(empty);
    log.addCatalogue3(empty);
    log.addFiles(empty.Special());
    log.addChoices(CMenu());
    log.addLog(folder / "tamsel.log");  // no menu usage file
    expectGolden(log, "log-minimal.txt");
}

TEST_F(UpdateLog, AFullCriticalRunInEinModeWritesEverySectionInItsPlace) {
    run.einMode = true;
    run.localConfiguration.putValue("ein", "E1234");
    run.localConfiguration.putValue("username", "John Smith");
    // The settings drop the quotes of a value.
    run.localConfiguration.putValue("department", "Sales \"North\"");
    run.localConfiguration.putValue("office", "11.0");
    run.g_objMetrics.FinalStatus("2 files has been updated with a total size of 5b");
    // The log's reader ends a value at a comma or CR and skips the blank after "=".
    run.g_objMetrics.EinResponse("VALID,country=UK,name= John,surname=Smith,ouc=AB12\r\n");

    CCatalogue complete;
    complete.Files().add(Entry("/Templates/Sales.pot", "03/04/2024", "5", true, CFile::TypeNew,
                               CFile::ReasonMissing));
    complete.Files().add(
        Entry("/Old/old.pot", "01/01/2020", "3", true, CFile::TypeRemove, CFile::ReasonRedundant));
    complete.Files().add(Entry("/Readme.txt", "04/04/2024", "7"));
    CFiles special;
    auto script = std::make_shared<CFile>();
    script->Script("RUN /Tools/setup.exe");
    script->Hot(true);
    special.add(script);
    special.add(Entry("/Tools/cold.exe", "01/01/2024", "1"));
    CMenu menu;
    for (const auto& [name, active] : {std::pair{"Sales", true}, std::pair{"Finance", false}}) {
        auto choice = std::make_shared<CChoice>();
        choice->Tuple(name, std::string("/") + name);
        choice->Active(active);
        menu.add(choice);
    }
    CCatalogue before;
    before.Files().add(Entry("/Old/old.pot", "01/01/2020", "3"));
    CCatalogue after;
    after.Files().add(Entry("/Templates/Sales.pot", "03/04/2024", "5"));
    after.Files().add(Entry("/Readme.txt", "04/04/2024", "7"));
    folder.write("tamsel.log", "12/05/2006 Sales.pot\r\n13/05/2006 Finance.pot\n");

    CLog log(run, environment);
    log.Critical(true);
    log.addCatalogue(complete);
    log.addFiles(special);
    log.addChoices(menu);
    log.addLog(folder / "tamsel.log");
    log.addCatalogue2(before);
    log.addCatalogue3(after);
    expectGolden(log, "log-full.txt");
}

// Values from settings, the name server, the machine and the menu usage file keep to their line.
TEST_F(UpdateLog, ControlCharactersInValuesBecomeBlanks) {
    run.localConfiguration.putValue("username", "Eve\tSmith\x1B");
    run.g_objMetrics.EinResponse("VALID,country=U\tK\x1B\r\n");
    folder.write("tamsel.log", "Sales\x7F.pot\r\n");
    CLog log(run, environment);
    log.addLog(folder / "tamsel.log");
    const std::string text = log.toText();
    for (const char* line :
         {"\nname=\"Eve Smith \"\r\n", "\ncountry=\"U K \"\r\n", "\nSales .pot\r\n"}) {
        EXPECT_NE(text.find(line), std::string::npos) << line;
    }
}

}  // namespace
}  // namespace tamsel
