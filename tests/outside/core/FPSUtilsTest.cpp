#include "outside/core/FPSUtils.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace ZEM_0_81;

namespace {

struct NamedRate {
    int numerator;
    unsigned denominator;
    const char* text;
};

const NamedRate kStandard[] = {
    {24000, 1001, "23.976"}, {24, 1, "24"},       {25, 1, "25"},          {30000, 1001, "29.97"},
    {30, 1, "30"},           {48000, 1001, "47.952"}, {48, 1, "48"},      {50, 1, "50"},
    {60000, 1001, "59.94"},  {60, 1, "60"},
};

std::string textOf(const Rational& rate) {
    String text;
    EXPECT_TRUE(FPSUtils::getFPSString(rate, text));
    return text.c_str();
}

Rational rateOf(const char* text) {
    Rational rate(-7, 7);
    EXPECT_TRUE(FPSUtils::getFPSFromString(String(text), rate)) << text;
    return rate;
}

} // namespace

TEST(FPSUtilsText, StandardRatesHaveDecimalNamesAndReadBack) {
    for (const NamedRate& standard : kStandard) {
        const Rational rate(standard.numerator, standard.denominator);
        EXPECT_EQ(textOf(rate), standard.text);
        EXPECT_EQ(rateOf(standard.text), rate) << standard.text;
    }
}

TEST(FPSUtilsText, OtherRatesAreWrittenInLowestTerms) {
    EXPECT_EQ(textOf(Rational(12, 1)), "12/1");
    EXPECT_EQ(textOf(Rational(120, 1)), "120/1");
    EXPECT_EQ(textOf(Rational(2000, 6)), "1000/3");
    // An unreduced standard rate still gets its standard name.
    EXPECT_EQ(textOf(Rational(48000, 2002)), "23.976");
    EXPECT_EQ(rateOf("1000/3"), Rational(1000, 3));
    EXPECT_EQ(rateOf("2000/6"), Rational(1000, 3));
    EXPECT_EQ(rateOf("96"), Rational(96, 1));
}

TEST(FPSUtilsText, RatesWithoutTextFailAndLeaveTheOutputAlone) {
    String text("kept");
    EXPECT_EQ(FPSUtils::getFPSString(Rational(0, 1), text).getType(), Status::NoFrameRateText);
    EXPECT_FALSE(FPSUtils::getFPSString(Rational(-24, 1), text));
    EXPECT_FALSE(FPSUtils::getFPSString(Rational(24, 0), text));
    EXPECT_STREQ(text.c_str(), "kept");

    for (const char* bad : {"", "0", "24/0", "0/1", "-24", "24.5", " 24", "24/", "/1", "abc",
                            "23.9760", "99999999999999999999"}) {
        Rational rate(5, 7);
        EXPECT_FALSE(FPSUtils::getFPSFromString(String(bad), rate)) << bad;
        EXPECT_EQ(rate, Rational(5, 7)) << bad;
    }
}

TEST(FPSUtilsValue, NearStandardRatesSnapToTheExactFraction) {
    Rational rate;
    ASSERT_TRUE(FPSUtils::getFPSFromValue(23.976, rate));
    EXPECT_EQ(rate, Rational(24000, 1001));
    ASSERT_TRUE(FPSUtils::getFPSFromValue(29.9705, rate));
    EXPECT_EQ(rate, Rational(30000, 1001));
    ASSERT_TRUE(FPSUtils::getFPSFromValue(24.0, rate));
    EXPECT_EQ(rate, Rational(24, 1));
    ASSERT_TRUE(FPSUtils::getFPSFromValue(59.94, rate));
    EXPECT_EQ(rate, Rational(60000, 1001));
}

TEST(FPSUtilsValue, OtherValuesAreWholeOrThousandths) {
    Rational rate;
    ASSERT_TRUE(FPSUtils::getFPSFromValue(12.0, rate));
    EXPECT_EQ(rate, Rational(12, 1));
    ASSERT_TRUE(FPSUtils::getFPSFromValue(12.5, rate));
    EXPECT_EQ(rate, Rational(25, 2));
    ASSERT_TRUE(FPSUtils::getFPSFromValue(0.0015, rate));
    EXPECT_EQ(rate, Rational(1, 500));
}

TEST(FPSUtilsValue, ImpossibleValuesFail) {
    for (double bad : {0.0, -24.0, 1e7, 0.0004, std::nan(""),
                       std::numeric_limits<double>::infinity()}) {
        Rational rate(3, 1);
        EXPECT_FALSE(FPSUtils::getFPSFromValue(bad, rate)) << bad;
        EXPECT_EQ(rate, Rational(3, 1));
    }
}

TEST(FPSUtilsConvert, RoundsInTheGivenDirection) {
    const Rational from(48, 1), to(24, 1);
    auto convert = [&](std::int64_t ticks, FPSUtils::RoundDir dir) {
        return FPSUtils::convertToRate(Time(ticks, from), to, dir).getNbTicks();
    };
    EXPECT_EQ(convert(3, FPSUtils::RoundDown), 1);
    EXPECT_EQ(convert(3, FPSUtils::RoundNearest), 2);
    EXPECT_EQ(convert(3, FPSUtils::RoundUp), 2);
    EXPECT_EQ(convert(-3, FPSUtils::RoundDown), -2);
    EXPECT_EQ(convert(-3, FPSUtils::RoundNearest), -2);
    EXPECT_EQ(convert(-3, FPSUtils::RoundUp), -1);
    EXPECT_EQ(convert(4, FPSUtils::RoundNearest), 2);
    EXPECT_EQ(FPSUtils::convertToRate(Time(7, from), to, FPSUtils::RoundNearest).getRate(), to);
}

TEST(FPSUtilsConvert, IsExactForLargeTicksAndNtscRates) {
    // One hour at 24000/1001 converted to 24000/1001 and to 30000/1001.
    const Rational film(24000, 1001), video(30000, 1001);
    const std::int64_t big = std::int64_t(1) << 60;
    EXPECT_EQ(FPSUtils::convertToRate(Time(big, film), film, FPSUtils::RoundNearest).getNbTicks(),
              big);
    EXPECT_EQ(FPSUtils::convertToRate(Time(86400, film), video, FPSUtils::RoundNearest)
                  .getNbTicks(),
              108000);
    EXPECT_EQ(FPSUtils::convertToRate(Time(1000, Rational(24, 1)), film, FPSUtils::RoundNearest)
                  .getNbTicks(),
              999); // 999.0009 frames, to the nearest
}

TEST(FPSUtilsConvert, ZeroRatesGiveZeroTicks) {
    EXPECT_EQ(FPSUtils::convertToRate(Time(10, Rational(0, 1)), Rational(24, 1),
                                      FPSUtils::RoundNearest)
                  .getNbTicks(),
              0);
    EXPECT_EQ(FPSUtils::convertToRate(Time(10, Rational(24, 1)), Rational(0, 1),
                                      FPSUtils::RoundNearest)
                  .getNbTicks(),
              0);
}
