// tamsel-server: serves a kit, receives update logs and answers name server queries.
#include "KitServer.h"
#include "ReportUsers.h"

#include <pthread.h>
#include <termios.h>
#include <unistd.h>
#include <atomic>
#include <cctype>
#include <charconv>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <limits>
#include <string>
#include <thread>

namespace {

const char* const kUsage =
    "usage: tamsel-server [--bind ADDR] [--port N] [--reports DIR] [--names FILE.csv]\n"
    "                     [--upload-path PATH] [--valid-marker T] [--incorrect-marker T]\n"
    "                     [--workers N] [--header-timeout S] [--idle-timeout S]\n"
    "                     [--max-upload BYTES] [--reports-quota BYTES] [--uploads-at-once N]\n"
    "                     [--max-logs N] [--uploads-per-minute N] [--connections-per-address N]\n"
    "                     [--reports-db postgresql://...] [--keep-days N] [--users FILE]\n"
    "                     [--tls-cert FILE --tls-key FILE] KIT_ROOT\n"
    "       tamsel-server add-user USERS_FILE NAME\n"
    "BYTES may end in K, M or G (times 1024, 1024^2, 1024^3).\n";

// A positive count, or a byte size with an optional K, M or G suffix.
bool ParseAmount(const std::string& text, std::uint64_t& amount, bool allowSuffix) {
    std::uint64_t value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || stop == text.data() || value == 0) {
        return false;
    }
    int shift = 0;
    if (allowSuffix && stop + 1 == end) {
        const std::string suffixes = "KMG";
        const auto at = suffixes.find(static_cast<char>(std::toupper(*stop)));
        if (at == std::string::npos) {
            return false;
        }
        shift = 10 * static_cast<int>(at + 1);
    } else if (stop != end) {
        return false;
    }
    if (value > (std::numeric_limits<std::uint64_t>::max() >> shift)) {
        return false;
    }
    amount = value << shift;
    return true;
}

bool ParseSeconds(const std::string& text, std::chrono::milliseconds& duration) {
    std::uint64_t seconds = 0;
    if (!ParseAmount(text, seconds, false) || seconds > 3600) {
        return false;
    }
    duration = std::chrono::seconds(seconds);
    return true;
}

bool ParseCount(const std::string& text, std::size_t& count) {
    std::uint64_t value = 0;
    if (!ParseAmount(text, value, false) || value > 10000) {
        return false;
    }
    count = static_cast<std::size_t>(value);
    return true;
}

bool ParseLimit(const std::string& text, std::uint64_t& value) {
    return ParseAmount(text, value, false);
}

bool ParsePort(const std::string& text, int& port) {
    try {
        std::size_t used = 0;
        port = std::stoi(text, &used);
        return used == text.size() && port >= 0 && port <= 65535;
    } catch (const std::exception&) {
        return false;
    }
}

