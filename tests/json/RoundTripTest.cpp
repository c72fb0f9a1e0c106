// OTIO text → edit tree → OTIO text. Each document under tests/data/roundtrip
// comes with the text its round trip must give (NAME.expected.json, written
// indented): what survives the edit tree unchanged, what it changes and what it
// drops. A second round trip must give the same text again, byte for byte.

#include "composition/Composition.h"
#include "composition/OtioImport.h"
#include "outside/dmtree/DmTree.h"
#include "tests/json/ExportTrees.h"
#include "tests/support/TestData.h"
#include "json/OtioExport.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace ZEM_0_81::test {
namespace {

/// The round trip a host makes: OTIO text into one composition, a copy of its
/// edit tree into a fresh one, and that one's OTIO text.
std::string throughComposition(const std::string& otio) {
    SharedPtr<Composition> reader;
    EXPECT_TRUE(Composition::create(reader, "reader", "reader", Rational(24, 1)));
    if (!reader)
        return {};
    reader->setJson(Composition::JsonType::Otio, String(otio.c_str()));
    Status status;
    const DmRoot& tree = reader->getTree(status);
    EXPECT_TRUE(status) << "import failed with " << status.getCode();

    SharedPtr<Composition> writer = Composition::create("writer", tree);
    String text;
    status = writer->getJson(Composition::JsonType::Otio, text);
    EXPECT_TRUE(status) << "export failed with " << status.getCode();
    return text.c_str();
}

/// The same through the two conversion entries directly.
std::string throughEntries(const std::string& otio) {
    CoSharedPtr<DmRoot> tree(DmRoot::create());
    Status status = importOtioJson(otio.c_str(), tree);
    EXPECT_TRUE(status) << "import failed with " << status.getCode();
    return exportText(tree);
}

class RoundTrip : public testing::TestWithParam<const char*> {};

TEST_P(RoundTrip, GivesThePredictedDocumentAndThenItselfAgain) {
    const std::string name = GetParam();
    const std::string input = readTestData("roundtrip/" + name + ".json");
    const std::string expected = compactJson(readTestData("roundtrip/" + name + ".expected.json"));

    const std::string once = throughComposition(input);
    EXPECT_EQ(once, expected);
    EXPECT_EQ(throughEntries(input), once);

    const std::string twice = throughComposition(once);
    EXPECT_EQ(twice, once);
}

INSTANTIATE_TEST_SUITE_P(Documents, RoundTrip,
                         testing::Values("cut", "effects", "annotations", "timing", "tracking",
                                         "missing"));

TEST(RoundTrip, ExampleDocumentsSettleAfterOneTrip) {
    for (const char* name :
         {"short-cut.otio.json", "graded-shot.otio.json", "review-notes.otio.json"}) {
        const std::string once = throughComposition(readExample(name));
        EXPECT_NE(once, "{}") << name;
        EXPECT_EQ(throughComposition(once), once) << name;
    }
}

/// An annotation on a gap whose one text layer has `layer` as its extra members.
std::string annotatedGap(const std::string& layer) {
    return R"({"OTIO_SCHEMA":"Timeline.1","name":"t","global_start_time":)" +
           rationalTime("0.0", "24.0") +
           R"(,"tracks":{"OTIO_SCHEMA":"Stack.1","children":[{"OTIO_SCHEMA":"Track.1",)"
           R"("name":"V1","kind":"Video","children":[{"OTIO_SCHEMA":"Gap.1","name":"g",)"
           R"("source_range":)" +
           timeRange("0.0", "10.0", "24.0") +
           R"(,"effects":[{"OTIO_SCHEMA":"Annotation.1","layers":[{"OTIO_SCHEMA":"Text.1",)"
           R"("text":"x")" +
           layer + "}]}]}]}]}}";
}

TEST(RoundTrip, HoldOfAnEmptyLayerRangeLastsOneTrip) {
    // A valid range of duration 0 sets hold and ghosting on the edit-tree layer,
    // but a layer without duration writes no "layer_range"; read again without a
    // range, hold and ghosting are not taken. The text settles on the second trip.
    const std::string input =
        annotatedGap(R"(,"layer_range":)" + timeRange("5.0", "0.0", "24.0") +
                     R"(,"hold":true,"ghost":true,"ghost_before":1,"ghost_after":7)");
    const std::string once = throughComposition(input);
    EXPECT_NE(once.find(R"("effect_name":"Text","hold":true,"ghost":true,)"
                        R"("ghost_before":1,"ghost_after":7})"),
              std::string::npos)
        << once;
    EXPECT_EQ(once.find("layer_range"), std::string::npos);

    const std::string twice = throughComposition(once);
    EXPECT_NE(twice.find(R"("effect_name":"Text","hold":false,"ghost":false,)"
                         R"("ghost_before":3,"ghost_after":3})"),
              std::string::npos)
        << twice;
    EXPECT_EQ(throughComposition(twice), twice);
}

TEST(RoundTrip, CompositionAnswers516WhenNoTextCanBeWritten) {
    CoSharedPtr<DmRoot> tree(DmRoot::create());
    DmReelNode* reel = DmReelNode::create();
    tree->addReel(reel);
    DmCompositionNode* composition = DmCompositionNode::create("Edit", "24", nullptr);
    composition->setStartTC(std::numeric_limits<double>::infinity(), "24");
    reel->addComposition(composition);

    SharedPtr<Composition> endless = Composition::create("endless", *tree);
    String out("untouched");
    for (int attempt = 0; attempt < 2; ++attempt) {
        EXPECT_EQ(endless->getJson(Composition::JsonType::Otio, out).getCode(),
                  Status::JsonGenerationFailed);
        EXPECT_STREQ(out.c_str(), "untouched");
    }

    composition->setStartTC(100.0, "24");
    SharedPtr<Composition> finite = Composition::create("finite", *tree);
    String first, second;
    ASSERT_TRUE(finite->getJson(Composition::JsonType::Otio, first));
    ASSERT_TRUE(finite->getJson(Composition::JsonType::Otio, second));
    EXPECT_EQ(first, second);
    EXPECT_EQ(std::string(first.c_str()), exportText(tree));
}

} // namespace
} // namespace ZEM_0_81::test
