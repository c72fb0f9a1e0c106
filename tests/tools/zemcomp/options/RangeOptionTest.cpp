#include "tools/zemcomp/options/RangeOption.h"

#include "composition/Timecode.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace zemcomp {
namespace {

using ZEM_0_81::FrameRange;
using ZEM_0_81::Rational;
using ZEM_0_81::Timecode;

TEST(RangeOption, TimecodesReadBackToTheFramesTheyWereWrittenFrom) {
    const std::vector<Rational> rates = {
        Rational(24, 1), Rational(25, 1),       Rational(30, 1),       Rational(50, 1),
        Rational(60, 1), Rational(24000, 1001), Rational(30000, 1001), Rational(60000, 1001)};
    std::vector<std::int64_t> frames;
    // Around minute and ten-minute boundaries, past 10 minutes and past 24 hours.
    for (const std::int64_t base :
         {std::int64_t(0), std::int64_t(1798), std::int64_t(17980), std::int64_t(107892),
          std::int64_t(2589410), std::int64_t(5178800)})
        for (std::int64_t step = 0; step < 300; ++step)
            frames.push_back(base + step * 7);
    for (const Rational& rate : rates)
        for (const std::int64_t frame : frames) {
            std::string text;
            ASSERT_TRUE(Timecode::format(frame, rate, text));
            std::string error;
            const std::optional<std::int64_t> read = parseTimecode(text, rate, error);
            ASSERT_TRUE(read) << text << ": " << error;
            EXPECT_EQ(*read, frame)
                << text << " at " << rate.getNumerator() << "/" << rate.getDenominator();
            EXPECT_EQ(parseTimecode("-" + text, rate, error), frame == 0 ? 0 : -frame);
        }
}

TEST(RangeOption, TimecodesThatNameNoFrameAreRefused) {
    const Rational drop(30000, 1001);
    std::string error;
    // Drop-frame timecode skips ;00 and ;01 at every minute but each tenth.
    EXPECT_FALSE(parseTimecode("00:01:00;00", drop, error));
    EXPECT_NE(error.find("skips"), std::string::npos);
    EXPECT_FALSE(parseTimecode("00:01:00;01", drop, error));
    EXPECT_EQ(parseTimecode("00:01:00;02", drop, error), 1800);
    EXPECT_EQ(parseTimecode("00:10:00;00", drop, error), 17982);
    EXPECT_FALSE(parseTimecode("00:01:00;03", Rational(60000, 1001), error));

    const Rational film(24, 1);
    EXPECT_FALSE(parseTimecode("00:00:00:24", film, error));
    EXPECT_FALSE(parseTimecode("00:60:00:00", film, error));
    EXPECT_FALSE(parseTimecode("00:00:60:00", film, error));
    EXPECT_FALSE(parseTimecode("9999999999999999:00:00:00", film, error));
    EXPECT_NE(error.find("too large"), std::string::npos);
    EXPECT_FALSE(parseTimecode("01:00:00:00", Rational(0, 1), error));
    EXPECT_NE(error.find("rate is unknown"), std::string::npos);
    for (const char* shape : {"", "1:2:3:4", "01:00:00", "01:00:00:00:00", "01;00:00:00",
                              "aa:00:00:00", "01:00:00:0", "+01:00:00:00", "01:00:00:00 "})
        EXPECT_FALSE(parseTimecode(shape, film, error)) << shape;
}

TEST(RangeOption, RangesSplitAtTheDashBetweenStartAndEnd) {
    const Rational film(24, 1);
    std::string error;
    EXPECT_EQ(resolveRange("86400-86640", film, error), (FrameRange{86400, 240}));
    EXPECT_EQ(resolveRange("01:00:00:00-01:00:10:00", film, error), (FrameRange{86400, 240}));
    EXPECT_EQ(resolveRange("-48--24", film, error), (FrameRange{-48, 24}));
    EXPECT_EQ(resolveRange("-00:00:02:00-24", film, error), (FrameRange{-48, 72}));
    // The whole 64-bit span is held at the largest duration.
    EXPECT_EQ(resolveRange("-9223372036854775808-9223372036854775807", film, error),
              (FrameRange{INT64_MIN, INT64_MAX}));

    EXPECT_FALSE(resolveRange("100-100", film, error));
    EXPECT_NE(error.find("must come after the start"), std::string::npos);
    EXPECT_FALSE(resolveRange("200-100", film, error));
    for (const char* shape : {"", "-", "100", "100-", "-100", "1-2-3", "a-b", "1.5-3",
                              "01:00:00-01:00:01", "9223372036854775808-1"}) {
        EXPECT_FALSE(splitRange(shape)) << shape;
        EXPECT_FALSE(resolveRange(shape, film, error)) << shape;
    }
    ASSERT_TRUE(splitRange("01:00:00;00-86400"));
    EXPECT_EQ(splitRange("01:00:00;00-86400")->start, "01:00:00;00");
}

} // namespace
} // namespace zemcomp
