// The export frame: the walk, the node stack, the timeline, stacks, tracks and
// gaps, and the entry's failure handling.

#include "rapidotio/Node.h"
#include "tests/json/ExportTrees.h"
#include "json/DmTreeExporter.h"
#include "json/ExportContext.h"
#include "json/OtioExport.h"

#include <rapidjson/document.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace ZEM_0_81::test {
namespace {

std::size_t countOf(const std::string& text, const std::string& what) {
    std::size_t count = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++count;
    return count;
}

std::string namedGap(const char* name, const std::string& length, const std::string& rate) {
    return std::string(R"({"name":")") + name + R"(","OTIO_SCHEMA":"Gap.1","effects":[],)" +
           R"("source_range":)" + timeRange("0.0", length, rate) + R"(,"metadata":{}})";
}

TEST(OtioExport, TreeWithoutCompositionPrintsAnEmptyObject) {
    EXPECT_EQ(exportText(CoSharedPtr<DmRoot>(DmRoot::create())), "{}");
    EXPECT_EQ(exportText(CoSharedPtr<DmRoot>()), "{}");

    CoSharedPtr<DmRoot> withEmptyReel(DmRoot::create());
    withEmptyReel->addReel(DmReelNode::create());
    EXPECT_EQ(exportText(withEmptyReel), "{}");
}

TEST(OtioExport, TimelineTrackAndGapHaveEveryMemberInOrder) {
    OneLayerTree tree("25");
    tree.composition->setStartTC(90000.0, "25");
    DmGapNode* gapNode = DmGapNode::create(90000.0, 10.0, eDmMediaVideo, "black");
    tree.add(gapNode);

    const std::string expected = compactJson(R"({
        "tracks": {"OTIO_SCHEMA": "Stack.1", "children": [
            {"name": "V1", "OTIO_SCHEMA": "Track.1", "children": [
                {"name": "black", "OTIO_SCHEMA": "Gap.1", "effects": [],
                 "source_range": {
                     "start_time": {"OTIO_SCHEMA": "RationalTime.1", "value": 0.0, "rate": 25.0},
                     "duration": {"OTIO_SCHEMA": "RationalTime.1", "value": 10.0, "rate": 25.0},
                     "OTIO_SCHEMA": "TimeRange.1"},
                 "metadata": {}}],
             "kind": "Video"}]},
        "name": "Edit",
        "OTIO_SCHEMA": "Timeline.1",
        "metadata": {"zem": {"ZEM_SCHEMA": "TimelineMetadata.1", "version": "0.81"}},
        "global_start_time": {"OTIO_SCHEMA": "RationalTime.1", "value": 90000.0, "rate": 25.0}
    })");
    EXPECT_EQ(tree.exported(), expected);
}

TEST(OtioExport, GapKeepsItsRecordLengthAndStartsAtZeroWherever) {
    OneLayerTree tree("24");
    tree.add(DmGapNode::create(0.0, 12.0, eDmMediaVideo, ""));
    tree.add(DmGapNode::create(12.0, 0.5, eDmMediaVideo, "second"));
    // The place of a gap is its order among the track's children; its name is
    // written even when empty.
    EXPECT_EQ(tree.exported(), oneLayerDocument(namedGap("", "12.0", "24.0") + "," +
                                                namedGap("second", "0.5", "24.0")));
}

TEST(OtioExport, FrameRateTextGivesTheCompositionRate) {
    OneLayerTree ntsc("23.976");
    ntsc.add(DmGapNode::create(0.0, 1.0, eDmMediaVideo, "g"));
    EXPECT_EQ(ntsc.exported(),
              oneLayerDocument(namedGap("g", "1.0", "23.976023976023979"), "23.976023976023979"));

    OneLayerTree fraction("1000/3");
    EXPECT_EQ(fraction.exported(), oneLayerDocument("", "333.3333333333333"));

    // A text the core library cannot read gives rate 0, which every time written
    // from it leaves out.
    OneLayerTree unreadable("fast");
    unreadable.add(DmGapNode::create(0.0, 4.0, eDmMediaVideo, "g"));
    EXPECT_EQ(unreadable.exported(), oneLayerDocument(namedGap("g", "4.0", ""), ""));
}

TEST(OtioExport, LayerMediaTypeGivesTheTrackKind) {
    CoSharedPtr<DmRoot> root(DmRoot::create());
    DmReelNode* reel = DmReelNode::create();
    root->addReel(reel);
    DmCompositionNode* composition = DmCompositionNode::create("Kinds", "24", nullptr);
    reel->addComposition(composition);
    DmTrackNode* track = DmTrackNode::create(0, eDmMediaUnset);
    composition->addChild(track);
    const eDmTreeMediaType types[] = {eDmMediaAudio, eDmMediaUnset,
                                      static_cast<eDmTreeMediaType>(7), eDmMediaVideo};
    const char* names[] = {"A1", "", "odd", "V1"};
    for (int i = 0; i < 4; ++i) {
        DmLayerNode* layer = DmLayerNode::create(i, types[i], 0, i == 0);
        layer->setName(names[i]);
        track->addChild(layer);
    }

    const std::string expected = compactJson(R"({
        "tracks": {"OTIO_SCHEMA": "Stack.1", "children": [
            {"name": "A1", "OTIO_SCHEMA": "Track.1", "children": [], "kind": "Audio"},
            {"name": "", "OTIO_SCHEMA": "Track.1", "children": []},
            {"name": "odd", "OTIO_SCHEMA": "Track.1", "children": []},
            {"name": "V1", "OTIO_SCHEMA": "Track.1", "children": [], "kind": "Video"}]},
        "name": "Kinds", "OTIO_SCHEMA": "Timeline.1",
        "metadata": {"zem": {"ZEM_SCHEMA": "TimelineMetadata.1", "version": "0.81"}},
        "global_start_time": {"OTIO_SCHEMA": "RationalTime.1", "value": 0.0, "rate": 24.0}
    })");
    EXPECT_EQ(exportText(root), expected);
}

