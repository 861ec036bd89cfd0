#include "LoginName.h"

#include <pwd.h>
#include <unistd.h>

#include <array>
#include <cstdlib>
#include <vector>

namespace tamsel::kit {

std::string LoginName() {
    std::array<char, 256> login{};
    if (::getlogin_r(login.data(), login.size()) == 0 && login[0] != '\0') {
        return login.data();
    }
    if (const char* user = std::getenv("USER"); user != nullptr && *user != '\0') {
        return user;
    }
    passwd entry{};
    passwd* found = nullptr;
    std::vector<char> buffer(16384);
    if (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
        found != nullptr && found->pw_name != nullptr) {
        return found->pw_name;
    }
    return {};
}

}  // namespace tamsel::kit
