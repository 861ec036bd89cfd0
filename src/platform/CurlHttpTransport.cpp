#include "platform/CurlHttpTransport.h"

#include "platform/UrlEncoding.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <system_error>

namespace tamsel {

namespace {

constexpr long kMaxRedirects = 20;
constexpr int kFinishPollMs = 1000;

// The words after the status code of a status line, without the line end.
std::string ReasonPhrase(std::string_view statusLine) {
    const auto code = statusLine.find(' ');
    const auto words = code == std::string_view::npos ? code : statusLine.find(' ', code + 1);
    if (words == std::string_view::npos) {
        return {};
    }
    std::string_view reason = statusLine.substr(words + 1);
    while (!reason.empty() &&
           (reason.back() == '\r' || reason.back() == '\n' || reason.back() == ' ')) {
        reason.remove_suffix(1);
    }
    return std::string(reason);
}

// Only well-formed absolute http(s) URLs are sent; curl would otherwise guess at the rest.
bool IsUsableUrl(const std::string& url) {
    CurlUrl parsed(curl_url());
    if (!parsed || curl_url_set(parsed.get(), CURLUPART_URL, url.c_str(), 0) != CURLUE_OK) {
        return false;
    }
    char* scheme = nullptr;
    if (curl_url_get(parsed.get(), CURLUPART_SCHEME, &scheme, 0) != CURLUE_OK) {
        return false;
    }
    const std::string text = scheme;
    curl_free(scheme);
    return text == "http" || text == "https";
}

}  // namespace

std::unique_ptr<HttpTransport> MakeCurlHttpTransport(HttpTimeouts timeouts,
                                                     std::string spoolFolder) {
    return std::make_unique<CurlHttpTransport>(
        timeouts, spoolFolder.empty() ? DefaultSpoolFolder() : std::filesystem::path(spoolFolder));
}

std::unique_ptr<HttpTransport> MakeHttpTransport(HttpTimeouts timeouts, std::string spoolFolder) {
    return MakeCurlHttpTransport(timeouts, std::move(spoolFolder));
}

CurlHttpTransport::CurlHttpTransport(HttpTimeouts timeouts, std::filesystem::path spoolFolder)
    : timeouts_(timeouts), spoolFolder_(std::move(spoolFolder)) {
    if (EnsureCurlInitialised()) {
        multi_.reset(curl_multi_init());
        easy_.reset(curl_easy_init());
    }
}

CurlHttpTransport::~CurlHttpTransport() {
    detach();
}

bool CurlHttpTransport::prepare(const std::string& url) {
    cancel();
    if (!multi_ || !easy_) {
        fail("the HTTP library could not be initialised");
        return false;
    }
    const std::string encoded = EncodeRequestUrl(url);
    if (!IsUsableUrl(encoded)) {
        fail("malformed URL: " + encoded);
        return false;
    }
    body_ = SpoolFile::Create(spoolFolder_);
    if (!body_) {
        fail("cannot create a temporary file in " + spoolFolder_.string());
        return false;
    }

    CURL* easy = easy_.get();
    // Resetting keeps the connection cache (it lives in the multi handle) but forgets the
    // previous request's method, body and headers.
    curl_easy_reset(easy);
    errorBuffer_[0] = '\0';
    reason_.clear();
    overflow_.clear();
    bodyBound_ = limits_.body;
    const long connectMs = static_cast<long>(timeouts_.connect.count());
    const long stallSeconds = std::max(1L, static_cast<long>(timeouts_.stall.count()));
    const bool ok =
        curl_easy_setopt(easy, CURLOPT_URL, encoded.c_str()) == CURLE_OK &&
        curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https") == CURLE_OK &&
        curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https") == CURLE_OK &&
        curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L) == CURLE_OK &&
        curl_easy_setopt(easy, CURLOPT_MAXREDIRS, kMaxRedirects) == CURLE_OK &&
        curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, connectMs) == CURLE_OK &&
        curl_easy_setopt(easy, CURLOPT_LOW_SPEED_LIMIT, 1L) == CURLE_OK &&
        curl_easy_setopt(easy, CURLOPT_LOW_SPEED_TIME, stallSeconds) == CURLE_OK &&
        curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, static_cast<long>(limits_.total.count())) ==
            CURLE_OK &&
        curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L) == CURLE_OK &&
        curl_easy_setopt(easy, CURLOPT_USERAGENT, "Tamsel Updater") == CURLE_OK &&
        curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, errorBuffer_) == CURLE_OK &&
        curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &CurlHttpTransport::OnHeader) == CURLE_OK &&
        curl_easy_setopt(easy, CURLOPT_HEADERDATA, this) == CURLE_OK &&
        curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &CurlHttpTransport::OnBody) == CURLE_OK &&
        curl_easy_setopt(easy, CURLOPT_WRITEDATA, this) == CURLE_OK;
    if (!ok) {
        fail("cannot configure the request");
        return false;
    }
    return true;
}

bool CurlHttpTransport::launch() {
    if (curl_easy_setopt(easy_.get(), CURLOPT_HTTPHEADER, headers_.get()) != CURLE_OK ||
        curl_multi_add_handle(multi_.get(), easy_.get()) != CURLM_OK) {
        fail("cannot start the request");
        return false;
    }
    attached_ = true;
    progress_ = HttpProgress::Sent;
    return true;
}

bool CurlHttpTransport::startGet(const std::string& url) {
    if (!prepare(url)) {
        return false;
    }
    headers_.reset();
    return launch();
}

