// The export that writes the document while the edit tree is walked, against the
// exporter that builds the whole node tree first and writes it after: the same
// bytes for every tree, the same failures.

#include "composition/JsonException.h"
#include "composition/OtioImport.h"
#include "outside/dmtree/DmTree.h"
#include "rapidotio/DocumentWriter.h"
#include "tests/json/ExportTrees.h"
#include "tests/support/TestData.h"
#include "json/DmTreeExporter.h"
#include "json/OtioExport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace ZEM_0_81::test {
namespace {

/// The text of the node tree the exporter builds when it keeps it, written once
/// the walk is over; "failed NNN" when writing throws.
std::string builtTreeText(const CoSharedPtr<DmRoot>& root) {
    Json::DmTreeExporter exporter;
    DmPreIt(root.get(), &exporter).traverse();
    DmString out("untouched");
    try {
        rapidotio::writeDocument(exporter.nodeStack(), out);
    } catch (const Json::Exception& e) {
        return "failed " + std::to_string(e.status.getCode());
    }
    return out.str();
}

/// The text the streaming export gives; "failed NNN" when it fails, after
/// checking that the output was left alone.
std::string streamedText(const CoSharedPtr<DmRoot>& root) {
    String out("untouched");
    const Status status = exportOtioJson(root, out);
    if (!status) {
        EXPECT_STREQ("untouched", out.c_str());
        return "failed " + std::to_string(status.getCode());
    }
    return out.c_str();
}

CoSharedPtr<DmRoot> imported(const std::string& otio) {
    CoSharedPtr<DmRoot> tree(DmRoot::create());
    EXPECT_TRUE(importOtioJson(otio.c_str(), tree));
    return tree;
}

TEST(ExportStream, EveryDocumentOfTheProjectStreamsAsItsTreeWrites) {
    for (const char* example :
         {"short-cut.otio.json", "review-notes.otio.json", "graded-shot.otio.json"}) {
        const CoSharedPtr<DmRoot> tree = imported(readExample(example));
        EXPECT_EQ(builtTreeText(tree), streamedText(tree)) << example;
    }
    for (const char* data :
         {"roundtrip/annotations.json", "roundtrip/cut.json", "roundtrip/effects.json",
          "roundtrip/missing.json", "roundtrip/timing.json", "roundtrip/tracking.json",
          "import/two_tracks.json", "rapidotio/full_timeline.json"}) {
        const CoSharedPtr<DmRoot> tree = imported(readTestData(data));
        const std::string text = streamedText(tree);
        EXPECT_EQ(builtTreeText(tree), text) << data;
        EXPECT_NE(std::string::npos, text.find("Timeline.1")) << data;
    }
}

TEST(ExportStream, OddTreesStreamAsTheirTreesWrite) {
    EXPECT_EQ("{}", streamedText(CoSharedPtr<DmRoot>()));
    EXPECT_EQ("{}", streamedText(CoSharedPtr<DmRoot>(DmRoot::create())));

    // Two edit-tree tracks (two "tracks" members), a second composition (every
    // timeline member twice), a composition inside a layer and a track under the
    // root (written nowhere, with all they hold), a layer inside a layer (a
    // track in a track), a gap in a container, a source straight under a reel.
    OneLayerTree tree("25");
    tree.add(DmGapNode::create(0.0, 12.0, eDmMediaVideo, "first"));
    tree.add(sourceOver(mediaInput(10.0, 100.0, "25", DmSourceInfo::kSourceTypeFile,
                                   DmSourceInfo::kFileTypeMovie, "/media/a.mov"),
                        24.0, 5.0));
    DmTrackNode* secondTrack = DmTrackNode::create(1, eDmMediaAudio);
    DmLayerNode* audio = DmLayerNode::create(0, eDmMediaAudio, 0, true);
    audio->setName("A1");
    audio->addChild(DmGapNode::create(0.0, 3.0, eDmMediaAudio, "silence"));
    DmLayerNode* inner = DmLayerNode::create(1, eDmMediaAudio, 0, false);
    inner->addChild(DmGapNode::create(0.0, 4.0, eDmMediaAudio, "inner"));
    audio->addChild(inner);
    DmContainerNode* box = DmContainerNode::create();
    box->addChild(DmGapNode::create(0.0, 5.0, eDmMediaAudio, "boxed"));
    audio->addChild(box);
    secondTrack->addChild(audio);
    tree.composition->addChild(secondTrack);

    DmCompositionNode* nested = DmCompositionNode::create("nested", "30", nullptr);
    DmTrackNode* nestedTrack = DmTrackNode::create(0, eDmMediaVideo);
    DmLayerNode* nestedLayer = DmLayerNode::create(0, eDmMediaVideo, 0, true);
    nestedLayer->addChild(DmGapNode::create(0.0, 1.0, eDmMediaVideo, "not written"));
    nestedTrack->addChild(nestedLayer);
    nested->addChild(nestedTrack);
    tree.layer->addChild(nested);
    tree.root->addChild(DmTrackNode::create(2, eDmMediaVideo));

    DmReelNode* reel = DmReelNode::create();
    DmCompositionNode* second = DmCompositionNode::create("second", "24", nullptr);
    reel->addComposition(second);
    DmLayerNode* loose = DmLayerNode::create(0, eDmMediaVideo, 0, true);
    loose->addChild(DmGapNode::create(0.0, 2.0, eDmMediaVideo, "loose"));
    reel->addChild(loose);
    tree.root->addReel(reel);

    const std::string text = streamedText(tree.root);
    EXPECT_EQ(builtTreeText(tree.root), text);
    EXPECT_EQ(std::string::npos, text.find("not written"));
    for (const char* written : {"first", "silence", "inner", "boxed", "second"})
        EXPECT_NE(std::string::npos, text.find(written)) << written;
}

TEST(ExportStream, NumbersJsonCannotHoldFailBothTheSameWay) {
    const auto withGap = [](double length, double startTC) {
        OneLayerTree tree("24");
        tree.composition->setStartTC(startTC, "24");
        tree.add(DmGapNode::create(0.0, length, eDmMediaVideo, "g"));
        return tree.root;
    };
    const double inf = std::numeric_limits<double>::infinity();
    for (const CoSharedPtr<DmRoot>& tree : {withGap(inf, 0.0), withGap(1.0, -inf)}) {
        EXPECT_EQ("failed 780", streamedText(tree));
        EXPECT_EQ("failed 780", builtTreeText(tree));
    }
    // Not a number is no time at all: it is written as unset, in both.
    const CoSharedPtr<DmRoot> unset = withGap(1.0, std::nan(""));
    EXPECT_EQ(builtTreeText(unset), streamedText(unset));
}

} // namespace
} // namespace ZEM_0_81::test
