#pragma once

#include "FolderNameCache.h"
#include "GuardedHttpServer.h"
#include "NameDirectory.h"
#include "ReportUploads.h"
#include "Uploads.h"

#include <filesystem>
#include <memory>
#include <mutex>
#include <ostream>
#include <string>

namespace tamsel::server {

struct KitServerOptions {
    std::string bindAddress = "127.0.0.1";
    int port = 8080;  // 0 picks a free port
    std::filesystem::path kitRoot;
    std::filesystem::path reportsFolder = "tamsel-reports";
    std::filesystem::path namesFile;  // empty: every number is unknown
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
//   same as CSV, and each stored log's name the log;
// - every request gets an access log line, and a GET that names no kit file (the completion
//   notice) also a "notice" line with its decoded address.
class KitServer {
  public:
    // Throws std::runtime_error when the kit root is not a folder or the names file is unreadable.
    KitServer(KitServerOptions options, std::ostream& log);
    ~KitServer();
    KitServer(const KitServer&) = delete;
    KitServer& operator=(const KitServer&) = delete;

    // Binds the listening socket; false when the address or port cannot be bound.
    bool bind();
    int port() const { return port_; }
    // "http://ADDR:PORT/"
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
    void writeLog(const std::string& line);

    KitServerOptions options_;
    std::ostream& log_;
    std::mutex logMutex_;
    NameDirectory names_;
    FolderNameCache folderNames_;
    ReportStore reports_;
    ReportUploads uploads_;
    std::unique_ptr<GuardedHttpServer> server_;
    int port_ = -1;
};

}  // namespace tamsel::server
