#include "CatalogueLint.h"

#include <algorithm>

#include "catalogue/CatalogueSyntax.h"
#include "util/Sha256.h"
#include "util/Text.h"

namespace tamsel::kit {

std::vector<LintWarning> LintSha256(std::string_view content) {
    std::vector<LintWarning> warnings;
    Section section = Section::Common;
    long number = 0;
    for (std::size_t position = 0; position < content.size();) {
        const auto end = std::min(content.find('\n', position), content.size());
        const std::string text = TrimSpaces(content.substr(position, end - position));
        position = end + 1;
        ++number;
        if (text.empty() || text.front() == '\'') {
            continue;
        }
        if (ContainsNoCase(text, "%server%")) {
            warnings.push_back({number,
                                "%server% in a signed kit: tamsel-server rewrites it as "
                                "it serves the catalogue, and the signature no longer "
                                "holds; write the full address"});
        }
        if (const auto header = SectionHeader(text)) {
            section = *header;
            continue;
        }
        const std::string stripped = StripQuoted(text);
        const bool fileLine =
            (section == Section::Common && HasKey(stripped, "url") && HasKey(stripped, "date") &&
             HasKey(stripped, "size")) ||
            (section == Section::Special && !HasKey(stripped, "script") && HasKey(stripped, "url"));
        if (!fileLine) {
            continue;
        }
        if (!HasKey(stripped, "sha256")) {
            warnings.push_back({number, "no sha256 in a signed kit: the file is taken unchecked"});
        } else if (!IsSha256Text(KeyValue("sha256", text))) {
            warnings.push_back({number, "sha256 is not 64 hex digits: the file never verifies"});
        }
    }
    return warnings;
}

}  // namespace tamsel::kit
