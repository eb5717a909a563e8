#include "app/double_bytes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace sw {
namespace {

TEST(DoubleBytes, StoredLowByteFirstWhateverTheMachine) {
    // Stores written elsewhere hold the IEEE bytes little-endian; 2.0 is 0x4000000000000000.
    const std::array<uint8_t, 8> expected{0, 0, 0, 0, 0, 0, 0, 0x40};
    EXPECT_EQ(DoubleToBytes(2.0), expected);
    const std::array<uint8_t, 8> quarter{0, 0, 0, 0, 0, 0, 0xD0, 0x3F};  // 0.25
    EXPECT_EQ(BytesToDouble(quarter.data(), quarter.size()), 0.25);
}

TEST(DoubleBytes, EveryBitSurvivesTheRoundTrip) {
    for (double value : {0.0, -0.0, 45000.123456789, 1e300, -2.5e-300}) {
        const std::array<uint8_t, 8> bytes = DoubleToBytes(value);
        const std::optional<double> back = BytesToDouble(bytes.data(), bytes.size());
        ASSERT_TRUE(back.has_value());
        EXPECT_EQ(std::signbit(*back), std::signbit(value));
        EXPECT_EQ(*back, value);
    }
}

TEST(DoubleBytes, AnyLengthButEightIsRefusedRatherThanReadPastTheEnd) {
    const std::vector<uint8_t> bytes(16, 0x11);
    EXPECT_FALSE(BytesToDouble(bytes.data(), 7).has_value());
    EXPECT_FALSE(BytesToDouble(bytes.data(), 9).has_value());
    EXPECT_FALSE(BytesToDouble(bytes.data(), 0).has_value());
    EXPECT_FALSE(BytesToDouble(nullptr, 8).has_value());
}

}  // namespace
}  // namespace sw
