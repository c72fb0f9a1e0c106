#include "outside/core/Bounds.h"
#include "outside/core/Rational.h"
#include "outside/core/Status.h"
#include "outside/core/String.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

using namespace ZEM_0_81;

TEST(Bounds, GrowGivesTheSmallestBoxHoldingBoth) {
    Bounds box(0, 0, 2, 2);
    box.grow(Bounds(10, 0, 4, 2));
    EXPECT_EQ(box, Bounds(5.5, 0, 13, 2));

    // A box of size 0 is a point: growing the default box keeps the origin.
    Bounds origin;
    origin.grow(Bounds(10, 20, 2, 2));
    EXPECT_EQ(origin, Bounds(5.5, 10.5, 11, 21));

    // Growing by a box already inside changes nothing.
    Bounds outer(0, 0, 100, 100);
    outer.grow(Bounds(1, 1, 2, 2));
    EXPECT_EQ(outer, Bounds(0, 0, 100, 100));
}

TEST(Rational, ValueAndComparisonWithDoubles) {
    EXPECT_DOUBLE_EQ(Rational(30000, 1001).getValue(), 30000.0 / 1001.0);
    EXPECT_EQ(Rational(), Rational(0, 1));
    EXPECT_TRUE(Rational(24, 1) <= 24.0);
    EXPECT_FALSE(Rational(25, 1) <= 24.99);
}

TEST(Status, DefaultIsSuccessAndEveryCodeIsAFailure) {
    EXPECT_TRUE(Status());
    EXPECT_EQ(Status().getCode(), 0);
    for (Status::Type type :
         {Status::NoData, Status::DmTreeJsonImportFailed, Status::JsonGenerationFailed,
          Status::OtioImportFailed, Status::SourceWithoutInput, Status::InputWithoutResolution,
          Status::JsonSyntaxError, Status::JsonConversionFailed, Status::NoFrameRateText}) {
        Status status;
        status.set(type);
        EXPECT_FALSE(status) << type;
        EXPECT_EQ(status.getCode(), static_cast<int>(type));
        EXPECT_STRNE(status.getDescription(), "unknown status");
    }
    EXPECT_EQ(Status(Status::OtioImportFailed).getCode(), 517);
}

TEST(String, NullAndEmptyTexts) {
    EXPECT_TRUE(String().empty());
    EXPECT_STREQ(String(nullptr).c_str(), "");
    String text("abc");
    text = static_cast<const char*>(nullptr);
    EXPECT_TRUE(text.empty());
    EXPECT_EQ(String("a\0b", 3).size(), 3u);
}

namespace {

int releasedTexts = 0;

void releaseText(char* text) {
    ++releasedTexts;
    delete[] text;
}

} // namespace

TEST(String, CopiesShareOneTextAndNothingIsCopiedOnHandOver) {
    std::string long_(1000, 'x');
    const char* const bytes = long_.data();
    const String taken(std::move(long_));
    EXPECT_EQ(bytes, taken.c_str()) << "taken over, not copied";
    String copy = taken;
    EXPECT_EQ(taken.c_str(), copy.c_str());
    EXPECT_TRUE(copy == taken);
    copy = "other";
    EXPECT_STREQ("other", copy.c_str());
    EXPECT_EQ(1000u, taken.size()) << "a copy changing leaves the others alone";
    EXPECT_TRUE(String("ab") == String("ab", 2));
    EXPECT_FALSE(String("ab") == String("ab", 3));
    EXPECT_TRUE(String() == String(""));
    EXPECT_TRUE(String(std::string()).empty());

    releasedTexts = 0;
    {
        char* text = new char[4]{'a', 'b', 'c', '\0'};
        const String adopted = String::adopt(text, 3, &releaseText);
        EXPECT_EQ(text, adopted.c_str());
        String shared = adopted;
        EXPECT_EQ(3u, shared.size());
        EXPECT_TRUE(shared == String("abc"));
        EXPECT_EQ(0, releasedTexts);
    }
    EXPECT_EQ(1, releasedTexts) << "released once, by the last String holding it";
    EXPECT_TRUE(String::adopt(nullptr, 0, &releaseText).empty());
}
