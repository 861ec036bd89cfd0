#include <gtest/gtest.h>

#include "catalogue/CCatalogue.h"

namespace tamsel {
namespace {

void AddFile(CCatalogue& catalogue, const std::string& size, long type, bool tagged) {
    auto file = std::make_shared<CFile>();
    file->URL("/f" + std::to_string(catalogue.Files().Size()));
    file->Size(size);
    file->myType(type);
    file->Tag(tagged);
    catalogue.Files().add(file);
}

TEST(CCatalogueSize, CountsOnlyTaggedNewAndUpdateEntries) {
    CCatalogue catalogue;
    AddFile(catalogue, "100", CFile::TypeNew, true);
    AddFile(catalogue, "20", CFile::TypeUpdate, true);
    AddFile(catalogue, "3", CFile::TypeNew, false);
    AddFile(catalogue, "oops", CFile::TypeNone, true);
    AddFile(catalogue, "", CFile::TypeRemove, true);
    AddFile(catalogue, "x", CFile::TypeUnchanged, true);
    EXPECT_DOUBLE_EQ(catalogue.Size(), 120);
    EXPECT_EQ(catalogue.Updates(), 2);

    catalogue.Files().setTags();
    EXPECT_DOUBLE_EQ(catalogue.Size(), 123);
    EXPECT_EQ(catalogue.Updates(), 3);
}

TEST(CCatalogueAppend, TakesClonesOfFilesAndExclusionsOnly) {
    CCatalogue source;
    AddFile(source, "5", CFile::TypeNew, true);
    auto excluded = std::make_shared<CFile>();
    excluded->URL("/Personal");
    source.Excluded().add(excluded);
    source.Menus().add(std::make_shared<CMenu>());
    auto script = std::make_shared<CFile>();
    script->Script("close PowerPoint");
    source.Special().add(script);
    source.Log("http://reports");

    CCatalogue target;
    AddFile(target, "1", CFile::TypeNone, false);
    target.Append(source);

    ASSERT_EQ(target.Files().Size(), 2);
    ASSERT_EQ(target.Excluded().Size(), 1);
    EXPECT_EQ(target.Menus().Size(), 0);
    EXPECT_EQ(target.Special().Size(), 0);
    EXPECT_EQ(target.Log(), "");

    EXPECT_EQ(target.Files().asCollection()[1]->URL(), "/f0");
    EXPECT_NE(target.Excluded().asCollection()[0], excluded) << "a clone, not the same entry";
}

}  // namespace
}  // namespace tamsel
