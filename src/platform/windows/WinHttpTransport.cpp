#include "platform/windows/WinHttpTransport.h"

#include <windows.h>

#include <winhttp.h>

#include <algorithm>
#include <array>

#include "platform/UrlEncoding.h"
#include "util/FileSystem.h"
#include "util/windows/WideText.h"

namespace tamsel {

namespace {

constexpr DWORD kMaxRedirects = 20;

// The text of a WinHTTP error number, which lives in the library's own messages.
std::string WinHttpErrorText(DWORD error) {
    if (error >= WINHTTP_ERROR_BASE && error <= WINHTTP_ERROR_LAST) {
        wchar_t* buffer = nullptr;
        const DWORD n =
            ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_HMODULE |
                                 FORMAT_MESSAGE_IGNORE_INSERTS,
                             ::GetModuleHandleW(L"winhttp.dll"), error, 0,
                             reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
        std::string text = n > 0 ? Narrow(std::wstring_view(buffer, n)) : std::string();
        ::LocalFree(buffer);
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) {
            text.pop_back();
        }
        if (error == ERROR_WINHTTP_TIMEOUT) {
            return text.empty() ? "the operation timed out" : text;
        }
        return text.empty() ? "WinHTTP error " + std::to_string(error) : text;
    }
    return SystemErrorText(error);
}

std::wstring QueryHeader(HINTERNET request, DWORD query) {
    DWORD size = 0;
    ::WinHttpQueryHeaders(request, query, WINHTTP_HEADER_NAME_BY_INDEX, nullptr, &size,
                          WINHTTP_NO_HEADER_INDEX);
    std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
    if (!::WinHttpQueryHeaders(request, query, WINHTTP_HEADER_NAME_BY_INDEX, text.data(), &size,
                               WINHTTP_NO_HEADER_INDEX)) {
        return {};
    }
    text.resize(size / sizeof(wchar_t));
    return text;
}

// The proxy the user's settings give for the URL: a fixed proxy, or the answer of automatic
// detection or a configuration script. False when the request goes direct.
bool ProxyFor(HINTERNET session, const std::wstring& url, WINHTTP_PROXY_INFO& proxy) {
    WINHTTP_CURRENT_USER_IE_PROXY_CONFIG config{};
    if (!::WinHttpGetIEProxyConfigForCurrentUser(&config)) {
        return false;
    }
    bool found = false;
    if (config.fAutoDetect || config.lpszAutoConfigUrl != nullptr) {
        WINHTTP_AUTOPROXY_OPTIONS options{};
        options.dwFlags = config.lpszAutoConfigUrl != nullptr ? WINHTTP_AUTOPROXY_CONFIG_URL
                                                              : WINHTTP_AUTOPROXY_AUTO_DETECT;
        options.dwAutoDetectFlags =
            config.fAutoDetect ? WINHTTP_AUTO_DETECT_TYPE_DHCP | WINHTTP_AUTO_DETECT_TYPE_DNS_A : 0;
        options.lpszAutoConfigUrl = config.lpszAutoConfigUrl;
        options.fAutoLogonIfChallenged = TRUE;
        found = ::WinHttpGetProxyForUrl(session, url.c_str(), &options, &proxy) != 0;
    }
    if (!found && config.lpszProxy != nullptr) {
        proxy.dwAccessType = WINHTTP_ACCESS_TYPE_NAMED_PROXY;
        proxy.lpszProxy = config.lpszProxy;
        proxy.lpszProxyBypass = config.lpszProxyBypass;
        config.lpszProxy = nullptr;
        config.lpszProxyBypass = nullptr;
        found = true;
    }
    ::GlobalFree(config.lpszAutoConfigUrl);
    ::GlobalFree(config.lpszProxy);
    ::GlobalFree(config.lpszProxyBypass);
    return found;
}

// A step that ends this close to the request's time bound is taken to have met it.
constexpr int kTimeSlackMs = 50;

std::chrono::milliseconds StallOf(const HttpTimeouts& timeouts) {
    return std::max<std::chrono::milliseconds>(timeouts.stall, std::chrono::seconds(1));
}

std::string TookTooLong(std::chrono::milliseconds total) {
    return "the request took longer than " + std::to_string(total.count()) + " ms";
}

// Closes a WinHTTP handle when it goes.
struct InternetHandle {
    HINTERNET handle = nullptr;
    ~InternetHandle() {
        if (handle != nullptr) {
            ::WinHttpCloseHandle(handle);
        }
    }
};

}  // namespace

