// Writes a kit's settings for the Windows installer, from its pages or from the command line an
// IT department deploys with. The installer has put the programs in place already.
#include <windows.h>

#include <shellapi.h>

#include <exception>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "Installer.h"
#include "util/windows/WideText.h"

namespace {

constexpr std::string_view kUsage =
    "Usage: tamsel-kit-setup KIT_FOLDER --remote URL [--user NAME] [--department D]\n"
    "                        [--email E] [--public-key KEY]\n"
    "Writes the kit's global and local settings and its schedule file; running it again\n"
    "changes only what differs.\n";

// The arguments as UTF-8, whatever the system's code page.
std::vector<std::string> Arguments() {
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 1; i < count; ++i) {
        arguments.push_back(tamsel::Narrow(wide[i]));
    }
    LocalFree(wide);
    return arguments;
}

bool Parse(const std::vector<std::string>& arguments, tamsel::desktop::InstallRequest& request) {
    using tamsel::desktop::InstallRequest;
    const std::pair<std::string_view, std::string InstallRequest::*> options[] = {
        {"--remote", &InstallRequest::remote},
        {"--user", &InstallRequest::user},
        {"--department", &InstallRequest::department},
        {"--email", &InstallRequest::email},
        {"--public-key", &InstallRequest::publicKey}};
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string* value = nullptr;
        for (const auto& [name, field] : options) {
            value = arguments[i] == name ? &(request.*field) : value;
        }
        if (value == nullptr) {
            if (arguments[i].starts_with("-") || !request.kitFolder.empty()) {
                return false;
            }
            request.kitFolder = arguments[i];
        } else if (++i < arguments.size()) {
            *value = arguments[i];
        } else {
            return false;
        }
    }
    while (request.kitFolder.size() > 3 &&
           (request.kitFolder.back() == '\\' || request.kitFolder.back() == '/')) {
        request.kitFolder.pop_back();
    }
    return !request.kitFolder.empty() && !request.remote.empty();
}

}  // namespace

int main() {
    tamsel::desktop::InstallRequest request;
    if (!Parse(Arguments(), request)) {
        std::cerr << kUsage;
        return 2;
    }
    try {
        tamsel::desktop::CheckKitFolder(request.kitFolder);
        tamsel::desktop::WriteKitSettings(request, std::cout);
    } catch (const std::exception& error) {
        std::cerr << "tamsel-kit-setup: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
