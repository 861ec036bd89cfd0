// The cryptography library as cross-built for Windows: digests and signatures as on Linux.
#include <gtest/gtest.h>

#include "catalogue/Signature.h"
#include "support/TempDir.h"
#include "util/Sha256.h"

namespace tamsel {
namespace {

TEST(WindowsCryptography, DigestsOfKnownTextsAndSignaturesThatHoldOrNot) {
    ASSERT_TRUE(EnsureSodium());
    test::TempDir dir;
    dir.write("abc.txt", "abc");
    EXPECT_EQ(Sha256OfFile(dir / "abc.txt"),
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    Sha256 empty;
    EXPECT_EQ(empty.hexDigest(),
              "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");

    const auto [secret, key] = GenerateKeyPair();
    const std::string signature = SignatureFileText(secret, "catalogue", "main.ini", 1700000000);
    struct Case {
        std::string message;
        bool valid;
    };
    for (const Case& c : {Case{"catalogue", true}, Case{"catalogues", false}}) {
        const SignatureCheck check = VerifySignature({key}, c.message, signature);
        EXPECT_EQ(check.valid, c.valid) << c.message << ": " << check.cause;
        EXPECT_EQ(check.timestamp, c.valid ? 1700000000 : -1);
    }
    EXPECT_EQ(ParsePublicKey(PublicKeyText(key))->key, key.key);
}

}  // namespace
}  // namespace tamsel
