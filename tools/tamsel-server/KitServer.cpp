#include "KitServer.h"

#include "ByteRange.h"
#include "KitFiles.h"
#include "ReportsPage.h"
#include "TlsContext.h"
#include "util/FileSystem.h"

#include <httplib.h>

#include <charconv>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <stdexcept>

namespace tamsel::server {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kChunkBytes = 64 * 1024;

const char* const kNoUsersPage =
    "<html><head><title>403 Forbidden</title></head><body><h1>Forbidden</h1><p>The reports "
    "pages are served on this address only to users who log in. Add a user with "
    "<code>tamsel-server add-user USERS_FILE NAME</code> and start the server with "
    "<code>--users USERS_FILE</code> (and <code>--tls-cert</code>/<code>--tls-key</code> or a "
    "reverse proxy with HTTPS).</p></body></html>";

const char* const kNotFoundPage =
    "<html><head><title>404 Not Found</title></head>"
    "<body><h1>Not Found</h1><p>The requested URL was not found on this server.</p></body></html>";

std::string Timestamp() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[40];
    std::strftime(text, sizeof text, "%d/%b/%Y:%H:%M:%S %z", &local);
    return text;
}

std::string ContentTypeOf(const fs::path& file) {
    const std::string extension = file.extension().string();
    if (IsCatalogueFile(file) || extension == ".txt" || extension == ".TXT") {
        return "text/plain";
    }
    return "application/octet-stream";
}

// The decoded path of the request line's target, without the query.
std::string RequestPath(const httplib::Request& req) {
    return PercentDecode(std::string_view(req.target).substr(0, req.target.find('?')));
}

std::optional<std::uint64_t> DeclaredLength(const httplib::Request& req) {
    const std::string text = req.get_header_value("Content-Length");
    std::uint64_t length = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), length);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return length;
}

// A value written to the server's log: control characters and backslashes escaped, so that no
// request can forge a line.
std::string Escaped(std::string_view text) {
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || c == '\\') {
            char code[8];
            std::snprintf(code, sizeof code, "\\x%02X", byte);
            out += code;
        } else {
            out += c;
        }
    }
    return out;
}

// A Host header that names a host or an address, with an optional port.
bool IsHostName(std::string_view host) {
    if (host.starts_with('[')) {
        const auto close = host.find(']');
        if (close == std::string_view::npos ||
            host.substr(1, close - 1).find_first_not_of("0123456789abcdefABCDEF:.") !=
                std::string_view::npos) {
            return false;
        }
        host.remove_prefix(close + 1);
    } else {
        const auto colon = host.find(':');
        const auto name = host.substr(0, colon);
        if (name.empty() ||
            name.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                   "0123456789.-") != std::string_view::npos) {
            return false;
        }
        host.remove_prefix(name.size());
    }
    if (host.empty()) {
        return true;
    }
    const auto port = host.substr(1);
    return host[0] == ':' && !port.empty() && port.size() <= 5 &&
           port.find_first_not_of("0123456789") == std::string_view::npos;
}

bool IsLoopback(const std::string& address) {
    return address.starts_with("127.") || address == "::1" || address == "localhost";
}

bool IsReportsPage(const std::string& rest) {
    return rest.empty() || rest == "desktops" || rest == "reports.csv" || IsStoredLogName(rest);
}

}  // namespace

