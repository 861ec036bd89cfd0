#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "KitProcess.h"
#include "support/TempDir.h"
#include "util/FileSystem.h"

namespace tamsel {
namespace {

using test::Kit;
using test::Quote;
using test::TempDir;

int Shell(const TempDir& folder, const std::string& command) {
    return std::system(
        ("cd " + Quote(folder.path()) + " && " + command + " >/dev/null 2>&1").c_str());
}

// Keys and signatures cross between tamsel-kit and the minisign command both ways; the kit's
// own check (the updater's) takes what minisign signs.
TEST(TamselKitSigning, KeysAndSignaturesCrossWithTheMinisignCommand) {
    if (std::system("command -v minisign >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "the minisign command is not installed";
    }
    TempDir kit;
    kit.write("Files/a.pot", "template");
    const auto built = Kit("build --sha256 " + Quote(kit / "Files"));
    ASSERT_EQ(built.status, 0) << built.err;
    kit.write("catalogue.ini", built.out);

    const auto keygen = Kit("keygen " + Quote(kit / "ours.key"));
    ASSERT_EQ(keygen.status, 0) << keygen.err;
    EXPECT_EQ(keygen.out, kit.read("ours.pub").substr(kit.read("ours.pub").find('\n') + 1));
    ASSERT_EQ(Kit("sign " + Quote(kit / "ours.key") + " " + Quote(kit / "catalogue.ini")).status,
              0);
    EXPECT_EQ(Shell(kit, "minisign -V -p ours.pub -m catalogue.ini"), 0);

    ASSERT_EQ(Shell(kit, "minisign -G -W -p theirs.pub -s theirs.key"), 0);
    ASSERT_EQ(Shell(kit, "minisign -S -s theirs.key -m catalogue.ini"), 0);
    const std::string lint = "lint " + Quote(kit / "catalogue.ini") + " --public-key ";
    const auto clean = Kit(lint + Quote(kit / "theirs.pub"));
    EXPECT_EQ(clean.status, 0) << clean.out;
    EXPECT_NE(Kit(lint + Quote(kit / "ours.pub")).out.find("another key"), std::string::npos);

    // Their secret key signs through tamsel-kit too.
    ASSERT_EQ(Kit("sign " + Quote(kit / "theirs.key") + " " + Quote(kit / "catalogue.ini")).status,
              0);
    EXPECT_EQ(Shell(kit, "minisign -V -p theirs.pub -m catalogue.ini"), 0);

    // A line added after signing has no hash and breaks the signature.
    kit.write("catalogue.ini", built.out + "url=\"/b.pot\" date=\"01/02/2006\" size=\"1\"\r\n");
    const auto changed = Kit(lint + Quote(kit / "theirs.pub"));
    EXPECT_EQ(changed.status, 1);
    EXPECT_NE(changed.out.find(":4: no sha256 in a signed kit"), std::string::npos) << changed.out;
    EXPECT_NE(changed.out.find("catalogue.ini.minisig: does not verify with the key: the "
                               "signature does not match the content"),
              std::string::npos)
        << changed.out;
}

}  // namespace
}  // namespace tamsel
