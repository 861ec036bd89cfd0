#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

namespace tamsel {

struct HttpTimeouts {
    // A connection that cannot be made within this time fails.
    std::chrono::milliseconds connect{30'000};
    // A transfer that receives nothing for this long fails (whole seconds).
    std::chrono::seconds stall{60};
};

// Bounds on the requests of an exchange whose answer the program only glances at (the log
// upload's): past either the request fails and the rest of its answer is never read.
struct HttpLimits {
    // Most bytes of answer body kept; 0 for no bound.
    std::uintmax_t body = 0;
    // Longest time a request may take in all, connecting included; 0 for no bound.
    std::chrono::milliseconds total{0};
};

// Progress of the current request, numbered as the request object's readyState.
enum class HttpProgress : int {
    Idle = 0,             // no request made yet
    Sent = 1,             // request started, no answer yet
    HeadersReceived = 2,  // the answer's headers arrived
    Receiving = 3,        // body data is arriving
    Done = 4              // finished, successfully or not
};

// One HTTP client connection: one request at a time, the connection kept alive across requests.
// Response bodies are spooled to a temporary file, never held in memory. Implementations never
// block in poll(); only finish() and waitForActivity() wait.
class HttpTransport {
  public:
    virtual ~HttpTransport() = default;

    // Start a request, dropping any previous response. The URL may contain characters that cannot
    // stand raw in a request line; they are percent-encoded here. False when the request could not
    // be started (a malformed URL, no room for the body).
    virtual bool startGet(const std::string& url) = 0;
    virtual bool startPost(const std::string& url, const std::string& contentType,
                           const std::string& body) = 0;

    // Bounds every request started from now on (HttpLimits{} for none); a request keeps the
    // bounds it was started with.
    virtual void limit(HttpLimits limits) = 0;

    // Advances the current transfer as far as it can go without waiting.
    virtual HttpProgress poll() = 0;
    // Blocks until the current transfer has finished.
    virtual HttpProgress finish() = 0;
    // Blocks until the current transfer has news or the timeout passes; returns at once when no
    // transfer is running. Lets an event loop sleep instead of spinning.
    virtual void waitForActivity(std::chrono::milliseconds timeout) = 0;
    // Abandons the current transfer and its response.
    virtual void cancel() = 0;

    virtual HttpProgress progress() const = 0;
    // The request finished without a transport error and with a 2xx status after redirects.
    virtual bool succeeded() const = 0;
    // HTTP status of the final answer; 0 when none arrived.
    virtual long status() const = 0;
    // Why the request failed, for traces; empty after success.
    virtual std::string errorText() const = 0;

    virtual std::uintmax_t bodySize() const = 0;
    // Body bytes of the current answer received so far, also while the transfer runs.
    virtual std::uintmax_t bytesReceived() const = 0;
    // The finished response body as text; empty while the transfer runs.
    virtual std::string bodyText() const = 0;
    // Moves the finished response body to path, creating or replacing the file. The existing file
    // is replaced only by a complete body. The body is handed over: it cannot be read again.
    virtual bool commitBody(const std::string& path) = 0;

    // Takes the SHA-256 of the current request's body while it arrives, not in a second read;
    // called right after the request is started.
    virtual void hashBody() {}
    // That SHA-256 as 64 lower-case hex digits once the request has finished; empty when none
    // was taken.
    virtual std::string bodySha256() const { return {}; }
};

// The system's transport: libcurl on Linux, WinHTTP on Windows. Bodies spool into spoolFolder
// (the system's temporary folder when empty).
std::unique_ptr<HttpTransport> MakeHttpTransport(HttpTimeouts timeouts = {},
                                                 std::string spoolFolder = {});
// The libcurl transport. Bodies spool into spoolFolder (the system's temporary folder when empty).
std::unique_ptr<HttpTransport> MakeCurlHttpTransport(HttpTimeouts timeouts = {},
                                                     std::string spoolFolder = {});

}  // namespace tamsel
