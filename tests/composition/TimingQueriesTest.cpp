#include "composition/Composition.h"

#include "outside/dmtree/DmTree.h"
#include "tests/support/TestData.h"

#include <gtest/gtest.h>

#include <string>

namespace ZEM_0_81::test {
namespace {

/// A composition over a hand-made tree whose composition node has the given
/// frame-rate text, start and length.
SharedPtr<Composition> compositionWith(const char* fcm, double start, double length) {
    const CoSharedPtr<DmRoot> root(DmRoot::create());
    DmReelNode* reel = DmReelNode::create();
    root->addReel(reel);
    DmCompositionNode* node = DmCompositionNode::create(DmString("c"), DmString(fcm), nullptr);
    reel->addComposition(node);
    node->setStartTC(start, DmString(fcm));
    node->setCompLength(length);
    return Composition::create(String("c"), *root);
}

TEST(TimingQueries, TruncateTowardZero) {
    const SharedPtr<Composition> composition = compositionWith("25", 12.5, 100.9);
    Time duration;
    Time start;
    ASSERT_TRUE(composition->getDuration(duration));
    ASSERT_TRUE(composition->getStartTime(start));
    EXPECT_EQ(100, duration.getNbTicks());
    EXPECT_EQ(12, start.getNbTicks());
    EXPECT_EQ(Rational(25, 1), duration.getRate());
    EXPECT_EQ(Rational(25, 1), start.getRate());

    ASSERT_TRUE(compositionWith("29.97", -10.5, 0)->getStartTime(start));
    EXPECT_EQ(-10, start.getNbTicks());
    EXPECT_EQ(Rational(30000, 1001), start.getRate());
}

TEST(TimingQueries, DurationIsAnUnsigned32BitCount) {
    Time duration;
    ASSERT_TRUE(compositionWith("24", 0, -1.0)->getDuration(duration));
    EXPECT_EQ(4294967295, duration.getNbTicks());
    ASSERT_TRUE(compositionWith("24", 0, 4294967296.0 + 7)->getDuration(duration));
    EXPECT_EQ(7, duration.getNbTicks());
    ASSERT_TRUE(compositionWith("24", 1e300, 1e300)->getStartTime(duration));
    EXPECT_EQ(INT64_MAX, duration.getNbTicks());
}

TEST(TimingQueries, UnreadableRateTextKeepsThePreviousRate) {
    Time time(3, Rational(50, 1));
    EXPECT_EQ(Status::NoFrameRateText,
              compositionWith("fast", 40, 80)->getDuration(time).getType());
    EXPECT_EQ(80, time.getNbTicks());
    EXPECT_EQ(Rational(50, 1), time.getRate());
}

TEST(TimingQueries, TreesWithoutACompositionNodeGiveNoData) {
    const CoSharedPtr<DmRoot> bare(DmRoot::create());
    const CoSharedPtr<DmRoot> reelOnly(DmRoot::create());
    reelOnly->addReel(DmReelNode::create());
    SharedPtr<Composition> empty;
    ASSERT_TRUE(Composition::create(empty, String("e"), "e", Rational(24, 1)));
    empty->setJson(Composition::JsonType::Otio, String(""));

    for (const SharedPtr<Composition>& composition :
         {Composition::create(String("a"), *bare), Composition::create(String("b"), *reelOnly),
          empty}) {
        Time time(9, Rational(30, 1));
        EXPECT_EQ(Status::NoData, composition->getDuration(time).getType());
        EXPECT_EQ(Status::NoData, composition->getStartTime(time).getType());
        EXPECT_EQ(9, time.getNbTicks());
        EXPECT_EQ(Rational(30, 1), time.getRate());
    }
}

TEST(TimingQueries, ImportedDocumentStartsAtItsGlobalStart) {
    SharedPtr<Composition> composition;
    ASSERT_TRUE(Composition::create(composition, String("c"), "c", Rational(24, 1)));
    composition->setJson(Composition::JsonType::Otio,
                         String(readTestData("import/two_tracks.json").c_str()));
    Time duration;
    Time start;
    ASSERT_TRUE(composition->getDuration(duration));
    ASSERT_TRUE(composition->getStartTime(start));
    EXPECT_EQ(120, duration.getNbTicks()); // the longer layer: 48 + 24 + 48 frames
    EXPECT_EQ(86400, start.getNbTicks());
    EXPECT_EQ(Rational(24, 1), duration.getRate());

    composition->setJson(Composition::JsonType::Otio, String("{"));
    EXPECT_EQ(Status::OtioImportFailed, composition->getStartTime(start).getType());
    EXPECT_EQ(86400, start.getNbTicks());
}

} // namespace
} // namespace ZEM_0_81::test
