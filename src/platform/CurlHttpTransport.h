#pragma once

#include "platform/CurlHandles.h"
#include "platform/HttpTransport.h"
#include "platform/SpoolFile.h"
#include "util/Sha256.h"

#include <filesystem>
#include <optional>

namespace tamsel {

// HttpTransport over one curl easy handle driven by a curl multi handle. Synchronous use is the
// asynchronous transfer driven to its end, so both share the multi handle's connection cache and
// one kept-alive connection serves every request.
class CurlHttpTransport final : public HttpTransport {
  public:
    CurlHttpTransport(HttpTimeouts timeouts, std::filesystem::path spoolFolder);
    ~CurlHttpTransport() override;
    CurlHttpTransport(const CurlHttpTransport&) = delete;
    CurlHttpTransport& operator=(const CurlHttpTransport&) = delete;

    bool startGet(const std::string& url) override;
    bool startPost(const std::string& url, const std::string& contentType,
                   const std::string& body) override;
    void limit(HttpLimits limits) override { limits_ = limits; }
    HttpProgress poll() override;
    HttpProgress finish() override;
    void waitForActivity(std::chrono::milliseconds timeout) override;
    void cancel() override;

    HttpProgress progress() const override { return progress_; }
    bool succeeded() const override;
    long status() const override { return status_; }
    std::string errorText() const override { return error_; }
    std::uintmax_t bodySize() const override;
    std::uintmax_t bytesReceived() const override { return body_ ? body_->size() : 0; }
    std::string bodyText() const override;
    bool commitBody(const std::string& path) override;
    void hashBody() override;
    std::string bodySha256() const override { return sha256_; }

  private:
    // Prepares the easy handle for a new request to the URL; false when it cannot be made.
    bool prepare(const std::string& url);
    bool launch();
    void collectFinished();
    void complete(CURLcode result);
    void fail(std::string reason);
    void detach();

    static std::size_t OnHeader(char* data, std::size_t size, std::size_t count, void* self);
    static std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* self);

    HttpTimeouts timeouts_;
    HttpLimits limits_;
    std::uintmax_t bodyBound_ = 0;  // of the request under way
    std::filesystem::path spoolFolder_;
    CurlMulti multi_;
    CurlEasy easy_;
    CurlHeaderList headers_;
    std::unique_ptr<SpoolFile> body_;
    std::optional<Sha256> digest_;  // of the body arriving, when asked for
    std::string sha256_;            // of the finished body
    HttpProgress progress_ = HttpProgress::Idle;
    bool attached_ = false;
    bool transferOk_ = false;
    long status_ = 0;
    std::string error_;
    std::string reason_;    // of the last status line received
    std::string overflow_;  // why the body was cut off, when it was
    char errorBuffer_[CURL_ERROR_SIZE] = {};
};

}  // namespace tamsel