KitServer::KitServer(KitServerOptions options, std::ostream& log)
    : options_(std::move(options)),
      log_(log),
      archive_(options_.reportsFolder, options_.reportsDatabase),
      uploads_(archive_, options_.uploads),
      uploadRate_(options_.uploadsPerMinute) {
    std::error_code error;
    if (!fs::is_directory(options_.kitRoot, error)) {
        throw std::runtime_error("kit root is not a folder: " + options_.kitRoot.string());
    }
    if (!options_.namesFile.empty()) {
        names_ = NameDirectory::Load(options_.namesFile);
    }
    if (!options_.usersFile.empty()) {
        users_ = ReportUsers::Load(options_.usersFile);
    }
    const bool tls = !options_.tlsCertificate.empty() || !options_.tlsKey.empty();
    server_ = std::make_unique<GuardedHttpServer>(
        options_.connections,
        tls ? LoadTlsContext(options_.tlsCertificate, options_.tlsKey) : nullptr);
    if (const auto indexed = archive_.indexFolder(log_); indexed > 0) {
        writeLog("indexed " + std::to_string(indexed) + " stored logs");
    }
    if (options_.keepDays > 0) {
        retention_ = std::thread([this] { keepRecentLogs(); });
    }

    // Headers and body go out in separate writes; without this each answer on a kept-alive
    // connection waits for the client's delayed acknowledgement.
    server_->set_tcp_nodelay(true);
    // Bodies the library reads itself (none but refused ones) stay small.
    server_->set_payload_max_length(options_.uploads.maxUpload);
    server_->Get(
        ".*", [this](const httplib::Request& req, httplib::Response& res) { handleGet(req, res); });
    server_->Post(
        ".*", [this](const httplib::Request& req, httplib::Response& res,
                     const httplib::ContentReader& reader) { receiveUpload(req, res, reader); });
    server_->set_logger([this](const httplib::Request& req, const httplib::Response& res) {
        const std::string length = res.get_header_value("Content-Length");
        writeLog(req.remote_addr + " - - [" + Timestamp() + "] \"" + req.method + " " + req.target +
                 " " + req.version + "\" " + std::to_string(res.status) + " " +
                 (length.empty() ? std::to_string(res.body.size()) : length));
    });
}

KitServer::~KitServer() {
    stop();
    if (retention_.joinable()) {
        retention_.join();
    }
}

bool KitServer::bind() {
    port_ = server_->bindListening(options_.bindAddress, options_.port);
    return port_ > 0;
}

std::string KitServer::address() const {
    const bool tls = !options_.tlsCertificate.empty();
    return (tls ? "https://" : "http://") + options_.bindAddress + ":" + std::to_string(port_) +
           "/";
}

bool KitServer::run() {
    return server_->listen_after_bind();
}

void KitServer::stop() {
    {
        std::lock_guard lock(retentionMutex_);
        stopping_ = true;
    }
    retentionWake_.notify_all();
    server_->stop();
}

void KitServer::keepRecentLogs() {
    std::unique_lock lock(retentionMutex_);
    while (!stopping_) {
        lock.unlock();
        try {
            if (const auto removed = archive_.prune(options_.keepDays, std::time(nullptr))) {
                writeLog("removed " + std::to_string(removed) + " logs older than " +
                         std::to_string(options_.keepDays) + " days");
            }
        } catch (const std::exception& error) {
            writeLog(std::string("removing old logs failed: ") + error.what());
        }
        lock.lock();
        retentionWake_.wait_for(lock, std::chrono::hours(24), [this] { return stopping_; });
    }
}

bool KitServer::admitted(const httplib::Request& req, httplib::Response& res) {
    if (users_.empty()) {
        if (IsLoopback(options_.bindAddress)) {
            return true;
        }
        res.status = 403;
        res.set_content(kNoUsersPage, "text/html; charset=utf-8");
        return false;
    }
    if (users_.admits(req.get_header_value("Authorization"))) {
        return true;
    }
    if (req.has_header("Authorization")) {
        std::this_thread::sleep_for(options_.refusalDelay);
    }
    res.status = 401;
    res.set_header("WWW-Authenticate", "Basic realm=\"Tamsel reports\", charset=\"UTF-8\"");
    res.set_content("Log in to see the reports.", "text/plain");
    return false;
}

bool KitServer::running() const {
    return server_->is_running();
}

void KitServer::receiveUpload(const httplib::Request& req, httplib::Response& res,
                              const httplib::ContentReader& reader) {
    if (RequestPath(req) != options_.uploadPath) {
        answerNotFound(res);
        return;
    }
    if (!uploadRate_.allow(req.remote_addr)) {
        writeLog("report refused (429)");
        res.status = 429;
        res.set_header("Retry-After", "60");
        res.set_content("FAILED", "text/plain");
        return;
    }
    const UploadOutcome outcome =
        uploads_.receive(DeclaredLength(req),
                         [&reader](const ReportUploads::PieceSink& sink) { return reader(sink); });
    res.status = outcome.status;
    if (!outcome.stored) {
        writeLog("report refused (" + std::to_string(outcome.status) + ")");
        if (outcome.status == 503) {
            res.set_header("Retry-After", "5");
        }
        res.set_content("FAILED", "text/plain");
        return;
    }
    writeLog("report stored: " + *outcome.stored + " (" + std::to_string(outcome.logBytes) +
             " bytes)");
    res.set_content("SUCCESS", "text/plain");
}