bool ParseArguments(int argc, char** argv, tamsel::server::KitServerOptions& options) {
    bool haveRoot = false;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        const bool hasValue = i + 1 < argc;
        if (argument.rfind("--", 0) == 0 && !hasValue) {
            return false;
        }
        if (argument == "--bind") {
            options.bindAddress = argv[++i];
        } else if (argument == "--port") {
            if (!ParsePort(argv[++i], options.port)) {
                return false;
            }
        } else if (argument == "--reports") {
            options.reportsFolder = argv[++i];
        } else if (argument == "--names") {
            options.namesFile = argv[++i];
        } else if (argument == "--upload-path") {
            options.uploadPath = argv[++i];
        } else if (argument == "--valid-marker") {
            options.validMarker = argv[++i];
        } else if (argument == "--incorrect-marker") {
            options.incorrectMarker = argv[++i];
        } else if (argument == "--workers") {
            if (!ParseCount(argv[++i], options.connections.workers)) {
                return false;
            }
        } else if (argument == "--header-timeout") {
            if (!ParseSeconds(argv[++i], options.connections.headerTimeout)) {
                return false;
            }
        } else if (argument == "--idle-timeout") {
            if (!ParseSeconds(argv[++i], options.connections.idleTimeout)) {
                return false;
            }
        } else if (argument == "--max-upload") {
            if (!ParseAmount(argv[++i], options.uploads.maxUpload, true)) {
                return false;
            }
        } else if (argument == "--reports-quota") {
            if (!ParseAmount(argv[++i], options.uploads.reportsQuota, true)) {
                return false;
            }
        } else if (argument == "--uploads-at-once") {
            if (!ParseCount(argv[++i], options.uploads.concurrentUploads)) {
                return false;
            }
        } else if (argument == "--max-logs") {
            if (!ParseLimit(argv[++i], options.uploads.maxLogs)) {
                return false;
            }
        } else if (argument == "--uploads-per-minute") {
            if (!ParseCount(argv[++i], options.uploadsPerMinute)) {
                return false;
            }
        } else if (argument == "--connections-per-address") {
            if (!ParseCount(argv[++i], options.connections.perAddress)) {
                return false;
            }
        } else if (argument == "--keep-days") {
            std::uint64_t days = 0;
            if (!ParseLimit(argv[++i], days) || days > 100000) {
                return false;
            }
            options.keepDays = static_cast<int>(days);
        } else if (argument == "--reports-db") {
            options.reportsDatabase = argv[++i];
            if (!options.reportsDatabase.starts_with("postgresql://") &&
                !options.reportsDatabase.starts_with("postgres://")) {
                return false;
            }
        } else if (argument == "--users") {
            options.usersFile = argv[++i];
        } else if (argument == "--tls-cert") {
            options.tlsCertificate = argv[++i];
        } else if (argument == "--tls-key") {
            options.tlsKey = argv[++i];
        } else if (argument.rfind("--", 0) == 0 || haveRoot) {
            return false;
        } else {
            options.kitRoot = argument;
            haveRoot = true;
        }
    }
    return haveRoot && options.tlsCertificate.empty() == options.tlsKey.empty();
}

// One line from standard input; on a terminal after a prompt and without echo.
bool ReadPassword(const char* prompt, bool terminal, std::string& password) {
    termios saved{};
    if (terminal) {
        std::cerr << prompt << std::flush;
        tcgetattr(STDIN_FILENO, &saved);
        termios quiet = saved;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        tcsetattr(STDIN_FILENO, TCSANOW, &quiet);
    }
    const bool read = static_cast<bool>(std::getline(std::cin, password));
    if (terminal) {
        tcsetattr(STDIN_FILENO, TCSANOW, &saved);
        std::cerr << "\n";
    }
    if (password.ends_with('\r')) {
        password.pop_back();
    }
    return read;
}

// tamsel-server add-user USERS_FILE NAME: the password twice on a terminal, once from a pipe.
int AddUser(const std::string& file, const std::string& name) {
    const bool terminal = ::isatty(STDIN_FILENO) == 1;
    std::string password;
    std::string again;
    if (!ReadPassword("Password: ", terminal, password) ||
        (terminal && (!ReadPassword("Password again: ", terminal, again) || again != password))) {
        std::cerr << "tamsel-server: the passwords differ or none was given\n";
        return 1;
    }
    std::string why;
    if (!tamsel::server::AddReportUser(file, name, password, why)) {
        std::cerr << "tamsel-server: " << why << "\n";
        return 1;
    }
    std::cout << "user " << name << " written to " << file << "\n";
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::string(argv[1]) == "add-user") {
        if (argc != 4) {
            std::cerr << kUsage;
            return 2;
        }
        return AddUser(argv[2], argv[3]);
    }
    tamsel::server::KitServerOptions options;
    if (!ParseArguments(argc, argv, options)) {
        std::cerr << kUsage;
        return 2;
    }

    // Termination signals are taken by sigwait below; every thread started later inherits the
    // blocked mask, so none of them is interrupted.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    try {
        tamsel::server::KitServer server(options, std::cout);
        if (!server.bind()) {
            std::cerr << "tamsel-server: cannot listen on " << options.bindAddress << ":"
                      << options.port << "\n";
            return 1;
        }
        std::cout << "listening on " << server.address() << std::endl;

        std::atomic<bool> finished{false};
        std::thread serving([&server, &finished] {
            if (!server.run()) {
                std::cerr << "tamsel-server: serving stopped unexpectedly\n";
            }
            finished = true;
            // Wake the main thread however serving ended.
            ::kill(::getpid(), SIGTERM);
        });
        int received = 0;
        sigwait(&stopSignals, &received);
        // A stop request is ignored until the accept loop runs; wait for it unless serving failed.
        while (!server.running() && !finished) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        server.stop();
        serving.join();
    } catch (const std::exception& error) {
        std::cerr << "tamsel-server: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
