#include "ReportUploads.h"

#include "PostedLogDecoder.h"

#include <algorithm>
#include <fstream>
#include <system_error>

namespace tamsel::server {

namespace fs = std::filesystem;

namespace {

constexpr int kAdmitted = 0;
constexpr std::string_view kPartPrefix = ".upload-";
constexpr std::string_view kLogStart = "$BEGIN Header";

UploadOutcome Refused(int status) {
    UploadOutcome outcome;
    outcome.status = status;
    return outcome;
}

}  // namespace

ReportUploads::ReportUploads(ReportArchive& archive, UploadLimits limits)
    : archive_(archive), limits_(limits) {}

UploadOutcome ReportUploads::receive(std::optional<std::uint64_t> declaredLength,
                                     const BodyReader& readBody) {
    if (declaredLength && *declaredLength > limits_.maxUpload) {
        return Refused(413);
    }
    // The log is never longer than its escaped body, so this much room is enough for it.
    const std::uint64_t reserve = declaredLength.value_or(limits_.maxUpload);
    if (const int refusal = admit(reserve); refusal != kAdmitted) {
        return Refused(refusal);
    }
    UploadOutcome outcome;
    fs::path part;
    {
        std::lock_guard lock(mutex_);
        part = archive_.folder() /
               (std::string(kPartPrefix) + std::to_string(++partCounter_) + ".part");
    }
    std::error_code error;
    fs::create_directories(archive_.folder(), error);
    std::ofstream file(part, std::ios::binary | std::ios::trunc);

    PostedLogDecoder decoder;
    std::string piece;
    std::string start;  // the log's first bytes
    std::uint64_t received = 0;
    bool tooLarge = false;
    bool tooSlow = false;
    const auto deadline = std::chrono::steady_clock::now() + limits_.uploadTime;
    const auto takePiece = [&](const char* data, std::size_t length) {
        received += length;
        if (received > limits_.maxUpload) {
            tooLarge = true;
            return false;
        }
        if (std::chrono::steady_clock::now() > deadline) {
            tooSlow = true;
            return false;
        }
        piece.clear();
        decoder.feed({data, length}, piece);
        outcome.logBytes += piece.size();
        start.append(piece, 0, kLogStart.size() - std::min(start.size(), kLogStart.size()));
        return static_cast<bool>(
            file.write(piece.data(), static_cast<std::streamsize>(piece.size())));
    };
    const bool whole = file && readBody(takePiece);
    piece.clear();
    decoder.finish(piece);
    outcome.logBytes += piece.size();
    file.write(piece.data(), static_cast<std::streamsize>(piece.size()));
    file.close();

    if (tooLarge) {
        outcome.status = 413;
    } else if (tooSlow) {
        outcome.status = 408;
    } else if (!file) {
        outcome.status = 500;
    } else if (!whole || !decoder.found() || !start.starts_with(kLogStart)) {
        outcome.status = 400;
    } else {
        try {
            outcome.stored = archive_.keep(part);
        } catch (const SqlError&) {
            outcome.stored.reset();
        }
        outcome.status = outcome.stored ? 200 : 500;
    }
    if (!outcome.stored) {
        fs::remove(part, error);
        outcome.logBytes = 0;
    }
    release(reserve);
    return outcome;
}

int ReportUploads::admit(std::uint64_t bytes) {
    std::lock_guard lock(mutex_);
    if (active_ >= limits_.concurrentUploads) {
        return 503;
    }
    // Counted afresh each time: reports may be added or removed by others. Uploads being
    // received count with the room they may still take.
    ReportTotals totals;
    try {
        totals = archive_.index().totals();
    } catch (const SqlError&) {
        return 503;
    }
    if (totals.bytes + reserved_ + bytes > limits_.reportsQuota ||
        totals.logs + active_ >= limits_.maxLogs) {
        return 507;
    }
    ++active_;
    reserved_ += bytes;
    return kAdmitted;
}

void ReportUploads::release(std::uint64_t reserved) {
    std::lock_guard lock(mutex_);
    --active_;
    reserved_ -= reserved;
}

}  // namespace tamsel::server