bool CurlHttpTransport::startPost(const std::string& url, const std::string& contentType,
                                  const std::string& body) {
    if (!prepare(url)) {
        return false;
    }
    CurlHeaderList headers(curl_slist_append(nullptr, ("Content-Type: " + contentType).c_str()));
    // No "100 Continue" round trip: servers that do not answer it would stall every upload.
    curl_slist* extended = headers ? curl_slist_append(headers.get(), "Expect:") : nullptr;
    if (!extended) {
        fail("cannot build the request headers");
        return false;
    }
    headers_ = std::move(headers);
    CURL* easy = easy_.get();
    const bool ok = curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE,
                                     static_cast<curl_off_t>(body.size())) == CURLE_OK &&
                    curl_easy_setopt(easy, CURLOPT_COPYPOSTFIELDS, body.c_str()) == CURLE_OK;
    if (!ok) {
        fail("cannot attach the request body");
        return false;
    }
    return launch();
}

HttpProgress CurlHttpTransport::poll() {
    if (attached_) {
        int running = 0;
        curl_multi_perform(multi_.get(), &running);
        collectFinished();
    }
    return progress_;
}

HttpProgress CurlHttpTransport::finish() {
    while (poll() != HttpProgress::Done && attached_) {
        // curl shortens the wait to its own next timeout, so connect and stall limits still hold.
        curl_multi_poll(multi_.get(), nullptr, 0, kFinishPollMs, nullptr);
    }
    return progress_;
}

void CurlHttpTransport::waitForActivity(std::chrono::milliseconds timeout) {
    if (!attached_) {
        return;
    }
    curl_multi_poll(multi_.get(), nullptr, 0, static_cast<int>(timeout.count()), nullptr);
    poll();
}

void CurlHttpTransport::collectFinished() {
    int queued = 0;
    while (CURLMsg* message = curl_multi_info_read(multi_.get(), &queued)) {
        if (message->msg == CURLMSG_DONE && message->easy_handle == easy_.get()) {
            complete(message->data.result);
        }
    }
}

void CurlHttpTransport::complete(CURLcode result) {
    curl_easy_getinfo(easy_.get(), CURLINFO_RESPONSE_CODE, &status_);
    detach();
    const bool written = body_ && body_->close();
    if (digest_) {
        sha256_ = digest_->hexDigest();
        digest_.reset();
    }
    transferOk_ = result == CURLE_OK && written;
    if (!overflow_.empty()) {
        error_ = overflow_;
    } else if (result != CURLE_OK) {
        error_ = errorBuffer_[0] != '\0' ? errorBuffer_ : curl_easy_strerror(result);
    } else if (!written) {
        error_ = "cannot write the response to a temporary file";
    } else if (status_ < 200 || status_ > 299) {
        error_ = "HTTP " + std::to_string(status_) + (reason_.empty() ? "" : " " + reason_);
    }
    progress_ = HttpProgress::Done;
}

void CurlHttpTransport::fail(std::string reason) {
    detach();
    body_.reset();
    transferOk_ = false;
    status_ = 0;
    error_ = std::move(reason);
    progress_ = HttpProgress::Done;
}

void CurlHttpTransport::detach() {
    if (attached_) {
        curl_multi_remove_handle(multi_.get(), easy_.get());
        attached_ = false;
    }
}

void CurlHttpTransport::hashBody() {
    if (attached_) {
        digest_.emplace();
    }
}

void CurlHttpTransport::cancel() {
    detach();
    body_.reset();
    digest_.reset();
    sha256_.clear();
    transferOk_ = false;
    status_ = 0;
    error_.clear();
    progress_ = HttpProgress::Idle;
}

bool CurlHttpTransport::succeeded() const {
    return progress_ == HttpProgress::Done && transferOk_ && status_ >= 200 && status_ <= 299;
}

std::uintmax_t CurlHttpTransport::bodySize() const {
    return progress_ == HttpProgress::Done && body_ ? body_->size() : 0;
}

std::string CurlHttpTransport::bodyText() const {
    return progress_ == HttpProgress::Done && body_ ? body_->readAll() : std::string();
}

bool CurlHttpTransport::commitBody(const std::string& path) {
    if (progress_ != HttpProgress::Done || !transferOk_ || !body_) {
        return false;
    }
    if (body_->commitTo(path)) {
        return true;
    }
    // The failed rename (or copy) is the last system call commitTo makes.
    error_ = "cannot write '" + path + "': " + std::strerror(errno);
    return false;
}

std::size_t CurlHttpTransport::OnHeader(char* data, std::size_t size, std::size_t count,
                                        void* self) {
    auto* transport = static_cast<CurlHttpTransport*>(self);
    transport->progress_ = std::max(transport->progress_, HttpProgress::HeadersReceived);
    const std::string_view line(data, size * count);
    // "HTTP/1.1 404 Not Found": every answer of a redirect chain starts with one; the last counts.
    if (line.starts_with("HTTP/")) {
        transport->reason_ = ReasonPhrase(line);
    }
    return size * count;
}

std::size_t CurlHttpTransport::OnBody(char* data, std::size_t size, std::size_t count, void* self) {
    auto* transport = static_cast<CurlHttpTransport*>(self);
    transport->progress_ = HttpProgress::Receiving;
    const std::size_t bytes = size * count;
    const std::uintmax_t bound = transport->bodyBound_;
    if (bound != 0 && transport->body_ && bytes > bound - transport->body_->size()) {
        transport->overflow_ = "an answer of more than " + std::to_string(bound) + " bytes";
        return 0;
    }
    if (transport->digest_) {
        transport->digest_->update(data, bytes);
    }
    // Returning less than asked makes curl abort the transfer with a write error.
    return transport->body_ && transport->body_->write(data, bytes) ? bytes : 0;
}

}  // namespace tamsel
