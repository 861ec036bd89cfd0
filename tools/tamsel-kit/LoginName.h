#pragma once

#include <string>

namespace tamsel::kit {

// The user's login name: the session's login, else $USER, else the account name; empty when
// none is known.
std::string LoginName();

}  // namespace tamsel::kit
