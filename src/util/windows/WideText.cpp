#include "util/windows/WideText.h"

#include <windows.h>

#include <algorithm>

namespace tamsel {

std::wstring Widen(std::string_view text) {
    if (text.empty()) {
        return {};
    }
    const int size = static_cast<int>(text.size());
    const int wide = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
    std::wstring out(static_cast<std::size_t>(wide), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), size, out.data(), wide);
    return out;
}

std::string Narrow(std::wstring_view text) {
    if (text.empty()) {
        return {};
    }
    const int size = static_cast<int>(text.size());
    const int bytes =
        ::WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(bytes), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), size, out.data(), bytes, nullptr, nullptr);
    return out;
}

std::wstring WidePath(std::string_view path) {
    std::wstring wide = Widen(path);
    std::replace(wide.begin(), wide.end(), L'/', L'\\');
    const bool drive = wide.size() >= 3 && wide[1] == L':' && wide[2] == L'\\';
    const bool share = wide.size() >= 2 && wide[0] == L'\\' && wide[1] == L'\\';
    if (drive && wide.size() >= MAX_PATH - 12) {
        // The prefix turns off the system's own clean-up of "." and "..".
        std::wstring full(32768, L'\0');
        const DWORD n =
            ::GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (n > 0 && n < full.size()) {
            full.resize(n);
            return L"\\\\?\\" + full;
        }
    } else if (share && wide.size() >= MAX_PATH - 12 && wide.rfind(L"\\\\?\\", 0) != 0) {
        return L"\\\\?\\UNC\\" + wide.substr(2);
    }
    return wide;
}

std::string NarrowPath(std::wstring_view path) {
    if (path.rfind(L"\\\\?\\UNC\\", 0) == 0) {
        return "//" + NarrowPath(path.substr(8));
    }
    if (path.rfind(L"\\\\?\\", 0) == 0) {
        path.remove_prefix(4);
    }
    std::string text = Narrow(path);
    std::replace(text.begin(), text.end(), '\\', '/');
    return text;
}

std::string SystemErrorText(unsigned long error) {
    wchar_t* buffer = nullptr;
    const DWORD n = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::string text = n > 0 ? Narrow(std::wstring_view(buffer, n)) : std::string();
    ::LocalFree(buffer);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) {
        text.pop_back();
    }
    return text.empty() ? "system error " + std::to_string(error) : text;
}

}  // namespace tamsel
