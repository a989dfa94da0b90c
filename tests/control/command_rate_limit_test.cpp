#include "control/command_rate_limit.h"
#include "support/captured_warnings.h"
#include "support/printers.h"
#include "support/virtual_time.h"

#include <gtest/gtest.h>

namespace kestrum {
namespace {

// A flood is cut to the burst and then to the rate, and the rate comes back after a pause; the
// drops are told once a minute, with how many there were.
TEST(CommandRateLimitTest, BurstThenRateAndOneLineAMinute) {
    testing::VirtualTime time;
    testing::CapturedWarnings warnings;
    CommandRateLimit limit(&time);
    const auto admitted = [&](int commands) {
        int count = 0;
        for (int i = 0; i < commands; ++i) {
            count += limit.admit() ? 1 : 0;
        }
        return count;
    };
    EXPECT_EQ(admitted(1000), CommandRateLimit::kBurst);
    EXPECT_EQ(warnings.all().size(), 1);
    for (int second = 0; second < 59; ++second) {
        time.advance(1000);
        EXPECT_EQ(admitted(1000), CommandRateLimit::kPerSecond) << second;
    }
    EXPECT_EQ(warnings.all().size(), 1) << "still the same minute";
    time.advance(1000);
    admitted(1000);
    ASSERT_EQ(warnings.all().size(), 2);
    // The rest of the first burst, 59 seconds of 980 and the first of the new minute.
    EXPECT_TRUE(warnings.all().back().endsWith("58770 dropped"))
        << warnings.all().back().toStdString();
    time.advance(10 * 1000);
    EXPECT_EQ(admitted(1000), CommandRateLimit::kBurst) << "refilled to the burst, not beyond";
}

}  // namespace
}  // namespace kestrum