std::unique_ptr<HttpTransport> MakeHttpTransport(HttpTimeouts timeouts, std::string spoolFolder) {
    return std::make_unique<WinHttpTransport>(
        timeouts, spoolFolder.empty() ? DefaultSpoolFolder() : PathFromUtf8(spoolFolder));
}

WinHttpTransport::WinHttpTransport(HttpTimeouts timeouts, std::filesystem::path spoolFolder)
    : timeouts_(timeouts), spoolFolder_(std::move(spoolFolder)) {
    session_ = ::WinHttpOpen(L"Tamsel Updater", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY,
                             WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0);
    if (session_ != nullptr) {
        const int connectMs = static_cast<int>(timeouts_.connect.count());
        const int stallMs =
            static_cast<int>(std::max<long long>(1, timeouts_.stall.count())) * 1000;
        ::WinHttpSetTimeouts(session_, connectMs, connectMs, stallMs, stallMs);
        DWORD redirects = kMaxRedirects;
        ::WinHttpSetOption(session_, WINHTTP_OPTION_MAX_HTTP_AUTOMATIC_REDIRECTS, &redirects,
                           sizeof redirects);
    }
}

WinHttpTransport::~WinHttpTransport() {
    cancel();
    if (session_ != nullptr) {
        ::WinHttpCloseHandle(session_);
    }
}

bool WinHttpTransport::startGet(const std::string& url) {
    return start({url, L"GET", {}, {}, {}, {}});
}

bool WinHttpTransport::startPost(const std::string& url, const std::string& contentType,
                                 const std::string& body) {
    return start({url, L"POST", contentType, body, {}, {}});
}

bool WinHttpTransport::start(Request request) {
    cancel();
    if (session_ == nullptr) {
        finishWith(0, "the HTTP library could not be initialised", false);
        return false;
    }
    request.url = EncodeRequestUrl(request.url);
    const std::string lower = request.url.substr(0, 8);
    if (lower.rfind("http://", 0) != 0 && lower.rfind("https://", 0) != 0) {
        finishWith(0, "malformed URL: " + request.url, false);
        return false;
    }
    body_ = SpoolFile::Create(spoolFolder_);
    if (!body_) {
        finishWith(0, "cannot create a temporary file in " + Utf8FromPath(spoolFolder_), false);
        return false;
    }
    request.limits = limits_;
    request.started = std::chrono::steady_clock::now();
    {
        std::lock_guard lock(mutex_);
        progress_ = HttpProgress::Sent;
        cancelled_ = false;
        digest_.emplace();
    }
    worker_ = std::thread([this, request = std::move(request)] { run(request); });
    return true;
}

