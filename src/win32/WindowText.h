#pragma once

#include <string>

namespace tamsel {

// A text of the program as a window shows it: UTF-8, or Windows-1252 when it is not valid UTF-8
// (it came from an old single-byte file); line breaks as CR LF, as edit controls want them.
std::wstring ShownText(const std::string& text);

// What the user typed into a window, as the program keeps it: UTF-8 with LF line breaks.
std::string TypedText(const std::wstring& text);

}  // namespace tamsel
