#pragma once

#include <atomic>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <thread>

#include "KitServer.h"
#include "support/TempDir.h"

namespace tamsel::test {

// What a kit server publishing kitRoot and storing reports in reportsFolder is started with.
inline server::KitServerOptions KitServing(std::filesystem::path kitRoot,
                                           std::filesystem::path reportsFolder = {}) {
    server::KitServerOptions options;
    options.kitRoot = std::move(kitRoot);
    options.reportsFolder = std::move(reportsFolder);
    return options;
}

// A kit server serving options.kitRoot in-process on a free port of 127.0.0.1 until it goes.
// Its log is complete once stop() has returned.
class RunningKitServer {
  public:
    explicit RunningKitServer(server::KitServerOptions options) {
        options.port = 0;
        server_ = std::make_unique<server::KitServer>(std::move(options), log_);
        bound_ = server_->bind();
        if (bound_) {
            serving_ = std::thread([this] {
                server_->run();
                finished_ = true;
            });
        }
    }
    ~RunningKitServer() { stop(); }
    RunningKitServer(const RunningKitServer&) = delete;
    RunningKitServer& operator=(const RunningKitServer&) = delete;

    bool bound() const { return bound_; }
    int port() const { return server_->port(); }
    // "http://127.0.0.1:PORT", as a kit's settings name the server.
    std::string remote() const { return "http://127.0.0.1:" + std::to_string(port()); }
    std::string log() const { return log_.str(); }

    // Clients must have closed their kept-alive connections first, which would hold a thread.
    void stop() {
        if (serving_.joinable()) {
            // stop() is ignored until the accept loop runs; wait for it unless serving failed.
            while (!server_->running() && !finished_) {
                std::this_thread::yield();
            }
            server_->stop();
            serving_.join();
        }
    }

  private:
    std::ostringstream log_;
    std::unique_ptr<server::KitServer> server_;
    std::thread serving_;
    std::atomic<bool> finished_{false};
    bool bound_ = false;
};

// A user's kit below `user`: Kit/Updater for the program, settings that name the server at
// `remote` and the user J Smith, a schedule long due and an empty Kit/Files.
inline void LayOutUserKit(const TempDir& user, const std::string& remote) {
    user.write("Kit/Updater/.keep", "");
    user.write("Kit/globaltamselupdater.ini",
               "remote=\"" + remote +
                   "\"\r\nprimary_catalogue=\"Tam-Sel Main Catalogue.ini\"\r\n"
                   "secondary_catalogue=\"catalogue.ini\"\r\n");
    user.write("Kit/localtamselupdater.ini",
               "username=\"J Smith\"\r\ndepartment=\"Sales\"\r\nemail=\"js@example.com\"\r\n"
               "autoupdate=\"Weekly\"\r\nlastupdated=\"\"\r\nlocal=\"" +
                   user / "Kit/Files" + "\"\r\n");
    user.write("Kit/tamsel.ini", "[Schedule]\r\nRunAtDate=1/1/2000\r\n");
    std::filesystem::create_directories(user / "Kit/Files");
}

}  // namespace tamsel::test
