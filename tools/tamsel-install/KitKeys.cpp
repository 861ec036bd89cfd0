#include "KitKeys.h"

#include "FileActions.h"
#include "catalogue/Signature.h"
#include "config/CConfiguration.h"
#include "config/SettingsLoading.h"
#include "util/FileSystem.h"

namespace tamsel::desktop {

namespace {

constexpr const char* kPublicKey = "public_key";

}  // namespace

std::vector<std::string> PublicKeyTexts(const std::vector<std::string>& given) {
    std::vector<std::string> texts;
    for (const auto& text : given) {
        std::string file;
        const auto key = ParsePublicKey(ReadWholeFile(text, file) ? file : text);
        if (!key) {
            Fail("'" + text + "' is neither a public key nor a public key file");
        }
        texts.push_back(PublicKeyText(*key));
    }
    return texts;
}

void WritePublicKeys(const std::string& kitFolder, const std::vector<std::string>& keys,
                     std::ostream& out) {
    CConfiguration settings;
    const std::string path = kitFolder + "/" + kGlobalSettingsFile;
    if (!settings.readFile(path)) {
        Fail("cannot read the settings file " + path);
    }
    std::vector<std::string> present;
    for (const auto& line : settings.asCollection()) {
        if (line->Key() == kPublicKey) {
            present.push_back(line->Value());
        }
    }
    if (present == keys) {
        out << "unchanged " << path << " (public keys)\n";
        return;
    }
    settings.RemoveAll(kPublicKey);
    for (const auto& key : keys) {
        settings.add(CConfiguration::Setting(kPublicKey, key));
    }
    settings.Dirty();
    if (!settings.commit()) {
        Fail("cannot write the settings file " + path);
    }
    out << "wrote " << path << " (public keys)\n";
}

}  // namespace tamsel::desktop
