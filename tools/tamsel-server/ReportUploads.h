#pragma once

#include "ReportArchive.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <string>

namespace tamsel::server {

struct UploadLimits {
    // Largest upload body taken, in bytes; an update log is at most a few MB.
    std::uint64_t maxUpload = 16u << 20;
    // Most bytes the reports folder may hold; an upload that would pass it is refused.
    std::uint64_t reportsQuota = std::uint64_t{1} << 30;
    // Most logs the reports store may hold.
    std::uint64_t maxLogs = 1000000;
    // Uploads received at once; one more is answered "busy".
    std::size_t concurrentUploads = 4;
    // Longest time one upload may take, so that slow senders cannot keep every place taken:
    // 16 MiB at 1 Mbit/s fits.
    std::chrono::milliseconds uploadTime{std::chrono::minutes(3)};
};

struct UploadOutcome {
    int status = 200;                   // 200 stored; 400, 408, 413, 500, 503 or 507 stored nothing
    std::optional<std::string> stored;  // the stored log's name
    std::uint64_t logBytes = 0;
};

// Receives posted update logs within the limits: the body is decoded as it arrives into a hidden
// file of the reports folder, which becomes a report only when the whole body was taken and
// holds an update log (it starts with the log's header).
class ReportUploads {
  public:
    using PieceSink = std::function<bool(const char*, std::size_t)>;
    // Hands the body to the sink piece by piece until it ends or the sink returns false; false
    // when the body was not read to its end.
    using BodyReader = std::function<bool(const PieceSink&)>;

    ReportUploads(ReportArchive& archive, UploadLimits limits);

    // declaredLength: the body's announced length, when it has one.
    UploadOutcome receive(std::optional<std::uint64_t> declaredLength, const BodyReader& readBody);

  private:
    // Room for one more upload of up to `bytes`: 0 when admitted, else the refusal's status.
    int admit(std::uint64_t bytes);
    void release(std::uint64_t reserved);

    ReportArchive& archive_;
    UploadLimits limits_;
    std::mutex mutex_;
    std::size_t active_ = 0;
    std::uint64_t reserved_ = 0;
    unsigned long partCounter_ = 0;
};

}  // namespace tamsel::server
