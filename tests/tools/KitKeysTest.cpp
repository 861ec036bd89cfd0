#include <gtest/gtest.h>

#include <sstream>

#include "KitKeys.h"
#include "catalogue/Signature.h"
#include "config/CConfiguration.h"
#include "support/TempDir.h"
#include "util/Error.h"

namespace tamsel::desktop {
namespace {

// The keys given replace those of an earlier install and leave the other settings alone; a text
// that is no key is refused before anything is written.
TEST(KitKeys, TheGivenKeysReplaceTheKitsPublicKeyLines) {
    test::TempDir kit;
    kit.write("globaltamselupdater.ini", "remote=\"http://kits\"\r\npublic_key=\"RWold\"\r\n");
    const std::string first = PublicKeyText(GenerateKeyPair().second);
    const std::string second = PublicKeyText(GenerateKeyPair().second);
    kit.write("second.pub", PublicKeyFileText(*ParsePublicKey(second)));
    std::ostringstream out;

    WritePublicKeys(kit.path(), PublicKeyTexts({first, kit / "second.pub"}), out);
    EXPECT_EQ(kit.read("globaltamselupdater.ini"), "remote=\"http://kits\"\r\npublic_key=\"" +
                                                       first + "\"\r\npublic_key=\"" + second +
                                                       "\"\r\n");
    WritePublicKeys(kit.path(), PublicKeyTexts({second}), out);
    EXPECT_EQ(kit.read("globaltamselupdater.ini"),
              "remote=\"http://kits\"\r\npublic_key=\"" + second + "\"\r\n");
    EXPECT_THROW(PublicKeyTexts({second, "RWnot-a-key"}), TamselError);
}

}  // namespace
}  // namespace tamsel::desktop
