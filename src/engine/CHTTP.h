#pragma once

#include "platform/HttpTransport.h"
#include "util/DebugLog.h"

#include <chrono>
#include <memory>
#include <string>
#include <string_view>

namespace tamsel {

// The program's HTTP client: catalogue and file downloads, the completion notice, the log upload
// and the name server query. One transport (and one kept-alive connection) per instance; each
// request replaces the previous response. Every operation traps its errors.
//
// A response whose status is not a success (2xx after redirects) counts as a failed request: a
// synchronous Fetch reports false, commit reports false, POST and Query return empty text.
class CHTTP {
  public:
    CHTTP();
    explicit CHTTP(std::unique_ptr<HttpTransport> transport);

    // GET of the URL. Synchronous: true when the response arrived with a success status.
    // Asynchronous: true when the request was started; poll Complete until it is done. With a
    // sha256 (64 hex digits) the body is hashed as it arrives and commit writes it only when the
    // hash is that one.
    bool Fetch(const std::string& url, bool async, const std::string& sha256 = {});
    // Saves the finished response body to path (create or overwrite), creating missing folders.
    // False for an empty path, an unfinished or failed request, an empty body (unless
    // emptyAllowed), a body whose SHA-256 differs from the one Fetch was given, or a write error;
    // the existing file is then left as it was.
    bool commit(const std::string& path, bool emptyAllowed = false);
    // Length of the finished response body; 0 for a failed or unfinished request.
    std::uintmax_t bodySize();
    // Body bytes of the current response received so far, while it is still arriving too.
    std::uintmax_t BytesReceived() const;
    // The current request has finished (successfully or not). Never blocks.
    bool Complete();
    // The current request has finished with a success status.
    bool Succeeded();
    // The server answered the current request with an HTTP status, whatever it was; false when
    // the request could not be sent or the connection failed.
    bool Answered();
    // The finished response body as text; empty for a failed or unfinished request.
    std::string getBody();
    // 0 before any request, 1 sent, 2 headers received, 3 receiving, 4 finished. Never blocks.
    long readyState();
    // Synchronous form POST of data, escaped by EscapePostData; the answer, or empty text (also
    // when the answer or the time it took passed the limits).
    std::string POST(const std::string& url, const std::string& data, HttpLimits limits = {});
    // Synchronous GET; the answer, or "True" without reading it when noWait is set; empty text
    // when the request failed.
    std::string Query(const std::string& url, bool noWait);

    // Sleeps until the pending transfer has news or the timeout passes; returns at once when no
    // transfer is pending. For an event loop that wants to wake as soon as a download finishes.
    void WaitForActivity(std::chrono::milliseconds timeout);

    // Why the last request or commit failed, in plain words: the HTTP status and address, the
    // transfer error, or the system error with the path. Empty after a success.
    const std::string& FailureCause() const { return failureCause_; }
    // Failures are traced there as they happen (with /DEBUG).
    void TraceTo(const DebugTarget* target) { trace_ = target; }

  private:
    // Records why the request to url failed (nothing when it succeeded) and traces it.
    void NoteOutcome(const std::string& operation, const std::string& url);
    void NoteFailure(const std::string& operation, std::string cause);

    std::unique_ptr<HttpTransport> transport_;
    std::string url_;
    std::string expectedSha256_;
    std::string failureCause_;
    const DebugTarget* trace_ = nullptr;
};

// "http://" in front of the URL unless its first seven characters are exactly "http://"
// (case-sensitive). A URL beginning with "https://" is used as it stands.
std::string ApplyUrlRule(std::string_view url);

// The escaping of posted data: " " to "+", "&" to "%26", CR to "%0D", LF to "%0A", in this order
// and nothing else; reports servers decode exactly these.
std::string EscapePostData(std::string_view data);

}  // namespace tamsel