void WinHttpTransport::run(const Request& request) {
    const std::wstring url = Widen(request.url);
    URL_COMPONENTS parts{};
    parts.dwStructSize = sizeof parts;
    parts.dwHostNameLength = static_cast<DWORD>(-1);
    parts.dwUrlPathLength = static_cast<DWORD>(-1);
    parts.dwExtraInfoLength = static_cast<DWORD>(-1);
    if (!::WinHttpCrackUrl(url.c_str(), 0, 0, &parts) || parts.dwHostNameLength == 0) {
        finishWith(0, "malformed URL: " + request.url, false);
        return;
    }
    const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
    std::wstring target(parts.lpszUrlPath, parts.dwUrlPathLength);
    target.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    const bool secure = parts.nScheme == INTERNET_SCHEME_HTTPS;

    InternetHandle connection{::WinHttpConnect(session_, host.c_str(), parts.nPort, 0)};
    InternetHandle handle{connection.handle == nullptr
                              ? nullptr
                              : ::WinHttpOpenRequest(connection.handle, request.method,
                                                     target.empty() ? L"/" : target.c_str(),
                                                     nullptr, WINHTTP_NO_REFERER,
                                                     WINHTTP_DEFAULT_ACCEPT_TYPES,
                                                     secure ? WINHTTP_FLAG_SECURE : 0)};
    if (handle.handle == nullptr) {
        finishWith(0, WinHttpErrorText(::GetLastError()), false);
        return;
    }
    {
        std::lock_guard lock(mutex_);
        if (cancelled_) {
            return;
        }
        request_ = handle.handle;
    }
    if (request.limits.total.count() > 0) {
        // Every step waits at most until the time is up.
        const int left = TimeLeft(request, timeouts_.connect);
        ::WinHttpSetTimeouts(handle.handle, left, left, left,
                             TimeLeft(request, StallOf(timeouts_)));
    }
    WINHTTP_PROXY_INFO proxy{};
    if (ProxyFor(session_, url, proxy)) {
        ::WinHttpSetOption(handle.handle, WINHTTP_OPTION_PROXY, &proxy, sizeof proxy);
        ::GlobalFree(proxy.lpszProxy);
        ::GlobalFree(proxy.lpszProxyBypass);
    }
    const std::wstring headers = request.contentType.empty()
                                     ? std::wstring()
                                     : L"Content-Type: " + Widen(request.contentType);
    const auto bodySize = static_cast<DWORD>(request.body.size());
    bool ok = ::WinHttpSendRequest(
                  handle.handle, headers.empty() ? WINHTTP_NO_ADDITIONAL_HEADERS : headers.c_str(),
                  static_cast<DWORD>(headers.size()), const_cast<char*>(request.body.data()),
                  bodySize, bodySize, 0) &&
              ::WinHttpReceiveResponse(handle.handle, nullptr);
    long status = 0;
    if (ok) {
        DWORD code = 0;
        DWORD size = sizeof code;
        ::WinHttpQueryHeaders(handle.handle, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                              WINHTTP_HEADER_NAME_BY_INDEX, &code, &size, WINHTTP_NO_HEADER_INDEX);
        status = static_cast<long>(code);
        advance(HttpProgress::HeadersReceived);
    }
    std::string failure;
    ok = ok && receive(handle.handle, request, failure);
    const DWORD error = ok ? 0 : ::GetLastError();
    {
        std::lock_guard lock(mutex_);
        if (request_ == nullptr) {
            handle.handle = nullptr;  // closed already, by cancel()
        }
        request_ = nullptr;
        if (cancelled_) {
            return;
        }
        sha256_ = digest_ ? digest_->hexDigest() : std::string();
        digest_.reset();
    }
    const bool written = body_->close();
    // A step cut short by the time bound reports a timeout (of WinHTTP or of the socket).
    if (!ok && failure.empty() && request.limits.total.count() > 0 &&
        TimeLeft(request, request.limits.total) <= kTimeSlackMs) {
        finishWith(status, TookTooLong(request.limits.total), false);
    } else if (!failure.empty()) {
        finishWith(status, failure, false);
    } else if (!ok) {
        finishWith(status, WinHttpErrorText(error), false);
    } else if (!written) {
        finishWith(status, "cannot write the response to a temporary file", false);
    } else if (status < 200 || status > 299) {
        const std::string reason = Narrow(QueryHeader(handle.handle, WINHTTP_QUERY_STATUS_TEXT));
        finishWith(status, "HTTP " + std::to_string(status) + (reason.empty() ? "" : " " + reason),
                   true);
    } else {
        finishWith(status, {}, true);
    }
}

bool WinHttpTransport::receive(void* handle, const Request& request, std::string& failure) {
    const std::uintmax_t bound = request.limits.body;
    std::array<char, 65536> buffer{};
    for (;;) {
        if (request.limits.total.count() > 0) {
            DWORD wait = static_cast<DWORD>(TimeLeft(request, StallOf(timeouts_)));
            ::WinHttpSetOption(handle, WINHTTP_OPTION_RECEIVE_TIMEOUT, &wait, sizeof wait);
        }
        DWORD got = 0;
        if (!::WinHttpReadData(handle, buffer.data(), static_cast<DWORD>(buffer.size()), &got)) {
            return false;
        }
        if (got == 0) {
            return true;
        }
        if (bound != 0 && got > bound - body_->size()) {
            failure = "an answer of more than " + std::to_string(bound) + " bytes";
            return false;
        }
        digest_->update(buffer.data(), got);
        if (!body_->write(buffer.data(), got)) {
            failure = "cannot write the response to a temporary file";
            return false;
        }
        {
            std::lock_guard lock(mutex_);
            received_ = body_->size();
            progress_ = HttpProgress::Receiving;
        }
        changed_.notify_all();
    }
}

