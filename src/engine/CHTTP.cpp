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

CHTTP::CHTTP() : CHTTP(MakeHttpTransport()) {}

CHTTP::CHTTP(std::unique_ptr<HttpTransport> transport) : transport_(std::move(transport)) {}

void CHTTP::NoteFailure(const std::string& operation, std::string cause) {
    failureCause_ = std::move(cause);
    if (trace_ != nullptr) {
        DebugLog(*trace_, "CHTTP::" + operation + " " + failureCause_);
    }
}

void CHTTP::NoteOutcome(const std::string& operation, const std::string& url) {
    if (transport_->succeeded()) {
        failureCause_.clear();
        return;
    }
    std::string error = transport_->errorText();
    const long status = transport_->status();
    if (status != 0 && (status < 200 || status > 299)) {
        NoteFailure(operation, error + " from " + url);
    } else if (error.find(url) != std::string::npos) {
        NoteFailure(operation, std::move(error));
    } else {
        NoteFailure(operation, (error.empty() ? "no answer" : error) + " (" + url + ")");
    }
}

bool CHTTP::Fetch(const std::string& url, bool async, const std::string& sha256) {
    try {
        url_ = ApplyUrlRule(url);
        expectedSha256_ = ToLower(sha256);
        failureCause_.clear();
        if (url.empty()) {
            NoteFailure("Fetch", "no address to fetch");
            return false;
        }
        if (!transport_->startGet(url_)) {
            NoteOutcome("Fetch", url_);
            return false;
        }
        if (!expectedSha256_.empty()) {
            transport_->hashBody();
        }
        if (async) {
            return true;
        }
        transport_->finish();
        NoteOutcome("Fetch", url_);
        return transport_->succeeded();
    } catch (const std::exception& error) {
        NoteFailure("Fetch", error.what());
        return false;
    }
}

bool CHTTP::commit(const std::string& path, bool emptyAllowed) {
    try {
        if (path.empty()) {
            NoteFailure("commit", "no path to write to");
            return false;
        }
        if (!Complete() || !transport_->succeeded()) {
            NoteOutcome("commit", url_);
            return false;
        }
        if (transport_->bodySize() == 0 && !emptyAllowed) {
            NoteFailure("commit", "empty answer from " + url_);
            return false;
        }
        if (!expectedSha256_.empty() && transport_->bodySha256() != expectedSha256_) {
            NoteFailure("commit", transport_->bodySha256().empty()
                                      ? "the file's SHA-256 was not taken as it arrived"
                                      : "the file's SHA-256 differs from the catalogue's");
            return false;
        }
        CreateFolderPath(path);
        if (!transport_->commitBody(path)) {
            NoteFailure("commit", transport_->errorText());
            return false;
        }
        failureCause_.clear();
        return true;
    } catch (const std::exception& error) {
        NoteFailure("commit", error.what());
        return false;
    }
}

bool CHTTP::Succeeded() {
    try {
        return Complete() && transport_->succeeded();
    } catch (const std::exception&) {
        return false;
    }
}

bool CHTTP::Answered() {
    try {
        return transport_->status() != 0;
    } catch (const std::exception&) {
        return false;
    }
}

std::uintmax_t CHTTP::bodySize() {
    try {
        return Complete() && transport_->succeeded() ? transport_->bodySize() : 0;
    } catch (const std::exception&) {
        return 0;
    }
}

std::uintmax_t CHTTP::BytesReceived() const {
    try {
        return transport_->bytesReceived();
    } catch (const std::exception&) {
        return 0;
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

std::string CHTTP::POST(const std::string& url, const std::string& data, HttpLimits limits) {
    try {
        url_ = ApplyUrlRule(url);
        expectedSha256_.clear();
        transport_->limit(limits);
        const bool started =
            transport_->startPost(url_, std::string(kFormContentType), EscapePostData(data));
        // Only this request is bounded; the downloads after it are not.
        transport_->limit({});
        if (started) {
            transport_->finish();
        }
        NoteOutcome("POST", url_);
        return transport_->succeeded() ? transport_->bodyText() : std::string();
    } catch (const std::exception& error) {
        NoteFailure("POST", error.what());
        return {};
    }
}

std::string CHTTP::Query(const std::string& url, bool noWait) {
    try {
        url_ = ApplyUrlRule(url);
        expectedSha256_.clear();
        if (transport_->startGet(url_)) {
            transport_->finish();
        }
        NoteOutcome("Query", url_);
        if (!transport_->succeeded()) {
            return {};
        }
        return noWait ? std::string("True") : transport_->bodyText();
    } catch (const std::exception& error) {
        NoteFailure("Query", error.what());
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
