#include <cmath>

#include "engine/frmProcess.h"
#include "util/Format.h"

namespace tamsel {

std::string DurationText(long long seconds) {
    if (seconds < 60) {
        return seconds <= 1 ? "1 second" : std::to_string(seconds) + " seconds";
    }
    const long long minutes = seconds / 60;
    if (minutes < 60) {
        return minutes <= 1 ? "1 minute" : std::to_string(minutes) + " minutes";
    }
    const long long hours = minutes / 60;
    if (hours < 60) {
        return hours <= 1 ? "1 hour" : std::to_string(hours) + " hours";
    }
    return {};
}

std::string ProgressText(long index, long count, double processed, double total,
                         long long elapsedSeconds) {
    std::string text = "Processing file " + std::to_string(index) + " of " + std::to_string(count) +
                       "    (" + FormatSize(processed) + " of " + FormatSize(total);
    if (index >= 3 && elapsedSeconds >= 1) {
        const auto rate = std::llround(processed) / elapsedSeconds;
        if (rate > 0) {
            const auto remaining = std::llround(total - processed) / rate;
            text += ", time remaining " + DurationText(remaining);
        }
    }
    return text + ")";
}

}  // namespace tamsel
