#include "engine/CHTTP.h"

#include "util/FileSystem.h"
#include "util/Text.h"

#include <exception>

namespace tamsel {

namespace {

constexpr std::string_view kFormContentType = "application/x-www-form-urlencoded";

}  // namespace

std::string ApplyUrlRule(std::string_view url) {
    if (url.substr(0, 7) == "http://" || url.substr(0, 8) == "https://") {
        return std::string(url);
    }
    return "http://" + std::string(url);
}

std::string EscapePostData(std::string_view data) {
    std::string escaped = ReplaceAll(data, " ", "+");
    escaped = ReplaceAll(escaped, "&", "%26");
    escaped = ReplaceAll(escaped, "\r", "%0D");
    return ReplaceAll(escaped, "\n", "%0A");
}

CHTTP::CHTTP() : CHTTP(MakeCurlHttpTransport()) {}

CHTTP::CHTTP(std::unique_ptr<HttpTransport> transport) : transport_(std::move(transport)) {}

bool CHTTP::Fetch(const std::string& url, bool async) {
    try {
        if (url.empty() || !transport_->startGet(ApplyUrlRule(url))) {
            return false;
        }
        if (async) {
            return true;
        }
        transport_->finish();
        return transport_->succeeded();
    } catch (const std::exception&) {
        return false;
    }
}

bool CHTTP::commit(const std::string& path) {
    try {
        if (path.empty() || !Complete() || !transport_->succeeded() ||
            transport_->bodySize() == 0) {
            return false;
        }
        CreateFolderPath(path);
        return transport_->commitBody(path);
    } catch (const std::exception&) {
        return false;
    }
}

bool CHTTP::Complete() {
    try {
        return transport_->poll() == HttpProgress::Done;
    } catch (const std::exception&) {
        return false;
    }
}

std::string CHTTP::getBody() {
    try {
        return Complete() && transport_->succeeded() ? transport_->bodyText() : std::string();
    } catch (const std::exception&) {
        return {};
    }
}

long CHTTP::readyState() {
    try {
        return static_cast<long>(transport_->poll());
    } catch (const std::exception&) {
        return 0;
    }
}

std::string CHTTP::POST(const std::string& url, const std::string& data) {
    try {
        if (!transport_->startPost(ApplyUrlRule(url), std::string(kFormContentType),
                                   EscapePostData(data))) {
            return {};
        }
        transport_->finish();
        return transport_->succeeded() ? transport_->bodyText() : std::string();
    } catch (const std::exception&) {
        return {};
    }
}

std::string CHTTP::Query(const std::string& url, bool noWait) {
    try {
        if (!transport_->startGet(ApplyUrlRule(url))) {
            return {};
        }
        transport_->finish();
        if (!transport_->succeeded()) {
            return {};
        }
        return noWait ? std::string("True") : transport_->bodyText();
    } catch (const std::exception&) {
        return {};
    }
}

void CHTTP::WaitForActivity(std::chrono::milliseconds timeout) {
    try {
        transport_->waitForActivity(timeout);
    } catch (const std::exception&) {
    }
}

}  // namespace tamsel
