#pragma once

#include <string>

#include "platform/HttpTransport.h"

namespace tamsel::kit {

// A transport that answers every GET at once, successfully, with one fixed body: it lets a
// catalogue file on disk go through the updater's own fetch-and-parse path. Posts fail.
class FixedBodyTransport : public HttpTransport {
  public:
    explicit FixedBodyTransport(std::string body) : body_(std::move(body)) {}

    bool startGet(const std::string& url) override;
    bool startPost(const std::string& url, const std::string& contentType,
                   const std::string& body) override;
    void limit(HttpLimits) override {}
    HttpProgress poll() override { return progress_; }
    HttpProgress finish() override { return progress_; }
    void waitForActivity(std::chrono::milliseconds) override {}
    void cancel() override { progress_ = HttpProgress::Idle; }

    HttpProgress progress() const override { return progress_; }
    bool succeeded() const override { return progress_ == HttpProgress::Done; }
    long status() const override { return succeeded() ? 200 : 0; }
    std::string errorText() const override { return {}; }

    std::uintmax_t bodySize() const override { return succeeded() ? body_.size() : 0; }
    std::uintmax_t bytesReceived() const override { return bodySize(); }
    std::string bodyText() const override { return succeeded() ? body_ : std::string(); }
    // Nothing is saved: the dry run never downloads.
    bool commitBody(const std::string& path) override;

  private:
    std::string body_;
    HttpProgress progress_ = HttpProgress::Idle;
};

}  // namespace tamsel::kit
