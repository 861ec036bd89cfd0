#pragma once

#include <httplib.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace tamsel::test {

// What the server saw of one request.
struct SeenRequest {
    std::string method;
    std::string target;  // as sent on the request line, still percent-encoded
    std::string path;    // decoded
    std::string body;
    std::string contentType;
    int clientPort = -1;
};

// An HTTP server on 127.0.0.1 at a port the system picks, serving on its own threads while a test
// runs. Register routes on server() before start(); every answered request is recorded.
//
//     HttpTestServer http;
//     http.server().Get("/a.txt", [](const auto&, auto& res) { res.set_content("A", "text/plain");
//     }); http.start(); client.Fetch(http.url("/a.txt"), false);
//
// A handler that must hang calls stall(); stalled handlers are released when the server goes, so
// tests never wait for them.
class HttpTestServer {
  public:
    HttpTestServer() {
        // Runs after the handler has read the body and before the answer is sent, so a request
        // is on record by the time its client sees the answer.
        server_.set_post_routing_handler([this](const httplib::Request& req, httplib::Response&) {
            std::lock_guard lock(mutex_);
            seen_.push_back(SeenRequest{req.method, req.target, req.path, req.body,
                                        req.get_header_value("Content-Type"), req.remote_port});
        });
    }

    ~HttpTestServer() {
        releaseStalls();
        if (thread_.joinable()) {
            // stop() is ignored until the accept loop runs; wait for it unless serving failed.
            while (!server_.is_running() && !finished_) {
                std::this_thread::yield();
            }
            server_.stop();
            thread_.join();
        }
    }

    HttpTestServer(const HttpTestServer&) = delete;
    HttpTestServer& operator=(const HttpTestServer&) = delete;

    httplib::Server& server() { return server_; }

    // Binds to a free port and starts serving; false when no port could be bound.
    bool start() {
        port_ = server_.bind_to_any_port("127.0.0.1");
        if (port_ <= 0) {
            return false;
        }
        thread_ = std::thread([this] {
            server_.listen_after_bind();
            finished_ = true;
        });
        return true;
    }

    int port() const { return port_; }
    // "http://127.0.0.1:PORT" followed by the path.
    std::string url(const std::string& path = "/") const {
        return "http://127.0.0.1:" + std::to_string(port_) + path;
    }
    // The same address without the scheme, as the URL rule of the client completes it.
    std::string hostUrl(const std::string& path = "/") const {
        return "127.0.0.1:" + std::to_string(port_) + path;
    }

    std::vector<SeenRequest> requests() const {
        std::lock_guard lock(mutex_);
        return seen_;
    }
    // Distinct client connections that sent requests (one per client port).
    std::size_t connectionCount() const {
        std::lock_guard lock(mutex_);
        std::set<int> ports;
        for (const auto& request : seen_) {
            ports.insert(request.clientPort);
        }
        return ports.size();
    }

    // Blocks the calling handler until the server goes or a generous bound passes.
    void stall() {
        std::unique_lock lock(mutex_);
        released_.wait_for(lock, std::chrono::seconds(30), [this] { return stallsReleased_; });
    }
    void releaseStalls() {
        {
            std::lock_guard lock(mutex_);
            stallsReleased_ = true;
        }
        released_.notify_all();
    }

  private:
    httplib::Server server_;
    std::thread thread_;
    std::atomic<bool> finished_{false};
    int port_ = -1;
    mutable std::mutex mutex_;
    std::condition_variable released_;
    bool stallsReleased_ = false;
    std::vector<SeenRequest> seen_;
};

}  // namespace tamsel::test