TEST(OtioExport, EveryTrackAndCompositionWritesItsOwnMembers) {
    OneLayerTree tree("24");
    // A second, empty edit-tree track: a second "tracks" member with no children.
    tree.composition->addChild(DmTrackNode::create(1, eDmMediaAudio));
    const std::string twoTracks = tree.exported();
    EXPECT_EQ(countOf(twoTracks, R"("tracks":)"), 2u);
    EXPECT_NE(twoTracks.find(R"("tracks":{"OTIO_SCHEMA":"Stack.1","children":[]},"name")"),
              std::string::npos);
    EXPECT_LT(twoTracks.find(R"("name":"V1")"), twoTracks.rfind(R"("tracks":)"));

    // A second composition writes its timeline members into the same object.
    DmReelNode* reel = dynamic_cast<DmReelNode*>(tree.root->getChild(0));
    ASSERT_NE(reel, nullptr);
    reel->addComposition(DmCompositionNode::create("Other", "25", nullptr));
    const std::string twoTimelines = tree.exported();
    for (const char* key : {R"("name":"Edit")", R"("name":"Other")"})
        EXPECT_EQ(countOf(twoTimelines, key), 1u) << key;
    for (const char* key : {R"("OTIO_SCHEMA":"Timeline.1")", R"("global_start_time")",
                            R"("ZEM_SCHEMA":"TimelineMetadata.1")"})
        EXPECT_EQ(countOf(twoTimelines, key), 2u) << key;
    EXPECT_EQ(twoTimelines.find_first_of(" \n\t\r"), std::string::npos);
}

TEST(OtioExport, NodesOfOtherKindsAddNothingButTheirContentIsExported) {
    OneLayerTree tree("24");
    tree.add(DmGapNode::create(0.0, 2.0, eDmMediaVideo, "first"));
    // A container among the segments: its gap goes to the open track.
    DmContainerNode* container = DmContainerNode::create();
    container->addChild(DmGapNode::create(0.0, 3.0, eDmMediaVideo, "inside"));
    tree.layer->addChild(container);
    tree.layer->addChild(DmCutNode::create(eDmMediaVideo));
    EXPECT_EQ(tree.exported(), oneLayerDocument(namedGap("first", "2.0", "24.0") + "," +
                                                namedGap("inside", "3.0", "24.0")));

    // A gap directly under the composition has no track to go into: the
    // timeline object cannot hold it and nothing is written for it.
    OneLayerTree stray("24");
    stray.composition->addChild(DmGapNode::create(0.0, 3.0, eDmMediaVideo, "stray"));
    EXPECT_EQ(stray.exported(), oneLayerDocument(""));
}

