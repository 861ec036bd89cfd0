#include <gtest/gtest.h>

#include "engine/frmProcess.h"

namespace tamsel {
namespace {

TEST(ProcessProgress, DurationsReadInTheLargestWholeUnitAndTheEstimateWaits) {
    const struct {
        long long seconds;
        const char* text;
    } rows[] = {{0, "1 second"},      {2, "2 seconds"},     {90, "1 minute"},
                {3599, "59 minutes"}, {215999, "59 hours"}, {216000, ""}};
    for (const auto& row : rows) {
        EXPECT_EQ(DurationText(row.seconds), row.text) << row.seconds;
    }
    // The estimate waits for the third file and the first second.
    EXPECT_EQ(ProgressText(2, 10, 1024, 10240, 5), "Processing file 2 of 10    (1kb of 10kb)");
    EXPECT_EQ(ProgressText(3, 10, 1024, 10240, 0), "Processing file 3 of 10    (1kb of 10kb)");
    // 1024 bytes in 2 s is 512 bytes a second: 9216 bytes to go take 18 s.
    EXPECT_EQ(ProgressText(3, 10, 1024, 10240, 2),
              "Processing file 3 of 10    (1kb of 10kb, time remaining 18 seconds)");
    // Nothing received yet gives no rate and so no estimate.
    EXPECT_EQ(ProgressText(4, 10, 0, 10240, 9), "Processing file 4 of 10    (0b of 10kb)");
}

}  // namespace
}  // namespace tamsel
