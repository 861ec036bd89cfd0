#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/HttpTransport.h"
#include "util/FileSystem.h"

namespace tamsel::test {

// What the script answers to one request: a status and a body, or no answer ever.
struct ScriptedAnswer {
    long status = 200;
    std::string body;
    bool hang = false;
};

// An HTTP transport that answers from a script instead of the network, at once and in full.
// Every request goes to `requests` when given, as "GET url" or "POST url body".
class ScriptedTransport : public HttpTransport {
  public:
    using Script = std::function<ScriptedAnswer(const std::string& url)>;
    explicit ScriptedTransport(Script script, std::vector<std::string>* requests = nullptr)
        : script_(std::move(script)), requests_(requests) {}

    bool startGet(const std::string& url) override { return start(url, "GET " + url); }
    bool startPost(const std::string& url, const std::string&, const std::string& body) override {
        return start(url, "POST " + url + " " + body);
    }
    // An answer longer than the body bound fails, as it would on the wire.
    void limit(HttpLimits limits) override { limits_ = limits; }
    HttpProgress poll() override { return progress_; }
    HttpProgress finish() override { return progress_; }
    void waitForActivity(std::chrono::milliseconds) override {}
    void cancel() override { progress_ = HttpProgress::Idle; }
    HttpProgress progress() const override { return progress_; }
    bool succeeded() const override {
        return done() && answer_.status >= 200 && answer_.status < 300;
    }
    long status() const override { return done() ? answer_.status : 0; }
    std::string errorText() const override { return succeeded() ? "" : "no scripted success"; }
    std::uintmax_t bodySize() const override { return done() ? answer_.body.size() : 0; }
    std::uintmax_t bytesReceived() const override { return bodySize(); }
    std::string bodyText() const override { return done() ? answer_.body : ""; }
    bool commitBody(const std::string& path) override {
        return done() && WriteFileAtomically(path, std::exchange(answer_.body, {}));
    }

  private:
    bool done() const { return progress_ == HttpProgress::Done; }
    bool start(const std::string& url, const std::string& request) {
        if (requests_ != nullptr) {
            requests_->push_back(request);
        }
        answer_ = script_(url);
        if (limits_.body != 0 && answer_.body.size() > limits_.body) {
            answer_ = {0, {}};
        }
        progress_ = answer_.hang ? HttpProgress::Sent : HttpProgress::Done;
        return true;
    }

    Script script_;
    HttpLimits limits_;
    std::vector<std::string>* requests_;
    ScriptedAnswer answer_;
    HttpProgress progress_ = HttpProgress::Idle;
};

}  // namespace tamsel::test
