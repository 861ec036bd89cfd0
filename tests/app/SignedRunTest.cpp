// Whole runs of a signed kit whose entries carry the SHA-256 of their files.
#include "WholeRun.h"
#include "catalogue/Signature.h"
#include "util/Sha256.h"
#include "util/Text.h"

namespace tamsel {
namespace {

namespace fs = std::filesystem;
using test::WholeRun;

class SignedRun : public WholeRun {
  protected:
    // Publishes the catalogue with its signature.
    void publishSigned(const std::string& path, const std::string& text, long long timestamp) {
        publish(path, text);
        publish(path + ".minisig",
                SignatureFileText(key.first, text, fs::path(path).filename(), timestamp));
    }
    static std::string hashOf(const std::string& text) {
        Sha256 hash;
        hash.update(text.data(), text.size());
        return hash.hexDigest();
    }

    std::pair<SecretKey, PublicKey> key = GenerateKeyPair();
};

// A body whose hash is not the catalogue's is never written, for a special file as for an
// ordinary one; the rest of the kit arrives and the signing times are kept.
TEST_F(SignedRun, AFileWhoseHashDiffersFromTheCataloguesIsNeverWritten) {
    publish("Tools/Addin.ppa", "addin");
    publish("Tools/Good.txt", "good");
    publishSigned("Tam-Sel Main Catalogue.ini",
                  // A served catalogue's %server% is rewritten, which no signature survives.
                  ReplaceAll(test::kMaster, "%server%", remote_) +
                      "[SPECIAL]\nurl=\"/Tools/Addin.ppa\" date=\"01/06/2024\" size=\"5\" "
                      "sha256=\"" +
                      hashOf("other") + "\"\nurl=\"/Tools/Good.txt\" date=\"01/06/2024\" " +
                      "size=\"4\" sha256=\"" + hashOf("good") + "\"\n",
                  100);
    publishSigned("Sales/catalogue.ini",
                  "url=\"/Templates/Sales.pot\" date=\"03/04/2024\" size=\"5\" sha256=\"" +
                      hashOf("sales") +
                      "\"\r\nurl=\"/Sales/Readme.txt\" date=\"04/04/2024\" "
                      "size=\"3\" sha256=\"" +
                      ToUpper(hashOf("abd")) + "\"\r\n",
                  200);
    user.write("Kit/globaltamselupdater.ini", user.read("Kit/globaltamselupdater.ini") +
                                                  "public_key=\"" + PublicKeyText(key.second) +
                                                  "\"\r\n");
    chooseInNextMenu({"Sales"});
    chooseInNextMenu({});
    continueReview();
    frmMain& main = run();

    EXPECT_EQ(main.State(), 99);
    EXPECT_EQ(user.read("Kit/Files/Templates/Sales.pot"), "sales");
    EXPECT_FALSE(fs::exists(kitFile("/Sales/Readme.txt")));
    EXPECT_FALSE(fs::exists(user / "Kit/Tools/Addin.ppa"));
    EXPECT_EQ(user.read("Kit/Tools/Good.txt"), "good");
    const std::string cause = "  cause: the file's SHA-256 differs from the catalogue's";
    for (const std::string& failure :
         {"Unable to retrieve '" + remote_ + "/Tools/Addin.ppa'",
          "Unable to write file '" + kitFile("/Sales/Readme.txt") + "'"}) {
        const auto said_ = std::find(said.begin(), said.end(), failure);
        ASSERT_NE(said_, said.end()) << failure;
        EXPECT_EQ(said_[1], cause);
    }
    const std::string local = user.read("Kit/localtamselupdater.ini");
    for (const char* kept : {"signature_timestamp=\"100 /Tam-Sel Main Catalogue.ini\"\r\n",
                             "signature_timestamp=\"200 /Sales/catalogue.ini\"\r\n"}) {
        EXPECT_NE(local.find(kept), std::string::npos) << local;
    }
}

}  // namespace
}  // namespace tamsel
