#pragma once

#include <string>

namespace tamsel {

// The program's texts are UTF-8 inside and UTF-16 at every Windows call. A text that is not
// valid UTF-8 came from an old single-byte file and is read as Windows-1252.
std::wstring Widen(const std::string& text);
std::string Narrow(const std::wstring& text);

// Line breaks as an edit control wants them (CR LF) and as the program keeps them (LF).
std::wstring WithCrLf(const std::wstring& text);
std::wstring WithoutCr(const std::wstring& text);

}  // namespace tamsel
