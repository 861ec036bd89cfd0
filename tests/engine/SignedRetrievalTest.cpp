#include <gtest/gtest.h>

#include <optional>

#include "catalogue/Signature.h"
#include "engine/UpdateRun.h"
#include "forms/HeadlessToolkit.h"
#include "support/HttpTestServer.h"
#include "support/TempDir.h"
#include "util/Text.h"

namespace tamsel {
namespace {

constexpr const char* kName = "Tam-Sel Main Catalogue.ini";
const std::string kHash(64, 'e');
// Readers that know neither sha256 nor colour read the line as they always did.
const std::string kCatalogue =
    "url=\"/a.pot\" date=\"01/02/2006\" size=\"3\" sha256=\"" + kHash + "\" colour=\"red\"\r\n";

// A run whose server publishes the master catalogue and, when there is one, its signature.
class SignedRetrieval : public ::testing::Test {
  protected:
    void SetUp() override {
        server.server().Get(R"(/(.*))",
                            [this](const httplib::Request& req, httplib::Response& res) {
                                const auto found = published.find(req.path);
                                if (found == published.end()) {
                                    res.status = 404;
                                } else {
                                    res.set_content(found->second, "text/plain");
                                }
                            });
        ASSERT_TRUE(server.start());
        run.globalConfiguration.putValue("remote", server.hostUrl(""));
        run.globalConfiguration.putValue("primary_catalogue", kName);
    }

    void trust(const std::string& key) {
        run.globalConfiguration.add(CConfiguration::Setting("public_key", key));
    }
    void publish(const std::string& text, const std::optional<std::string>& signature) {
        published["/" + std::string(kName)] = text;
        published.erase("/" + std::string(kName) + ".minisig");
        if (signature) {
            published["/" + std::string(kName) + ".minisig"] = *signature;
        }
    }
    std::string sign(const SecretKey& key, long long timestamp, const std::string& name = kName,
                     const std::string& text = kCatalogue) {
        return SignatureFileText(key, text, name, timestamp);
    }
    CMetrics& metrics() { return run.g_objMetrics; }

    HeadlessEventLoop loop;
    HeadlessToolkit toolkit{loop};
    test::HttpTestServer server;
    std::map<std::string, std::string> published;
    test::TempDir folder;
    UpdateRun run{toolkit, folder / "Updater"};
    std::pair<SecretKey, PublicKey> current = GenerateKeyPair();
    std::pair<SecretKey, PublicKey> other = GenerateKeyPair();
};

// Nothing but an intact catalogue, signed by the kit's key for its own name and not older than
// the last one taken, is a catalogue; the time it was signed is kept in the local settings.
TEST_F(SignedRetrieval, OnlyAnIntactCurrentCatalogueSignedForItsNameIsTaken) {
    trust(PublicKeyText(current.second));
    const std::string signature = sign(current.first, 2000);
    const struct {
        const char* what;
        std::string text;
        std::optional<std::string> signature;
        std::string cause;  // empty: taken
    } cases[] = {
        {"signed", kCatalogue, signature, ""},
        {"a byte changed", ReplaceAll(kCatalogue, "3", "4"), signature,
         "the signature does not match the content"},
        {"another key", kCatalogue, sign(other.first, 2000),
         "the signature was made with another key (key id " + KeyIdText(other.second.id) + ")"},
        {"truncated", kCatalogue, signature.substr(0, signature.size() - 30),
         "the signature file is malformed"},
        {"cut to two lines", kCatalogue, signature.substr(0, signature.find("trusted comment")),
         "the signature file is not complete"},
        {"missing", kCatalogue, std::nullopt,
         "the catalogue's signature cannot be fetched: HTTP 404"},
        {"another name", kCatalogue, sign(current.first, 2000, "catalogue.ini"),
         "the signature is for 'catalogue.ini', not for 'Tam-Sel Main Catalogue.ini'"},
        {"older", kCatalogue, sign(current.first, 1999),
         "the catalogue was signed at 1999, before the one accepted last (signed at 2000)"},
        {"time moved on in the comment", kCatalogue,
         ReplaceAll(sign(current.first, 1999), "timestamp:1999", "timestamp:2001"),
         "the signature's trusted comment has been altered"},
        {"newer", kCatalogue, sign(current.first, 2001), ""},
    };
    for (const auto& c : cases) {
        publish(c.text, c.signature);
        EXPECT_EQ(metrics().getRemoteCatalogue(), c.cause.empty()) << c.what;
        if (!c.cause.empty()) {
            EXPECT_EQ(metrics().FailureCause().find(c.cause), 0u)
                << c.what << ": " << metrics().FailureCause();
        }
    }
    const auto& entry = *metrics().RemoteCatalogue()->Files().asCollection().at(0);
    EXPECT_EQ(entry.asString(), "url=\"/a.pot\" date=\"01/02/2006\" size=\"3\"");
    EXPECT_EQ(entry.Sha256(), kHash);
    EXPECT_EQ(run.localConfiguration.getValue("signature_timestamp"),
              "2001 /Tam-Sel Main Catalogue.ini");
}

TEST_F(SignedRetrieval, EveryListedKeyIsTrustedAndAKitWithoutKeysIsTakenUnsignedWithANote) {
    metrics().Debugging(true);
    std::filesystem::create_directories(folder / "Updater");
    publish(kCatalogue, std::nullopt);
    ASSERT_TRUE(metrics().getRemoteCatalogue());
    EXPECT_NE(folder.read("Updater/debug.log").find("the kit is not signed"), std::string::npos);

    trust("RWnot-a-key");
    publish(kCatalogue, sign(current.first, 1));
    EXPECT_FALSE(metrics().getRemoteCatalogue()) << "a key that is no key trusts nothing";

    // While a key is being replaced, catalogues signed with either are taken.
    trust(PublicKeyText(other.second));
    trust(PublicKeyText(current.second));
    EXPECT_TRUE(metrics().getRemoteCatalogue());
    publish(kCatalogue, sign(other.first, 2));
    EXPECT_TRUE(metrics().getRemoteCatalogue());
}

}  // namespace
}  // namespace tamsel
