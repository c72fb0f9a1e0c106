#include "json/ImportTime.h"
#include "json/Narrowing.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <limits>

namespace ZEM_0_81::Json {
namespace {

TEST(ConvertTime, RoundsTheValueHalvesAwayFromZero) {
    EXPECT_EQ(2.0, convertTime({1.5, 24.0}, 24.0));
    EXPECT_EQ(-2.0, convertTime({-1.5, 24.0}, 24.0));
    EXPECT_EQ(1.0, convertTime({1.49, 24.0}, 24.0));
    EXPECT_EQ(0.0, convertTime({-0.4, 24.0}, 24.0));
}

TEST(ConvertTime, ConvertsExactlyBetweenRatesToTheNearestFrame) {
    EXPECT_EQ(24.0, convertTime({48.0, 48.0}, 24.0));
    EXPECT_EQ(3.0, convertTime({5.0, 48.0}, 24.0)); // 2.5 frames
    EXPECT_EQ(-3.0, convertTime({-5.0, 48.0}, 24.0));
    EXPECT_EQ(1001.0, convertTime({1000.0, 24000.0 / 1001.0}, 24.0));
    // 23.976 is matched to 24000/1001, not taken as 23976/1000.
    EXPECT_EQ(1000.0, convertTime({1000.0, 23.976}, 24000.0 / 1001.0));
    EXPECT_EQ(3.0, convertTime({1.0, 24.0}, 60.0)); // 2.5 frames
}

TEST(ConvertTime, RatesWithoutAMatchGiveZero) {
    EXPECT_EQ(0.0, convertTime({100.0, 0.0}, 24.0));
    EXPECT_EQ(0.0, convertTime({100.0, -24.0}, 24.0));
    EXPECT_EQ(0.0, convertTime({100.0, 24.0}, 0.0));
    EXPECT_EQ(0.0, convertTime({100.0, 2e6}, 24.0));
    EXPECT_EQ(0.0, convertTime({100.0, std::numeric_limits<double>::quiet_NaN()}, 24.0));
}

TEST(ConvertTime, HugeValuesAreHeldAtTheTickLimits) {
    EXPECT_EQ(static_cast<double>(INT64_MAX), convertTime({1e300, 24.0}, 24.0));
    EXPECT_EQ(static_cast<double>(INT64_MIN), convertTime({-DBL_MAX, 24.0}, 24.0));
}

TEST(ToStandardRate, SnapsToTheLargestStandardRateNotAbove) {
    const struct {
        double rate;
        int numerator;
        unsigned denominator;
    } cases[] = {
        {23.976, 24000, 1001},   {24.0, 24, 1},
        {24.5, 24, 1},           {25.0, 25, 1},
        {29.0, 25, 1},           {29.97, 30000, 1001},
        {30.0, 30, 1},           {47.0, 30, 1},
        {47.952, 24000, 1001},   {48.0, 24, 1},
        {49.0, 24, 1},           {50.0, 50, 1},
        {59.94, 60000, 1001},    {60.0, 60, 1},
        {120.0, 60, 1},          {12.0, 24000, 1001},
        {0.0, 24000, 1001},      {-30.0, 24000, 1001},
        {23.97605, 24000, 1001}, {std::numeric_limits<double>::quiet_NaN(), 24000, 1001},
    };
    for (const auto& c : cases) {
        const Rational snapped = toStandardRate(c.rate);
        EXPECT_EQ(c.numerator, snapped.getNumerator()) << c.rate;
        EXPECT_EQ(c.denominator, snapped.getDenominator()) << c.rate;
    }
}

TEST(ToStandardRate, ToleratesATenThousandthBelowARate) {
    EXPECT_EQ(Rational(25, 1), toStandardRate(24.99995));
    EXPECT_EQ(Rational(24, 1), toStandardRate(24.9998));
}

TEST(MediaTypeOf, UntypedAndVideoTracksImportAsVideo) {
    EXPECT_EQ(eDmMediaVideo, mediaTypeOf(rapidotio::None));
    EXPECT_EQ(eDmMediaVideo, mediaTypeOf(rapidotio::Video));
    EXPECT_EQ(eDmMediaAudio, mediaTypeOf(rapidotio::Audio));
    EXPECT_EQ(eDmMediaUnset, mediaTypeOf(static_cast<rapidotio::TrackKind>(7)));
}

TEST(Narrowing, TruncatesTowardZeroWithoutUndefinedConversions) {
    EXPECT_EQ(100u, truncateToUint32(100.9));
    EXPECT_EQ(4294967295u, truncateToUint32(-1.0)); // wraps through 64 bits
    EXPECT_EQ(-10, truncateToInt32(-10.5));
    EXPECT_EQ(INT64_MAX, truncateToInt64(1e30));
    EXPECT_EQ(INT64_MIN, truncateToInt64(-1e30));
    EXPECT_EQ(0, truncateToInt64(std::numeric_limits<double>::quiet_NaN()));
    EXPECT_EQ(FLT_MAX, toStoredFloat(1e300));
    EXPECT_EQ(-FLT_MAX, toStoredFloat(-std::numeric_limits<double>::infinity()));
    EXPECT_EQ(0.25f, toStoredFloat(0.25));
}

} // namespace
} // namespace ZEM_0_81::Json
