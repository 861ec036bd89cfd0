#pragma once

#include "FolderNameCache.h"
#include "GuardedHttpServer.h"
#include "NameDirectory.h"
#include "ReportArchive.h"
#include "ReportUploads.h"
#include "ReportUsers.h"

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <memory>
#include <mutex>
#include <ostream>
#include <string>
#include <thread>

namespace tamsel::server {

struct KitServerOptions {
    std::string bindAddress = "127.0.0.1";
    int port = 8080;  // 0 picks a free port
    std::filesystem::path kitRoot;
    std::filesystem::path reportsFolder = "tamsel-reports";
    // "postgresql://..." keeps the index and the raw logs in PostgreSQL; empty: an SQLite index
    // beside the raw logs in the reports folder.
    std::string reportsDatabase;
    int keepDays = 0;  // logs older than this many days are removed once a day; 0 keeps all
    std::filesystem::path usersFile;  // empty: the reports pages need no login
    // How long the answer to a wrong password waits, to slow down guessing.
    std::chrono::milliseconds refusalDelay{1000};
    std::filesystem::path tlsCertificate;  // both set: HTTPS
    std::filesystem::path tlsKey;
    std::size_t uploadsPerMinute = 60;  // per client address
    std::filesystem::path namesFile;    // empty: every number is unknown
    std::string uploadPath = "/tamsel_reports/upload.asp";
    std::string validMarker = "TAMSEL-EIN-OK";
    std::string incorrectMarker = "UNKNOWN-NUMBER";
    ConnectionLimits connections;
    UploadLimits uploads;
};

// The kit, reports and name server:
// - GET serves the kit root read-only, one byte range at most per request; "%server%" in served
//   catalogues ("*.ini") becomes the address the client used to reach this server; anything else
//   answers 404 with a small page;
// - POST at the upload path stores the form field "data" as a report file and answers "SUCCESS",
//   within the upload limits;
// - GET "/ein?number=N" answers from the names file;
// - GET "/tamsel_reports/" answers a page of the stored logs, "/tamsel_reports/reports.csv" the
//   same as CSV, "/tamsel_reports/desktops" the latest log of each user, and each stored log's
//   name the log; with a users file only to a user who logs in, and without one only on a
//   loopback address;
// - every request gets an access log line, and a GET that names no kit file (the completion
//   notice) also a "notice" line with its decoded address.
class KitServer {
  public:
    // Indexes the stored logs the index lacks, with progress on the log. Throws
    // std::runtime_error when the kit root is not a folder, the names file, users file or TLS
    // files are unusable, or the reports database cannot be opened.
    KitServer(KitServerOptions options, std::ostream& log);
    ~KitServer();
    KitServer(const KitServer&) = delete;
    KitServer& operator=(const KitServer&) = delete;

    // Binds the listening socket; false when the address or port cannot be bound.
    bool bind();
    int port() const { return port_; }
    // "http://ADDR:PORT/", or "https://..."
    std::string address() const;
    // Serves until stop(); false when serving could not start.
    bool run();
    void stop();
    bool running() const;

  private:
    void handleGet(const httplib::Request& req, httplib::Response& res);
    void receiveUpload(const httplib::Request& req, httplib::Response& res,
                       const httplib::ContentReader& reader);
    void serveFile(const std::filesystem::path& file, const httplib::Request& req,
                   httplib::Response& res);
    void answerNotFound(httplib::Response& res);
    // Whether the request may see the reports pages; if not, the refusal is in `res`.
    bool admitted(const httplib::Request& req, httplib::Response& res);
    void keepRecentLogs();
    void writeLog(const std::string& line);

    KitServerOptions options_;
    std::ostream& log_;
    std::mutex logMutex_;
    NameDirectory names_;
    FolderNameCache folderNames_;
    ReportArchive archive_;
    ReportUploads uploads_;
    ReportUsers users_;
    UploadsPerMinute uploadRate_;
    std::unique_ptr<GuardedHttpServer> server_;
    int port_ = -1;
    std::mutex retentionMutex_;
    std::condition_variable retentionWake_;
    bool stopping_ = false;
    std::thread retention_;
};

}  // namespace tamsel::server
