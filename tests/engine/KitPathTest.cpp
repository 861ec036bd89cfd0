#include "engine/KitPath.h"

#include <gtest/gtest.h>

#include "support/TempDir.h"

namespace tamsel {
namespace {

TEST(KitPath, ExistingFilesAndFoldersOfAnyCaseAreFoundAndTheRestKeepsTheCataloguesCase) {
    test::TempDir dir;
    dir.write("Templates/Sales/Deck.pot", "x");
    EXPECT_EQ(ResolveKitPath(dir.path(), "/templates/SALES/deck.POT"),
              dir / "Templates/Sales/Deck.pot");
    EXPECT_EQ(ResolveKitPath(dir.path(), "/TEMPLATES/New/File.pot"),
              dir / "Templates/New/File.pot");
    // A new file takes its name as written, in a resolved folder.
    EXPECT_EQ(ResolveNewKitPath(dir.path(), "/templates/New.pot"), dir / "Templates/New.pot");
    EXPECT_EQ(ResolveNewKitPath(dir.path(), "/Fresh/Deep/a.pot"), dir / "Fresh/Deep/a.pot");
    // Among names differing only in case the first in listing order wins.
    dir.write("readme.TXT", "1");
    dir.write("README.txt", "2");
    EXPECT_EQ(ResolveKitPath(dir.path(), "/Readme.txt"), dir / "README.txt");
}

}  // namespace
}  // namespace tamsel