int WinHttpTransport::TimeLeft(const Request& request, std::chrono::milliseconds step) {
    if (request.limits.total.count() <= 0) {
        return static_cast<int>(step.count());
    }
    const auto left =
        request.limits.total - std::chrono::duration_cast<std::chrono::milliseconds>(
                                   std::chrono::steady_clock::now() - request.started);
    return static_cast<int>(std::max<long long>(1, std::min(step, left).count()));
}

void WinHttpTransport::advance(HttpProgress to) {
    {
        std::lock_guard lock(mutex_);
        progress_ = std::max(progress_, to);
    }
    changed_.notify_all();
}

void WinHttpTransport::finishWith(long status, std::string error, bool ok) {
    {
        std::lock_guard lock(mutex_);
        status_ = status;
        error_ = std::move(error);
        transferOk_ = ok;
        progress_ = HttpProgress::Done;
    }
    changed_.notify_all();
}

HttpProgress WinHttpTransport::finish() {
    if (worker_.joinable()) {
        worker_.join();
    }
    return progress();
}

void WinHttpTransport::waitForActivity(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    if (progress_ == HttpProgress::Idle || progress_ == HttpProgress::Done) {
        return;
    }
    const HttpProgress seen = progress_;
    changed_.wait_for(lock, timeout, [&] { return progress_ != seen; });
}

void WinHttpTransport::cancel() {
    {
        std::lock_guard lock(mutex_);
        cancelled_ = true;
        if (request_ != nullptr) {
            // Closing the handle makes the worker's blocking call return at once.
            ::WinHttpCloseHandle(request_);
            request_ = nullptr;
        }
    }
    changed_.notify_all();
    if (worker_.joinable()) {
        worker_.join();
    }
    std::lock_guard lock(mutex_);
    body_.reset();
    digest_.reset();
    sha256_.clear();
    hashWanted_ = false;
    received_ = 0;
    transferOk_ = false;
    status_ = 0;
    error_.clear();
    progress_ = HttpProgress::Idle;
}

HttpProgress WinHttpTransport::progress() const {
    std::lock_guard lock(mutex_);
    return progress_;
}

bool WinHttpTransport::succeeded() const {
    std::lock_guard lock(mutex_);
    return progress_ == HttpProgress::Done && transferOk_ && status_ >= 200 && status_ <= 299;
}

long WinHttpTransport::status() const {
    std::lock_guard lock(mutex_);
    return status_;
}

std::string WinHttpTransport::errorText() const {
    std::lock_guard lock(mutex_);
    return error_;
}

std::uintmax_t WinHttpTransport::bodySize() const {
    std::lock_guard lock(mutex_);
    return progress_ == HttpProgress::Done && body_ ? body_->size() : 0;
}

std::uintmax_t WinHttpTransport::bytesReceived() const {
    std::lock_guard lock(mutex_);
    return received_;
}

void WinHttpTransport::hashBody() {
    std::lock_guard lock(mutex_);
    hashWanted_ = true;
}

std::string WinHttpTransport::bodySha256() const {
    std::lock_guard lock(mutex_);
    return hashWanted_ ? sha256_ : std::string();
}

std::string WinHttpTransport::bodyText() const {
    std::lock_guard lock(mutex_);
    return progress_ == HttpProgress::Done && body_ ? body_->readAll() : std::string();
}

bool WinHttpTransport::commitBody(const std::string& path) {
    if (worker_.joinable() && progress() == HttpProgress::Done) {
        worker_.join();
    }
    std::lock_guard lock(mutex_);
    if (progress_ != HttpProgress::Done || !transferOk_ || !body_) {
        return false;
    }
    if (body_->commitTo(PathFromUtf8(path))) {
        return true;
    }
    error_ = "cannot write '" + path + "': " + SystemErrorText(::GetLastError());
    return false;
}

}  // namespace tamsel
