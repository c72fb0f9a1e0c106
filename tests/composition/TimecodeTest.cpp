#include "composition/Timecode.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace ZEM_0_81::test {
namespace {

std::string timecodeOf(std::int64_t frames, const Rational& rate) {
    std::string text;
    EXPECT_TRUE(Timecode::format(frames, rate, text)) << frames;
    return text;
}

/// Frame counts and their timecodes, worked out by hand.
using Cases = std::vector<std::pair<std::int64_t, const char*>>;

void expectTimecodes(const Rational& rate, const Cases& cases) {
    for (const auto& [frames, expected] : cases)
        EXPECT_EQ(expected, timecodeOf(frames, rate))
            << frames << " frames at " << rate.getNumerator() << "/" << rate.getDenominator();
}

TEST(Timecode, WholeRatesCountTheirOwnFrames) {
    expectTimecodes(Rational(24, 1), {{0, "00:00:00:00"},
                                      {23, "00:00:00:23"},
                                      {24, "00:00:01:00"},
                                      {86399, "00:59:59:23"},
                                      {86400, "01:00:00:00"},
                                      {14424, "00:10:01:00"},
                                      {2073600, "24:00:00:00"},
                                      {2073625, "24:00:01:01"}});
    expectTimecodes(Rational(25, 1), {{90000, "01:00:00:00"},
                                      {15001, "00:10:00:01"},
                                      {2160000, "24:00:00:00"},
                                      {2251525, "25:01:01:00"}});
    expectTimecodes(Rational(30, 1), {{1800, "00:01:00:00"},
                                      {18029, "00:10:00:29"},
                                      {108000, "01:00:00:00"},
                                      {2592000, "24:00:00:00"}});
    expectTimecodes(Rational(50, 1), {{180000, "01:00:00:00"}, {30049, "00:10:00:49"}});
    expectTimecodes(
        Rational(60, 1),
        {{216000, "01:00:00:00"}, {36061, "00:10:01:01"}, {5184000 + 59, "24:00:00:59"}});
}

TEST(Timecode, Rate23976CountsTwentyFourNonDrop) {
    const Rational rate(24000, 1001);
    EXPECT_FALSE(Timecode::isDropFrame(rate));
    expectTimecodes(rate, {{86400, "01:00:00:00"},
                           {14400, "00:10:00:00"},
                           {14423, "00:10:00:23"},
                           {2073623, "24:00:00:23"}});
}

TEST(Timecode, Rate2997SkipsTwoFrameNumbersAMinuteButEveryTenth) {
    const Rational rate(30000, 1001);
    EXPECT_TRUE(Timecode::isDropFrame(rate));
    expectTimecodes(rate, {{0, "00:00:00;00"},
                           {1799, "00:00:59;29"},
                           {1800, "00:01:00;02"}, // ;00 and ;01 do not exist
                           {3597, "00:01:59;29"},
                           {3598, "00:02:00;02"},
                           {17981, "00:09:59;29"},
                           {17982, "00:10:00;00"}, // the tenth minute keeps its numbers
                           {17983, "00:10:00;01"},
                           {19782, "00:11:00;02"},
                           {107892, "01:00:00;00"},
                           {2589408, "24:00:00;00"},
                           {2589408 + 1799, "24:00:59;29"},
                           {2715283, "25:10:00;01"}});
}

TEST(Timecode, Rate5994SkipsFourFrameNumbersAMinuteButEveryTenth) {
    const Rational rate(60000, 1001);
    EXPECT_TRUE(Timecode::isDropFrame(rate));
    expectTimecodes(rate, {{3599, "00:00:59;59"},
                           {3600, "00:01:00;04"},
                           {35963, "00:09:59;59"},
                           {35964, "00:10:00;00"},
                           {215784, "01:00:00;00"},
                           {5178816, "24:00:00;00"}});
}

TEST(Timecode, NegativeCountsAreTheMagnitudeWithAMinus) {
    expectTimecodes(Rational(24, 1), {{-1, "-00:00:00:01"}, {-86400, "-01:00:00:00"}});
    expectTimecodes(Rational(30000, 1001), {{-1800, "-00:01:00;02"}});
    // The most negative count has a magnitude too.
    const std::string extreme = timecodeOf(INT64_MIN, Rational(60000, 1001));
    EXPECT_EQ('-', extreme.front());
    EXPECT_EQ(extreme.npos, extreme.find('-', 1));
    EXPECT_EQ("-106751991167300:38:45:08", timecodeOf(INT64_MIN, Rational(24, 1)));
}

TEST(Timecode, RateNamesAndOddRates) {
    // Any terms of the drop-frame rates are drop-frame; other x/1001 rates are not.
    EXPECT_TRUE(Timecode::isDropFrame(Rational(60000, 2002)));
    EXPECT_FALSE(Timecode::isDropFrame(Rational(48000, 1001)));
    EXPECT_FALSE(Timecode::isDropFrame(Rational(30, 1)));
    EXPECT_FALSE(Timecode::isDropFrame(Rational(0, 1)));

    // A rate above 100 needs three frame digits; a fractional one counts its
    // rounded rate.
    expectTimecodes(Rational(1000, 3), {{332, "00:00:00:332"}, {333, "00:00:01:000"}});
    expectTimecodes(Rational(25, 2), {{13, "00:00:01:00"}, {12, "00:00:00:12"}});
    std::int64_t fps = 0;
    ASSERT_TRUE(Timecode::framesPerSecond(Rational(24000, 1001), fps));
    EXPECT_EQ(24, fps);
    ASSERT_TRUE(Timecode::framesPerSecond(Rational(1, 3), fps));
    EXPECT_EQ(1, fps);
}

TEST(Timecode, RatesWithoutTimecodeFailAndLeaveTheText) {
    for (const Rational& rate : {Rational(0, 1), Rational(-24, 1), Rational(24, 0)}) {
        std::string text = "kept";
        EXPECT_EQ(Status::NoFrameRateText, Timecode::format(10, rate, text).getType());
        EXPECT_EQ("kept", text);
        std::int64_t fps = 7;
        EXPECT_EQ(Status::NoFrameRateText, Timecode::framesPerSecond(rate, fps).getType());
        EXPECT_EQ(7, fps);
    }
}

TEST(Timecode, CountIsTheInverseOfFormatAndRefusesWhatNoTimecodeSays) {
    struct Case {
        Rational rate;
        bool dropFrame;
        std::int64_t fields[4]; ///< hours, minutes, seconds, frame
        std::int64_t frames;    ///< -1: no timecode at that rate
    };
    const Rational ntsc(30000, 1001), ntsc60(60000, 1001);
    const Case cases[] = {
        {Rational(24, 1), false, {1, 0, 0, 0}, 86400},
        {Rational(24, 1), false, {0, 0, 0, 23}, 23},
        {Rational(24, 1), false, {0, 0, 0, 24}, -1},
        {Rational(24, 1), false, {0, 60, 0, 0}, -1},
        {Rational(24, 1), false, {0, 0, 60, 0}, -1},
        {Rational(24, 1), false, {0, -1, 0, 0}, -1},
        {Rational(24, 1), true, {0, 1, 0, 0}, 1440}, // no drop frame at 24
        {ntsc, false, {0, 1, 0, 0}, 1800},           // non-drop: every number counted
        {ntsc, true, {0, 1, 0, 2}, 1800},
        {ntsc, true, {0, 1, 0, 1}, -1},
        {ntsc, true, {0, 10, 0, 0}, 17982},
        {ntsc, true, {25, 10, 0, 1}, 2715283},
        {ntsc60, true, {0, 1, 0, 4}, 3600},
        {ntsc60, true, {0, 1, 0, 3}, -1},
        {ntsc60, true, {1, 0, 0, 0}, 215784},
        {Rational(24, 1), false, {std::int64_t(1) << 50, 0, 0, 0}, -1}, // past 2^62 frames
        {Rational(0, 1), false, {0, 0, 0, 0}, -1},
    };
    for (const Case& c : cases) {
        std::int64_t frames = -7;
        const bool counted = Timecode::count(c.fields[0], c.fields[1], c.fields[2], c.fields[3],
                                             c.rate, c.dropFrame, frames);
        EXPECT_EQ(counted, c.frames >= 0)
            << c.fields[0] << ":" << c.fields[1] << ":" << c.fields[2] << ":" << c.fields[3];
        EXPECT_EQ(frames, counted ? c.frames : -7);
        if (!counted)
            continue;
        std::string text;
        ASSERT_TRUE(Timecode::format(frames, c.rate, c.dropFrame, text));
        std::int64_t back = 0;
        // The text's fields count the same frames again.
        ASSERT_TRUE(Timecode::count(std::stoll(text.substr(0, text.size() - 9)),
                                    std::stoll(text.substr(text.size() - 8, 2)),
                                    std::stoll(text.substr(text.size() - 5, 2)),
                                    std::stoll(text.substr(text.size() - 2)), c.rate, c.dropFrame,
                                    back));
        EXPECT_EQ(back, frames) << text;
    }
    // Non-drop at 29.97 writes ':' and counts every number.
    EXPECT_EQ("00:01:00:00", [] {
        std::string text;
        Timecode::format(1800, Rational(30000, 1001), false, text);
        return text;
    }());
}

} // namespace
} // namespace ZEM_0_81::test
