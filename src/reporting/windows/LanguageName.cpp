#include "reporting/LanguageName.h"

#include <windows.h>

#include <array>

#include "util/windows/WideText.h"

namespace tamsel {

std::string LanguageName(std::uint16_t languageId) {
    if (languageId == 0) {
        return "Language Neutral";
    }
    std::array<wchar_t, LOCALE_NAME_MAX_LENGTH> locale{};
    if (::LCIDToLocaleName(languageId, locale.data(), LOCALE_NAME_MAX_LENGTH, 0) == 0) {
        return {};
    }
    std::array<wchar_t, 256> name{};
    const int n = ::GetLocaleInfoEx(locale.data(), LOCALE_SENGLISHDISPLAYNAME, name.data(),
                                    static_cast<int>(name.size()));
    return n > 1 ? Narrow(std::wstring_view(name.data(), static_cast<std::size_t>(n - 1)))
                 : std::string();
}

}  // namespace tamsel
