#include "reporting/LanguageName.h"

#include <unicode/uloc.h>
#include <unicode/ustring.h>

namespace tamsel {

std::string LanguageName(std::uint16_t languageId) {
    if (languageId == 0) {
        return "Language Neutral";
    }
    UErrorCode status = U_ZERO_ERROR;
    char locale[ULOC_FULLNAME_CAPACITY] = {};
    const int32_t length = uloc_getLocaleForLCID(languageId, locale, sizeof locale, &status);
    if (U_FAILURE(status) || length <= 0) {
        return {};
    }
    UChar name[256] = {};
    const int32_t nameLength = uloc_getDisplayName(locale, "en", name, 256, &status);
    if (U_FAILURE(status) || nameLength <= 0) {
        return {};
    }
    char utf8[1024] = {};
    int32_t utf8Length = 0;
    u_strToUTF8(utf8, sizeof utf8, &utf8Length, name, nameLength, &status);
    return U_FAILURE(status) ? std::string() : std::string(utf8, utf8Length);
}

}  // namespace tamsel
