#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <iostream>

#include "Commands.h"
#include "catalogue/Signature.h"
#include "util/FileSystem.h"
#include "util/Text.h"

namespace tamsel::kit {

namespace {

constexpr const char* kKeygenHelp =
    "Usage: tamsel-kit keygen SECRET_KEY_FILE\n"
    "\n"
    "Makes a new key pair for signing a kit: writes the secret key to SECRET_KEY_FILE (readable\n"
    "by its owner only, not protected by a password) and the public key file beside it (the\n"
    "name with .pub in place of .key), and prints the public key, the text to give the\n"
    "updaters as public_key. Keys are in minisign's format. An existing file is never\n"
    "overwritten.\n"
    "\n"
    "Exit status: 0 written, 1 a file exists or cannot be written, 2 wrong arguments.\n";

constexpr const char* kSignHelp =
    "Usage: tamsel-kit sign SECRET_KEY_FILE FILE...\n"
    "\n"
    "Writes FILE.minisig beside each FILE: a signature in minisign's format whose trusted\n"
    "comment holds the time of signing and the file's name. Sign every catalogue of a kit\n"
    "(the master catalogue and each package's) each time it changes. A secret key protected\n"
    "by a password asks for it on standard input.\n"
    "\n"
    "Exit status: 0 all signed, 1 a file cannot be read or written, 2 wrong arguments.\n";

std::string PublicKeyPath(const std::string& secretPath) {
    const auto slash = secretPath.rfind('/');
    const std::string name = secretPath.substr(slash == std::string::npos ? 0 : slash + 1);
    if (name.size() > 4 && ToLower(name.substr(name.size() - 4)) == ".key") {
        return secretPath.substr(0, secretPath.size() - 4) + ".pub";
    }
    return secretPath + ".pub";
}

// Creates the file with the content, readable by its owner only when private; false when it
// exists or cannot be written.
bool WriteNewFile(const std::string& path, const std::string& content, bool secret) {
    const int fd =
        ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, secret ? 0600 : 0644);
    if (fd < 0) {
        return false;
    }
    const bool written =
        ::write(fd, content.data(), content.size()) == static_cast<ssize_t>(content.size());
    if (::close(fd) != 0 || !written) {
        ::unlink(path.c_str());
        return false;
    }
    return true;
}

// One line from standard input, not echoed on a terminal.
std::string ReadPassword() {
    std::cerr << "Password for the secret key: " << std::flush;
    termios saved{};
    const bool terminal = ::isatty(STDIN_FILENO) && ::tcgetattr(STDIN_FILENO, &saved) == 0;
    if (terminal) {
        termios quiet = saved;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        ::tcsetattr(STDIN_FILENO, TCSANOW, &quiet);
    }
    std::string password;
    std::getline(std::cin, password);
    if (terminal) {
        ::tcsetattr(STDIN_FILENO, TCSANOW, &saved);
    }
    std::cerr << '\n';
    return password;
}

}  // namespace

int RunKeygen(const Arguments& arguments) {
    if (WantsHelp(arguments)) {
        std::cout << kKeygenHelp;
        return ExitOk;
    }
    if (arguments.size() != 1 || arguments[0].empty() || arguments[0].front() == '-') {
        ReportError("keygen: expected exactly one SECRET_KEY_FILE");
        std::cerr << kKeygenHelp;
        return ExitUsage;
    }
    const std::string& secretPath = arguments[0];
    const std::string publicPath = PublicKeyPath(secretPath);
    for (const auto& path : {secretPath, publicPath}) {
        if (FileExists(path)) {
            ReportError("keygen: '" + path + "' exists; it is never overwritten");
            return ExitProblem;
        }
    }
    const auto [secret, pub] = GenerateKeyPair();
    if (!WriteNewFile(secretPath, SecretKeyFileText(secret), true)) {
        ReportError("keygen: cannot write '" + secretPath + "'");
        return ExitProblem;
    }
    if (!WriteNewFile(publicPath, PublicKeyFileText(pub), false)) {
        // Half a key pair is no use: the next try starts afresh.
        ::unlink(secretPath.c_str());
        ReportError("keygen: cannot write '" + publicPath + "'");
        return ExitProblem;
    }
    std::cerr << "secret key written to " << secretPath << ", public key to " << publicPath << '\n';
    std::cout << PublicKeyText(pub) << '\n';
    return ExitOk;
}

int RunSign(const Arguments& arguments) {
    if (WantsHelp(arguments)) {
        std::cout << kSignHelp;
        return ExitOk;
    }
    for (const auto& argument : arguments) {
        if (argument.empty() || argument.front() == '-') {
            ReportError("sign: unexpected argument '" + argument + "'");
            std::cerr << kSignHelp;
            return ExitUsage;
        }
    }
    if (arguments.size() < 2) {
        ReportError("sign: expected SECRET_KEY_FILE and at least one FILE");
        std::cerr << kSignHelp;
        return ExitUsage;
    }
    std::string keyText;
    if (!ReadWholeFile(arguments[0], keyText)) {
        ReportError("sign: cannot read '" + arguments[0] + "'");
        return ExitProblem;
    }
    const std::string password = SecretKeyNeedsPassword(keyText) ? ReadPassword() : std::string();
    std::string error;
    const auto key = ParseSecretKey(keyText, password, error);
    if (!key) {
        ReportError("sign: '" + arguments[0] + "': " + error);
        return ExitProblem;
    }
    int status = ExitOk;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& path = arguments[i];
        std::string content;
        if (!ReadWholeFile(path, content)) {
            ReportError("sign: cannot read '" + path + "'");
            status = ExitProblem;
            continue;
        }
        const auto slash = path.rfind('/');
        const std::string name = path.substr(slash == std::string::npos ? 0 : slash + 1);
        // The name stands in the trusted comment's one line, between tabs.
        if (std::any_of(name.begin(), name.end(),
                        [](char c) { return static_cast<unsigned char>(c) < 0x20; })) {
            ReportError("sign: '" + path +
                        "': a name holding a control character cannot be signed");
            status = ExitProblem;
            continue;
        }
        const std::string signature =
            SignatureFileText(*key, content, name, static_cast<long long>(std::time(nullptr)));
        if (!WriteFileAtomically(path + ".minisig", signature)) {
            ReportError("sign: cannot write '" + path + ".minisig'");
            status = ExitProblem;
            continue;
        }
        std::cout << path << ".minisig\n";
    }
    return status;
}

}  // namespace tamsel::kit