void KitServer::handleGet(const httplib::Request& req, httplib::Response& res) {
    const std::string path = RequestPath(req);
    if (path == "/ein") {
        const std::string answer = names_.answer(req.get_param_value("number"),
                                                 options_.validMarker, options_.incorrectMarker);
        res.set_content(answer, "text/plain");
        return;
    }
    constexpr std::string_view kReports = "/tamsel_reports/";
    if (path.starts_with(kReports) && IsReportsPage(path.substr(kReports.size()))) {
        if (!admitted(req, res)) {
            return;
        }
        try {
            if (AnswerReports(archive_, path.substr(kReports.size()), req, res,
                              std::time(nullptr))) {
                return;
            }
        } catch (const SqlError& error) {
            writeLog(std::string("reports database: ") + error.what());
            res.status = 503;
            res.set_content("The reports database cannot be reached.", "text/plain");
            return;
        }
    }
    if (const auto file = ResolveKitFile(options_.kitRoot, path, folderNames_)) {
        serveFile(*file, req, res);
        return;
    }
    writeLog("notice: " + PercentDecode(req.target));
    answerNotFound(res);
}

void KitServer::serveFile(const fs::path& file, const httplib::Request& req,
                          httplib::Response& res) {
    std::string text;
    std::error_code error;
    const bool catalogue = IsCatalogueFile(file);
    if (catalogue && !ReadWholeFile(file.string(), text)) {
        answerNotFound(res);
        return;
    }
    if (catalogue) {
        const std::string host = req.get_header_value("Host");
        const std::string scheme = options_.tlsCertificate.empty() ? "http://" : "https://";
        const std::string base =
            scheme + (IsHostName(host) ? host : options_.bindAddress + ":" + std::to_string(port_));
        text = SubstituteServer(text, base);
    }
    const std::uint64_t size = catalogue ? text.size() : fs::file_size(file, error);
    auto stream = std::make_shared<std::ifstream>();
    if (!catalogue) {
        stream->open(file, std::ios::binary);
    }
    if (error || (!catalogue && !*stream)) {
        answerNotFound(res);
        return;
    }

    res.set_header("Accept-Ranges", "bytes");
    const ByteRange range = ChooseByteRange(req.get_header_value("Range"), size);
    if (range.kind == ByteRange::Kind::Unsatisfiable) {
        res.status = 416;
        res.set_header("Content-Range", "bytes */" + std::to_string(size));
        return;
    }
    std::uint64_t first = 0;
    std::uint64_t length = size;
    if (range.kind == ByteRange::Kind::Part) {
        first = range.first;
        length = range.length;
        res.status = 206;
        res.set_header("Content-Range", "bytes " + std::to_string(first) + "-" +
                                            std::to_string(first + length - 1) + "/" +
                                            std::to_string(size));
    }
    const std::string type = ContentTypeOf(file);
    if (catalogue || length == 0) {
        res.set_content(text.substr(first, length), type);
        return;
    }
    // Streamed in chunks: kit files can be large.
    res.set_content_provider(
        static_cast<std::size_t>(length), type,
        [stream, first](std::size_t offset, std::size_t wanted, httplib::DataSink& sink) {
            char buffer[kChunkBytes];
            stream->seekg(static_cast<std::streamoff>(first + offset));
            stream->read(buffer, static_cast<std::streamsize>(std::min(wanted, kChunkBytes)));
            const auto got = stream->gcount();
            return got > 0 && sink.write(buffer, static_cast<std::size_t>(got));
        });
}

void KitServer::answerNotFound(httplib::Response& res) {
    res.status = 404;
    res.set_content(kNotFoundPage, "text/html");
}

void KitServer::writeLog(const std::string& line) {
    std::lock_guard lock(logMutex_);
    log_ << Escaped(line) << std::endl;
}

}  // namespace tamsel::server
