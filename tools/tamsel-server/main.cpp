// tamsel-server: serves a kit, receives update logs and answers name server queries.
#include "KitServer.h"

#include <pthread.h>
#include <unistd.h>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <iostream>
#include <string>
#include <thread>

namespace {

const char* const kUsage =
    "usage: tamsel-server [--bind ADDR] [--port N] [--reports DIR] [--names FILE.csv]\n"
    "                     [--upload-path PATH] [--valid-marker T] [--incorrect-marker T] "
    "KIT_ROOT\n";

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
        } else if (argument.rfind("--", 0) == 0 || haveRoot) {
            return false;
        } else {
            options.kitRoot = argument;
            haveRoot = true;
        }
    }
    return haveRoot;
}

}  // namespace

int main(int argc, char** argv) {
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