TEST(OtioExport, OddlyNestedTreesStillGiveOneJsonObject) {
    // A composition inside a layer, a track straight under the root, a layer and
    // a source straight under a reel: each node writes where its owner can hold
    // it and nothing elsewhere.
    OneLayerTree nested("24");
    DmCompositionNode* inner = DmCompositionNode::create("inner", "25", nullptr);
    DmTrackNode* innerTrack = DmTrackNode::create(0, eDmMediaVideo);
    DmLayerNode* innerLayer = DmLayerNode::create(0, eDmMediaVideo, 0, true);
    innerLayer->addChild(DmGapNode::create(0.0, 1.0, eDmMediaVideo, "deep"));
    innerTrack->addChild(innerLayer);
    inner->addChild(innerTrack);
    nested.layer->addChild(inner);
    nested.root->addChild(DmTrackNode::create(1, eDmMediaAudio));
    DmReelNode* reel = DmReelNode::create();
    DmLayerNode* looseLayer = DmLayerNode::create(0, eDmMediaAudio, 0, true);
    looseLayer->addChild(sourceOver(
        DmSourceNode::MediaInput::create(0.0, 1.0, nullptr, "24", eDmMediaAudio, true), 1.0));
    reel->addChild(looseLayer);
    nested.root->addReel(reel);

    const std::string text = nested.exported();
    rapidjson::Document document;
    document.Parse(text.c_str());
    ASSERT_FALSE(document.HasParseError()) << text;
    ASSERT_TRUE(document.IsObject());
    EXPECT_EQ(std::string(document["name"].GetString()), "Edit");
    EXPECT_EQ(text.find("deep"), std::string::npos) << text;
}

TEST(DmTreeExporter, WalkLeavesOnlyTheRootOpenAndTheTreeUnchanged) {
    OneLayerTree tree("30");
    tree.add(DmGapNode::create(0.0, 2.0, eDmMediaVideo, "g"));
    DmString before;
    ASSERT_TRUE(DmTreeJsonBuilder::generateStr(tree.root.get(), before).ok());

    Json::DmTreeExporter exporter;
    EXPECT_STREQ(exporter.getVisitorName(), "OTIO to DmTree Exporter");
    ASSERT_EQ(exporter.nodeStack().size(), 1u);
    DmPreIt(tree.root.get(), &exporter).traverse();

    ASSERT_EQ(exporter.nodeStack().size(), 1u);
    const rapidotio::Node& root = *exporter.nodeStack().front();
    EXPECT_EQ(root.name, "");
    ASSERT_EQ(root.children.size(), 1u);
    const rapidotio::Node& timeline = *root.children[0];
    EXPECT_EQ(timeline.parent, &root);
    ASSERT_EQ(timeline.children.size(), 1u);
    EXPECT_EQ(timeline.children[0]->parent, &timeline);
    EXPECT_DOUBLE_EQ(exporter.context().compositionRate, 30.0);

    DmString after;
    ASSERT_TRUE(DmTreeJsonBuilder::generateStr(tree.root.get(), after).ok());
    EXPECT_EQ(before, after);
}

TEST(DmTreeExporter, UnbalancedEndCallsNeverCloseTheRoot) {
    Json::DmTreeExporter exporter;
    exporter.endLayerNode(nullptr);
    exporter.endTrackNode(nullptr);
    exporter.endCompositionNode(nullptr);
    ASSERT_EQ(exporter.nodeStack().size(), 1u);
    // Visits with null nodes are ignored.
    exporter.visitSourceNode(nullptr);
    exporter.visitGapNode(nullptr);
    exporter.visitLayerNode(nullptr);
    EXPECT_EQ(exporter.nodeStack().size(), 1u);
    EXPECT_TRUE(exporter.nodeStack().front()->children.empty());
}

TEST(OtioExport, NonFiniteNumberFailsTheExportAndLeavesTheOutputAlone) {
    OneLayerTree tree("24");
    tree.composition->setStartTC(std::numeric_limits<double>::infinity(), "24");
    DmString out("previous");
    EXPECT_EQ(exportOtioJson(tree.root, out).getCode(), Status::JsonConversionFailed);
    EXPECT_EQ(out, DmString("previous"));

    OneLayerTree gapTree("24");
    gapTree.add(
        DmGapNode::create(0.0, -std::numeric_limits<double>::infinity(), eDmMediaVideo, "endless"));
    DmString empty;
    EXPECT_EQ(exportOtioJson(gapTree.root, empty).getCode(), Status::JsonConversionFailed);
    EXPECT_TRUE(empty.empty());
}

TEST(OtioExport, NotANumberTimeValueIsWrittenAsUnset) {
    // Only a value at least DBL_EPSILON away from the unset marker is written, and
    // NaN is at no distance from anything.
    OneLayerTree tree("24");
    tree.composition->setStartTC(std::nan(""), "24");
    const std::string text = tree.exported();
    EXPECT_NE(text.find(R"("global_start_time":{"OTIO_SCHEMA":"RationalTime.1","rate":24.0})"),
              std::string::npos)
        << text;
}

} // namespace
} // namespace ZEM_0_81::test
