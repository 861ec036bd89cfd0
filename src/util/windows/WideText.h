#pragma once

#include <string>
#include <string_view>

// Texts at the Windows boundary: the program keeps UTF-8 and "/" inside, Windows takes UTF-16
// with "\".
namespace tamsel {

std::wstring Widen(std::string_view text);
std::string Narrow(std::wstring_view text);
// A path for a wide file call: "/" turned into "\", and an absolute path given the "\\?\" prefix
// so that it may be longer than MAX_PATH.
std::wstring WidePath(std::string_view path);
// A path from a wide call as the program writes it: UTF-8, "\" turned into "/", without the
// "\\?\" prefix.
std::string NarrowPath(std::wstring_view path);
// The system's text for an error number from GetLastError, without its line break.
std::string SystemErrorText(unsigned long error);

}  // namespace tamsel
