#pragma once

#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <optional>
#include <thread>

#include "platform/HttpTransport.h"
#include "platform/SpoolFile.h"
#include "util/Sha256.h"

namespace tamsel {

// HttpTransport over WinHTTP: one session (the system's proxy settings, https with the system's
// certificate store, its own pool of kept-alive connections); each request runs the blocking
// calls on a thread of its own while poll() only reads how far it got. A total time bound shortens
// the timeout of each blocking step to the time left.
class WinHttpTransport final : public HttpTransport {
  public:
    WinHttpTransport(HttpTimeouts timeouts, std::filesystem::path spoolFolder);
    ~WinHttpTransport() override;
    WinHttpTransport(const WinHttpTransport&) = delete;
    WinHttpTransport& operator=(const WinHttpTransport&) = delete;

    bool startGet(const std::string& url) override;
    bool startPost(const std::string& url, const std::string& contentType,
                   const std::string& body) override;
    void limit(HttpLimits limits) override { limits_ = limits; }
    HttpProgress poll() override { return progress(); }
    HttpProgress finish() override;
    void waitForActivity(std::chrono::milliseconds timeout) override;
    void cancel() override;

    HttpProgress progress() const override;
    bool succeeded() const override;
    long status() const override;
    std::string errorText() const override;
    std::uintmax_t bodySize() const override;
    std::uintmax_t bytesReceived() const override;
    std::string bodyText() const override;
    bool commitBody(const std::string& path) override;
    void hashBody() override;
    std::string bodySha256() const override;

  private:
    struct Request {
        std::string url;
        const wchar_t* method;
        std::string contentType;
        std::string body;
        HttpLimits limits;
        std::chrono::steady_clock::time_point started;
    };
    // Milliseconds a step may wait: at most step, and no longer than the request's time bound
    // leaves (at least 1).
    static int TimeLeft(const Request& request, std::chrono::milliseconds step);
    bool start(Request request);
    // The thread's work: the whole request, its answer spooled into body_.
    void run(const Request& request);
    // Reads the answer's body into body_ (and the digest); false with the reason when it stops
    // short.
    bool receive(void* handle, const Request& request, std::string& failure);
    void advance(HttpProgress to);
    void finishWith(long status, std::string error, bool ok);

    HttpTimeouts timeouts_;
    HttpLimits limits_;
    std::filesystem::path spoolFolder_;
    void* session_ = nullptr;
    std::unique_ptr<SpoolFile> body_;
    std::thread worker_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    void* request_ = nullptr;  // the running request's handle, closed to cancel it
    bool cancelled_ = false;
    bool hashWanted_ = false;
    // Every body is hashed as it arrives: the worker may read it before hashBody() is called.
    std::optional<Sha256> digest_;
    std::string sha256_;
    std::uintmax_t received_ = 0;
    HttpProgress progress_ = HttpProgress::Idle;
    bool transferOk_ = false;
    long status_ = 0;
    std::string error_;
};

}  // namespace tamsel
