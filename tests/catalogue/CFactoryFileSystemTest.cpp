#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "catalogue/CFactory.h"
#include "catalogue/CatalogueBuilder.h"
#include "support/TempDir.h"
#include "util/Error.h"
#include "util/FileSystem.h"

namespace tamsel {
namespace {

using test::TempDir;

std::string Listing(const CCatalogue& catalogue) {
    std::string text;
    for (const auto& file : catalogue.Files().asCollection())
        text += file->URL() + " " + file->Size() + "\n";
    return text;
}

TEST(FileSystemCatalogue, EmptyRootGivesNothingEmptyFolderNoFilesAndMissingFolderThrows) {
    CFactory factory;
    EXPECT_EQ(factory.createCatalogueFromFileSystem("", ""), nullptr);
    TempDir kit;
    const auto catalogue = factory.createCatalogueFromFileSystem(kit.path(), "");
    ASSERT_NE(catalogue, nullptr);
    EXPECT_EQ(catalogue->Files().Size(), 0);
    EXPECT_EQ(catalogue->Menus().Size(), 0);
    // An unreadable folder is thrown to the caller.
    EXPECT_THROW(factory.createCatalogueFromFileSystem(kit / "missing", ""), TamselError);
    CFiles files;
    EXPECT_THROW(factory.WalkFileSystem(kit.path() + "/", "missing/", files), TamselError);
    EXPECT_EQ(files.Size(), 0);
}

TEST(FileSystemCatalogue, WalksDepthFirstInNameOrder) {
    TempDir kit;
    const char* files[][2] = {{"b.pot", "12345"},      {"A.pot", "1"},
                              {"a.pot", "12"},         {"Templates/Sub/deep.pot", "abc"},
                              {"Templates/t.pot", ""}, {"c/x", "x"},
                              {".hidden", "secret"},   {"Templates/.cache/h", "h"}};
    for (const auto& file : files)
        kit.write(file[0], file[1]);
    std::filesystem::create_directories(kit / "Empty/Inner");
    ASSERT_EQ(::mkfifo((kit / "pipe").c_str(), 0600), 0);
    // A linked folder is walked like any other; one leading back up is not walked again.
    TempDir elsewhere;
    elsewhere.write("s.pot", "ss");
    std::filesystem::create_directory_symlink(elsewhere.path(), kit / "Shared");
    std::filesystem::create_directory_symlink(kit.path(), kit / "c/up");

    CFactory factory;
    const auto catalogue = factory.createCatalogueFromFileSystem(kit.path(), "");
    EXPECT_EQ(Listing(*catalogue),
              "/A.pot 1\n/a.pot 2\n/b.pot 5\n/c/x 1\n/Shared/s.pot 2\n/Templates/Sub/deep.pot 3\n"
              "/Templates/t.pot 0\n");
    for (const auto& file : catalogue->Files().asCollection()) {
        EXPECT_EQ(file->Append(), "");
        EXPECT_EQ(file->Time().size(), 10u) << file->URL();
        EXPECT_EQ(file->Time(), GetFileDate(kit.path() + file->URL()));
    }
}

TEST(CatalogueBuilderText, CommentLinesThenOneLinePerFile) {
    TempDir kit;
    SetFileTimeFromText(kit.write("b.pot", "12"), "09/03/2008 10:00");
    SetFileTimeFromText(kit.write("Sub/a.pot", "1"), "05/01/2007 10:00");
    const DateTime now{2024, 6, 1, 14, 5, 9};

    const std::string text = BuildCatalogueText(kit.path(), "Jo Bloggs", now);
    EXPECT_EQ(text, "'Default catalogue file created on " + DefaultDateTimeText(now) +
                        " by Jo Bloggs\r\n'\r\n"
                        "url=\"/b.pot\" date=\"09/03/2008\" size=\"2\"\r\n"
                        "url=\"/Sub/a.pot\" date=\"05/01/2007\" size=\"1\"\r\n");

    // What the builder writes reads back as the same files.
    CFactory factory;
    const auto reread = factory.createCatalogueFromText(text, "", "");
    EXPECT_EQ(Listing(*reread), "/b.pot 2\n/Sub/a.pot 1\n");
    EXPECT_THROW(BuildCatalogueText(std::string(), "x", now), TamselError);
}

}  // namespace
}  // namespace tamsel
