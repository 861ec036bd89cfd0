#include "KitServer.h"

#include "KitFiles.h"
#include "ReportsPage.h"
#include "util/FileSystem.h"

#include <httplib.h>

#include <ctime>
#include <fstream>
#include <stdexcept>

namespace tamsel::server {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kMaxUploadBytes = 64u * 1024 * 1024;
constexpr std::size_t kChunkBytes = 64 * 1024;

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

}  // namespace

KitServer::KitServer(KitServerOptions options, std::ostream& log)
    : options_(std::move(options)),
      log_(log),
      reports_(options_.reportsFolder),
      server_(std::make_unique<httplib::Server>()) {
    std::error_code error;
    if (!fs::is_directory(options_.kitRoot, error)) {
        throw std::runtime_error("kit root is not a folder: " + options_.kitRoot.string());
    }
    if (!options_.namesFile.empty()) {
        names_ = NameDirectory::Load(options_.namesFile);
    }

    // Headers and body go out in separate writes; without this each answer on a kept-alive
    // connection waits for the client's delayed acknowledgement.
    server_->set_tcp_nodelay(true);
    // An update fetches its files one after another on one connection.
    server_->set_keep_alive_max_count(100000);
    server_->Get(
        ".*", [this](const httplib::Request& req, httplib::Response& res) { handleGet(req, res); });
    server_->Post(".*", [this](const httplib::Request& req, httplib::Response& res,
                               const httplib::ContentReader& reader) {
        // The body is read here, not by the library, so that logs of any size are accepted.
        std::string body;
        const bool read = reader([&](const char* data, std::size_t length) {
            body.append(data, length);
            return body.size() <= kMaxUploadBytes;
        });
        if (RequestPath(req) != options_.uploadPath) {
            answerNotFound(res);
            return;
        }
        const auto uploaded = read ? UploadedLog(body) : std::nullopt;
        const auto stored = uploaded ? reports_.store(*uploaded) : std::nullopt;
        if (!stored) {
            res.status = uploaded ? 500 : 400;
            res.set_content("FAILED", "text/plain");
            return;
        }
        writeLog("report stored: " + stored->string() + " (" + std::to_string(uploaded->size()) +
                 " bytes)");
        res.set_content("SUCCESS", "text/plain");
    });
    server_->set_logger([this](const httplib::Request& req, const httplib::Response& res) {
        const std::string length = res.get_header_value("Content-Length");
        writeLog(req.remote_addr + " - - [" + Timestamp() + "] \"" + req.method + " " + req.target +
                 " " + req.version + "\" " + std::to_string(res.status) + " " +
                 (length.empty() ? std::to_string(res.body.size()) : length));
    });
}

KitServer::~KitServer() {
    stop();
}

bool KitServer::bind() {
    port_ = options_.port == 0
                ? server_->bind_to_any_port(options_.bindAddress)
                : (server_->bind_to_port(options_.bindAddress, options_.port) ? options_.port : -1);
    return port_ > 0;
}

std::string KitServer::address() const {
    return "http://" + options_.bindAddress + ":" + std::to_string(port_) + "/";
}

bool KitServer::run() {
    return server_->listen_after_bind();
}

void KitServer::stop() {
    server_->stop();
}

bool KitServer::running() const {
    return server_->is_running();
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
    if (path.starts_with(kReports) &&
        AnswerReports(options_.reportsFolder, path.substr(kReports.size()), res)) {
        return;
    }
    if (const auto file = ResolveKitFile(options_.kitRoot, path)) {
        serveFile(*file, req, res);
        return;
    }
    writeLog("notice: " + PercentDecode(req.target));
    answerNotFound(res);
}

void KitServer::serveFile(const fs::path& file, const httplib::Request& req,
                          httplib::Response& res) {
    if (IsCatalogueFile(file)) {
        std::string text;
        if (!ReadWholeFile(file.string(), text)) {
            answerNotFound(res);
            return;
        }
        const std::string host = req.get_header_value("Host");
        const std::string base =
            "http://" + (host.empty() ? options_.bindAddress + ":" + std::to_string(port_) : host);
        res.set_content(SubstituteServer(text, base), "text/plain");
        return;
    }
    std::error_code error;
    const auto size = fs::file_size(file, error);
    auto stream = std::make_shared<std::ifstream>(file, std::ios::binary);
    if (error || !*stream) {
        answerNotFound(res);
        return;
    }
    // Streamed in chunks: kit files can be large.
    res.set_content_provider(
        static_cast<std::size_t>(size), ContentTypeOf(file),
        [stream](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
            char buffer[kChunkBytes];
            stream->seekg(static_cast<std::streamoff>(offset));
            stream->read(buffer, static_cast<std::streamsize>(std::min(length, kChunkBytes)));
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
    log_ << line << std::endl;
}

}  // namespace tamsel::server
