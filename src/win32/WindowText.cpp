#include "win32/WindowText.h"

#include <windows.h>

#include "util/windows/WideText.h"

namespace tamsel {

namespace {

std::wstring Decode(const std::string& text, UINT codePage, DWORD flags) {
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(codePage, flags, text.data(), size, nullptr, 0);
    if (length <= 0) {
        return {};
    }
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, flags, text.data(), size, wide.data(), length);
    return wide;
}

}  // namespace

std::wstring ShownText(const std::string& text) {
    std::wstring wide = Decode(text, CP_UTF8, MB_ERR_INVALID_CHARS);
    if (wide.empty() && !text.empty()) {
        wide = Decode(text, 1252, 0);
    }
    std::wstring shown;
    shown.reserve(wide.size());
    for (std::size_t i = 0; i < wide.size(); ++i) {
        if (wide[i] == L'\n' && (i == 0 || wide[i - 1] != L'\r')) {
            shown += L'\r';
        }
        shown += wide[i];
    }
    return shown;
}

std::string TypedText(const std::wstring& text) {
    std::wstring typed;
    typed.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!(text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n')) {
            typed += text[i];
        }
    }
    return Narrow(typed);
}

}  // namespace tamsel
