// What the writer of standard OTIO promises beyond the round trip: what the
// OpenTimelineIO library sees of the edit tree, and how a tree that cannot be
// written fails.

#include "interchange/StandardOtio.h"
#include "outside/dmtree/DmTree.h"
#include "tests/interchange/otiostd/InterchangeTestSupport.h"
#include "tests/support/TestData.h"

#include <rapidjson/document.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace ZEM_0_81::test {
namespace {

/// root > reel > composition at 24 fps > track > layer, for trees built here.
struct Tree {
    CoSharedPtr<DmRoot> root{DmRoot::create()};
    DmCompositionNode* composition = nullptr;
    DmLayerNode* layer = nullptr;

    Tree() {
        auto* reel = DmReelNode::create();
        root->addReel(reel);
        composition = DmCompositionNode::create("Edit", "24", nullptr);
        reel->addComposition(composition);
        auto* track = DmTrackNode::create(0, eDmMediaVideo);
        composition->addChild(track);
        layer = DmLayerNode::create(0, eDmMediaVideo, 0, true);
        track->addChild(layer);
    }
};

Status tryWrite(const DmRoot& root, String& text, String& message) {
    return StandardOtio::write(*fromTree(root), text, &message);
}

TEST(StandardOtioWriter, OtioSeesTheEditTreesTimeline) {
    // The product's own review document: what OTIO sees of each layer is the
    // layer's name and kind, and of each segment its name, media, effects and
    // record time.
    const SharedPtr<Composition> composition =
        fromProductOtio(readExample("review-notes.otio.json"));
    const std::string standard = writeStandard(*composition);
    expectLoadableByOtio(standard);
    const std::vector<SeenTrack> tracks = seenTracks(standard);
    ASSERT_EQ(tracks.size(), 1u);
    EXPECT_EQ(tracks[0].name, "V1");
    EXPECT_EQ(tracks[0].kind, "Video");

    Status status;
    const DmRoot& root = composition->getTree(status);
    const auto* layer =
        dynamic_cast<const DmLayerNode*>(root.getChild(0)->getChild(0)->getChild(0)->getChild(0));
    ASSERT_NE(layer, nullptr);
    std::vector<const SeenItem*> shown;
    for (const SeenItem& item : tracks[0].items) {
        if (!item.filler)
            shown.push_back(&item);
    }
    std::size_t next = 0;
    for (std::uint32_t i = 0; i < layer->getNbChildren(); ++i) {
        const auto* segment = dynamic_cast<const DmSegmentNode*>(layer->getChild(i));
        if (!segment || dynamic_cast<const DmCutNode*>(segment))
            continue;
        ASSERT_LT(next, shown.size());
        const SeenItem& item = *shown[next++];
        EXPECT_EQ(item.name, segment->getName().str());
        EXPECT_EQ(item.recordStart, segment->getRecIn()) << item.name;
        EXPECT_EQ(item.recordDuration, segment->getRecLength()) << item.name;
        EXPECT_EQ(item.effects.size(), segment->getNbEffects()) << item.name;
        if (const auto* source = dynamic_cast<const DmSourceNode*>(segment)) {
            EXPECT_EQ(item.schema, "Clip.2");
            EXPECT_EQ(item.activeUrl, source->getSrcInfo()->getSequence(0).str());
        } else {
            EXPECT_EQ(item.schema, "Gap.1");
        }
    }
    EXPECT_EQ(next, shown.size());
}

TEST(StandardOtioWriter, LayersOfEveryTrackAreTheTimelinesTracks) {
    // Two edit-tree tracks of two and one layers: three Tracks in the one stack,
    // each naming its edit-tree track, and the stack describing both tracks.
    const SharedPtr<Composition> composition =
        fromProductOtio(readTestData("import/two_tracks.json"));
    Tree tree;
    auto* second = DmTrackNode::create(1, eDmMediaAudio);
    tree.composition->addChild(second);
    second->addChild(DmLayerNode::create(0, eDmMediaAudio, 0, true));
    tree.composition->getChild(0)->addChild(DmLayerNode::create(1, eDmMediaVideo, 0, false));
    const std::string standard = writeStandard(*fromTree(*tree.root));

    rapidjson::Document document;
    document.Parse(standard.c_str());
    ASSERT_TRUE(document.IsObject());
    const auto& stack = document["tracks"];
    ASSERT_EQ(stack["children"].Size(), 3u);
    const unsigned expectedTrack[] = {0, 0, 1};
    const char* expectedKind[] = {"Video", "Video", "Audio"};
    for (rapidjson::SizeType i = 0; i < 3; ++i) {
        const auto& track = stack["children"][i];
        EXPECT_EQ(track["metadata"]["zem"]["track"].GetUint(), expectedTrack[i]) << i;
        EXPECT_STREQ(track["kind"].GetString(), expectedKind[i]) << i;
    }
    ASSERT_EQ(stack["metadata"]["zem"]["tracks"].Size(), 2u);
    // The timeline object has its "tracks" once, whatever the tree holds.
    EXPECT_EQ(standard.find("\"tracks\":{"), standard.rfind("\"tracks\":{"));
    expectLoadableByOtio(writeStandard(*composition));
}

TEST(StandardOtioWriter, TextsAreWrittenByteForByteAsBefore) {
    // The texts under tests/data/interchange/*.std.expected.json are what the
    // writer gave before it wrote into a block handed over without a copy: the
    // examples, a tree with nodes kept as edit-tree JSON, and a document of other
    // tools' members and markers (keys to escape in a JSON Pointer, NaN and
    // Infinity, values nested in arrays) written back as they came.
    const auto expected = [](const std::string& name) {
        return readTestData("interchange/" + name + ".std.expected.json");
    };
    for (const std::string name : {"short-cut", "review-notes", "graded-shot"})
        EXPECT_EQ(expected(name), writeStandard(*fromProductOtio(readExample(name + ".otio.json"))))
            << name;
    EXPECT_EQ(expected("two-compositions"),
              writeStandard(*fromDmTree(readTestData("export/two-compositions.dmtree.json"))));
    LossReport losses;
    const SharedPtr<Composition> kept =
        readStandard(readTestData("interchange/kept-members.otio"), losses);
    ASSERT_TRUE(kept);
    EXPECT_EQ(expected("kept-members"), writeStandard(*kept));
}

TEST(StandardOtioWriter, NonFiniteNumbersFailWithTheirPlaceAndNoText) {
    const double notFinite[] = {std::numeric_limits<double>::quiet_NaN(),
                                std::numeric_limits<double>::infinity(),
                                -std::numeric_limits<double>::infinity()};
    for (const double value : notFinite) {
        Tree tree;
        auto* gap = DmGapNode::create(0.0, 10.0, eDmMediaVideo, "g");
        tree.layer->addChild(gap);
        auto* look = DmLookSettings::create();
        look->saturation = value;
        gap->addEffect(look);
        String text("untouched"), message;
        const Status status = tryWrite(*tree.root, text, message);
        EXPECT_EQ(status.getCode(), Status::JsonGenerationFailed);
        EXPECT_STREQ(text.c_str(), "untouched");
        EXPECT_NE(std::string(message.c_str())
                      .find("/tracks/children/0/children/0/effects/0/metadata/zem/saturation"),
                  std::string::npos)
            << message.c_str();
    }

    // In a node kept as edit-tree JSON the edit tree's own writer refuses it.
    Tree kept;
    kept.layer->addChild(DmGapNode::create(std::nan(""), 1.0, eDmMediaVideo, ""));
    auto* container = DmContainerNode::create();
    container->addChild(DmGapNode::create(std::nan(""), 1.0, eDmMediaVideo, ""));
    kept.layer->addChild(container);
    String text, message;
    EXPECT_EQ(tryWrite(*kept.root, text, message).getCode(), Status::JsonGenerationFailed);
    EXPECT_TRUE(text.empty());
}

TEST(StandardOtioWriter, TreesWithoutATimelineOrWithoutContentFail) {
    String text, message;
    const CoSharedPtr<DmRoot> empty(DmRoot::create());
    EXPECT_EQ(tryWrite(*empty, text, message).getCode(), Status::NoData);
    EXPECT_NE(std::string(message.c_str()).find("no composition"), std::string::npos);

    const CoSharedPtr<DmRoot> reelOnly(DmRoot::create());
    reelOnly->addReel(DmReelNode::create());
    auto* container = DmContainerNode::create();
    container->addChild(DmCompositionNode::create("hidden", "24", nullptr));
    reelOnly->addChild(container);
    EXPECT_EQ(tryWrite(*reelOnly, text, message).getCode(), Status::NoData);
    EXPECT_TRUE(text.empty());

    // A composition whose text cannot be imported has no tree to write.
    SharedPtr<Composition> broken;
    ASSERT_TRUE(Composition::create(broken, "b", "b", Rational(24, 1)));
    broken->setJson(Composition::JsonType::Otio, String("{"));
    EXPECT_EQ(StandardOtio::write(*broken, text, &message).getCode(), Status::OtioImportFailed);
    broken->setJson(Composition::JsonType::DmTree, String());
    EXPECT_EQ(StandardOtio::write(*broken, text, nullptr).getCode(), Status::NoData);
}

TEST(StandardOtioWriter, TreesAMillionLevelsDeepFailWithoutExhaustingTheStack) {
    // Nodes standard OTIO has no place for are kept as edit-tree JSON, which has a
    // depth limit. The writer itself walks root, reels, compositions, tracks,
    // layers and segments at fixed depth: a million nested containers in a layer
    // fail the write with the place, and nothing recurses per level.
    Tree tree;
    DmTreeNode* parent = tree.layer;
    for (int i = 0; i < 1000000; ++i) {
        auto* container = DmContainerNode::create();
        parent->addChild(container);
        parent = container;
    }
    String text, message;
    EXPECT_EQ(tryWrite(*tree.root, text, message).getCode(), Status::JsonGenerationFailed);
    EXPECT_TRUE(text.empty());
    EXPECT_NE(std::string(message.c_str()).find("/tracks/children/0/metadata/zem/after/0"),
              std::string::npos)
        << message.c_str();

    // A thousand layers side by side: written in full.
    Tree wide;
    for (int i = 1; i < 1000; ++i)
        wide.composition->getChild(0)->addChild(DmLayerNode::create(i, eDmMediaVideo, 0, false));
    EXPECT_TRUE(tryWrite(*wide.root, text, message)) << message.c_str();
}

TEST(StandardOtioWriter, NothingOfOursHidesAsASchemaOrAsAKeyTwice) {
    // Paint strokes, text captions and their points are plain objects; names of
    // the product dialect inside them.
    const std::string standard =
        writeStandard(*fromProductOtio(readExample("review-notes.otio.json")));
    expectLoadableByOtio(standard);
    EXPECT_NE(standard.find(R"("points":[{"x":820.0,"y":400.0,"width":6.0})"), std::string::npos);
    EXPECT_NE(standard.find(R"("ZEM_SCHEMA":"Annotation.1")"), std::string::npos);
    EXPECT_NE(standard.find(R"("effect_name":"Annotation")"), std::string::npos);
    EXPECT_EQ(standard.find("Paint.1"), std::string::npos);
    EXPECT_EQ(standard.find("TimelineMetadata.1"), std::string::npos);
}

} // namespace
} // namespace ZEM_0_81::test
