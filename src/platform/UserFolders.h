#pragma once

#include <string>

namespace tamsel {

// The user's application data folder with a trailing "/": $XDG_DATA_HOME, else ~/.local/share,
// on Linux; the roaming application data folder on Windows.
std::string ApplicationDataFolder();

}  // namespace tamsel
