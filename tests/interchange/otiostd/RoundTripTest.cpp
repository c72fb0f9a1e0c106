// Edit tree → standard OTIO → edit tree: every tree comes back the same, from the
// text as written and from the text as the OpenTimelineIO library saves it again
// (keys sorted, members added, doubles a unit in the last place off). The trees
// come from the product's own documents, from the edit tree's JSON and from
// trees built here, between them holding every kind of object the edit tree has.

#include "interchange/StandardOtio.h"
#include "outside/dmtree/DmTree.h"
#include "tests/interchange/otiostd/InterchangeTestSupport.h"
#include "tests/outside/dmtree/DmTestTree.h"
#include "tests/support/TestData.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <memory>
#include <string>

namespace ZEM_0_81::test {
namespace {

/// Writes `composition` as standard OTIO, reads it back as written and as
/// re-saved, and expects the same edit tree each time with nothing lost.
void expectRoundTrip(const Composition& composition, const std::string& what) {
    const std::string expected = dmTreeOf(composition);
    const std::string standard = writeStandard(composition);
    ASSERT_FALSE(standard.empty()) << what;
    expectLoadableByOtio(standard);

    LossReport losses;
    const SharedPtr<Composition> back = readStandard(standard, losses);
    ASSERT_TRUE(back) << what;
    EXPECT_EQ(expected, dmTreeOf(*back)) << what << "\n" << standard;
    EXPECT_EQ(entriesOf(losses), std::vector<std::string>()) << what;

    const SharedPtr<Composition> resaved = readStandard(resave(standard), losses);
    ASSERT_TRUE(resaved) << what;
    expectSameTree(expected, dmTreeOf(*resaved), what + ", re-saved");
    EXPECT_EQ(entriesOf(losses), std::vector<std::string>()) << what << ", re-saved";
}

void expectRoundTrip(const DmRoot& root, const std::string& what) {
    expectRoundTrip(*fromTree(root), what);
}

// --- building trees ------------------------------------------------------------------------

/// Adds `child` (made by a create factory) to `parent` and returns it; the
/// parent holds the only reference.
template <class T> T* add(DmTreeNode* parent, T* child) {
    parent->addChild(child);
    return child;
}

DmCompositionNode* addComposition(DmReelNode* reel, const char* name, const char* fcm,
                                  double start) {
    auto* composition = DmCompositionNode::create(name, fcm, DmFrameResolution::create());
    composition->setStartTC(start, fcm);
    reel->addComposition(composition);
    return composition;
}

/// A media input over [availIn, availIn + length) at `fcm`, reading `url`.
DmSourceNode::MediaInput* makeInput(double availIn, double length, const char* fcm, const char* url,
                                    eDmTreeMediaType type = eDmMediaVideo) {
    auto* info = DmSourceInfo::create();
    info->addSequence(url);
    info->setSourceType(DmSourceInfo::kSourceTypeFile);
    info->setFileType(DmSourceInfo::kFileTypeMovie);
    return DmSourceNode::MediaInput::create(availIn, length, info, fcm, type, true);
}

DmSourceNode* addSource(DmLayerNode* layer, double recIn, double recLength, double relIn,
                        const char* name, const char* fcm = "24", double availIn = 1000.0) {
    auto* source = DmSourceNode::create(makeInput(availIn, 500.0, fcm, "/m/a.mov"), recIn,
                                        recLength, relIn, true, false);
    source->setName(name);
    layer->addChild(source);
    return source;
}

DmGapNode* addGap(DmLayerNode* layer, double recIn, double recLength, const char* name = "") {
    return add(layer, DmGapNode::create(recIn, recLength, layer->mediaType, name));
}

void addCut(DmLayerNode* layer) {
    layer->addChild(DmCutNode::create(layer->mediaType));
}

/// root > reel > composition "Edit" at `fcm` from `start` > track > one layer.
struct OneLayer {
    CoSharedPtr<DmRoot> root{DmRoot::create()};
    DmCompositionNode* composition = nullptr;
    DmTrackNode* track = nullptr;
    DmLayerNode* layer = nullptr;

    explicit OneLayer(const char* fcm = "24", double start = 0.0) {
        auto* reel = add(root.get(), DmReelNode::create());
        composition = addComposition(reel, "Edit", fcm, start);
        track = add(composition, DmTrackNode::create(0, eDmMediaVideo));
        layer = add(track, DmLayerNode::create(0, eDmMediaVideo, 0, true));
        layer->setName("V1");
    }
};

// --- trees from documents ------------------------------------------------------------------

TEST(StandardOtioRoundTrip, EveryExampleAndProductDocument) {
    for (const char* name :
         {"short-cut.otio.json", "review-notes.otio.json", "graded-shot.otio.json"})
        expectRoundTrip(*fromProductOtio(readExample(name)), name);
    for (const char* name :
         {"roundtrip/annotations.json", "roundtrip/cut.json", "roundtrip/effects.json",
          "roundtrip/missing.json", "roundtrip/timing.json", "roundtrip/tracking.json",
          "rapidotio/full_timeline.json", "import/two_tracks.json"})
        expectRoundTrip(*fromProductOtio(readTestData(name)), name);
}

TEST(StandardOtioRoundTrip, EveryKindOfEditTreeObject) {
    // Values set and unset, properties on every kind of object, channels of several
    // keys, a container holding a gap in a layer, a source without any input.
    const CoSharedPtr<DmRoot> tree = DmTest::makeFullTree();
    expectRoundTrip(*tree, "the full tree");
    expectRoundTrip(*fromDmTree(DmTest::jsonOf(tree.get())), "the full tree through its JSON");
}

// --- structure -----------------------------------------------------------------------------

TEST(StandardOtioRoundTrip, SeveralReelsCompositionsTracksAndOtherNodes) {
    const CoSharedPtr<DmRoot> root(DmRoot::create());
    root->setName("project");
    add(root.get(), DmContainerNode::create()); // before the first reel
    auto* first = add(root.get(), DmReelNode::create());
    first->setName("reel A");
    add(root.get(), DmReelNode::create()); // an empty reel
    auto* third = add(root.get(), DmReelNode::create());
    add(root.get(), DmCutNode::create(eDmMediaAudio)); // after the last reel

    auto* one = addComposition(first, "one", "25", 90000.0);
    auto* video = add(one, DmTrackNode::create(0, eDmMediaVideo));
    video->setName("pictures");
    auto* v1 = add(video, DmLayerNode::create(0, eDmMediaVideo, 0, true));
    addSource(v1, 90000.0, 50.0, 0.0, "a", "25");
    add(video, DmContainerNode::create()); // between two layers
    auto* v2 = add(video, DmLayerNode::create(1, eDmMediaVideo, 3, false));
    addGap(v2, 90000.0, 10.0, "lead");
    addCut(v2);
    addSource(v2, 90010.0, 40.0, 5.0, "b", "25");
    auto* sound = add(one, DmTrackNode::create(1, eDmMediaAudio));
    auto* a1 = add(sound, DmLayerNode::create(0, eDmMediaAudio, 0, true));
    addSource(a1, 90000.0, 50.0, 0.0, "a audio", "25");
    add(one, DmTrackNode::create(2, eDmMediaVideo)); // a track without layers
    add(one, DmContainerNode::create());             // after the last track

    add(first, DmContainerNode::create()); // between two compositions
    auto* two = addComposition(first, "two", "30000/1001", 0.0);
    add(two, DmTrackNode::create(0, eDmMediaVideo))
        ->addChild(DmLayerNode::create(0, eDmMediaVideo, 0, true)); // an empty layer
    addComposition(third, "three", "24", 0.0);                      // no track at all
    expectRoundTrip(*root, "reels, compositions, tracks and other nodes");

    // A collection of three timelines, one per composition; OTIO sees each
    // composition's layers as that timeline's tracks.
    const std::string standard = writeStandard(*fromTree(*root));
    const std::vector<SeenTrack> tracks = seenTracks(standard, 0);
    ASSERT_EQ(tracks.size(), 3u);
    EXPECT_EQ(tracks[0].kind, "Video");
    EXPECT_EQ(tracks[2].kind, "Audio");
    EXPECT_EQ(seenTracks(standard, 1).size(), 1u);
    EXPECT_EQ(seenTracks(standard, 2).size(), 0u);
}

TEST(StandardOtioRoundTrip, CutsAndOtherNodesAmongSegments) {
    OneLayer cuts;
    addCut(cuts.layer); // before the first segment
    addSource(cuts.layer, 0.0, 10.0, 0.0, "a");
    addSource(cuts.layer, 10.0, 10.0, 0.0, "b"); // no cut between
    addCut(cuts.layer);
    addCut(cuts.layer); // two cuts
    addGap(cuts.layer, 20.0, 5.0);
    auto* named = DmCutNode::create(eDmMediaVideo);
    named->setName("named cut");
    cuts.layer->addChild(named);
    addSource(cuts.layer, 25.0, 5.0, 0.0, "c");
    cuts.layer->addChild(DmCutNode::create(eDmMediaAudio)); // another media type
    add(cuts.layer, DmContainerNode::create())
        ->addChild(DmGapNode::create(0, 1, eDmMediaVideo, ""));
    addGap(cuts.layer, 30.0, 2.0);
    addCut(cuts.layer); // after the last segment
    expectRoundTrip(*cuts.root, "cuts and containers among segments");

    OneLayer children;
    DmSourceNode* parent = addSource(children.layer, 0.0, 10.0, 0.0, "with children");
    parent->addChild(DmGapNode::create(0.0, 2.0, eDmMediaVideo, "inside"));
    addCut(children.layer);
    addGap(children.layer, 10.0, 4.0)->addChild(DmContainerNode::create());
    expectRoundTrip(*children.root, "segments with children");
}

TEST(StandardOtioRoundTrip, KeptNodesAsDeepAsTheEditTreeWritesThem) {
    // A chain of containers after the last segment of a layer, with a gap at the
    // bottom, is kept whole in the layer's description: a value hundreds of
    // levels deep, written without recursion on the writer's side.
    const auto chained = [](int levels) {
        auto deep = std::make_unique<OneLayer>();
        addSource(deep->layer, 0.0, 10.0, 0.0, "shown");
        DmTreeNode* parent = deep->layer;
        for (int level = 1; level < levels; ++level)
            parent = add(parent, DmContainerNode::create());
        add(parent, DmGapNode::create(3.0, 1.0, eDmMediaVideo, "at the bottom"));
        return deep;
    };
    // As deep as the edit tree's JSON of the whole tree goes (root, reel,
    // composition, track and layer above it): back as it was.
    expectRoundTrip(*chained(251)->root, "a kept chain 251 levels deep");

    // As deep as the edit tree's JSON of the kept node goes: read back, it is
    // written again as it was.
    String text, message;
    ASSERT_TRUE(StandardOtio::write(*fromTree(*chained(256)->root), text, &message))
        << message.c_str();
    const std::string written(text.c_str(), text.size());
    LossReport losses;
    const SharedPtr<Composition> back = readStandard(written, losses);
    ASSERT_TRUE(back);
    EXPECT_EQ(entriesOf(losses), std::vector<std::string>());
    EXPECT_EQ(writeStandard(*back), written);

    // One level more: the edit tree's own JSON refuses it, and so does the write.
    text = String();
    EXPECT_EQ(StandardOtio::write(*fromTree(*chained(257)->root), text, &message).getCode(),
              Status::JsonGenerationFailed);
    EXPECT_TRUE(text.empty());
    EXPECT_NE(std::string(message.c_str()).find("/tracks/children/0/metadata/zem/after/0"),
              std::string::npos)
        << message.c_str();
}

TEST(StandardOtioRoundTrip, DocumentsOfManyMegabytesWhoseMemoryIsHandedBackAsTheyAreRead) {
    // Long enough (several megabytes of text) for the reader to hand the parsed
    // document back as it leaves each track and each item: every clip comes back
    // as it was, from the text as written and as re-saved (keys sorted, so the
    // descriptions follow the items they describe).
    OneLayer tree("25", 90000.0);
    auto* second = add(tree.track, DmLayerNode::create(1, eDmMediaVideo, 0, false));
    for (int i = 0; i < 2500; ++i) {
        const std::string name = "shot " + std::to_string(i);
        DmSourceNode* source =
            addSource(tree.layer, 90000.0 + 10.0 * i, 10.0, i % 7, name.c_str(), "25", 1000.0 + i);
        source->addEffect(DmLookSettings::create());
        addSource(second, 90000.0 + 10.0 * i, 10.0, 0.0, ("over " + name).c_str(), "25");
    }
    ASSERT_GT(writeStandard(*fromTree(*tree.root)).size(), std::size_t(4) << 20);
    expectRoundTrip(*tree.root, "5000 clips on two layers");
}

// --- timing -------------------------------------------------------------------------------

TEST(StandardOtioRoundTrip, RecordTimesWithHolesOverlapsAndFractions) {
    OneLayer holes("24", 100.0);
    addSource(holes.layer, 110.0, 20.0, 5.0, "after a leading hole");
    addCut(holes.layer);
    addGap(holes.layer, 150.0, 10.0, "after a hole");
    addCut(holes.layer);
    addSource(holes.layer, 155.0, 10.0, 0.0, "overlapping");
    addCut(holes.layer);
    addSource(holes.layer, 90.0, 10.0, 0.0, "before the start");
    addCut(holes.layer);
    addSource(holes.layer, 300.5, 0.25, 0.5, "fractions");
    addCut(holes.layer);
    addSource(holes.layer, 2147483647.0, -3.0, -7.0, "odd values");
    addCut(holes.layer);
    addGap(holes.layer, 1e15 + 0.5, DBL_MAX / 4, "huge");
    addCut(holes.layer);
    addGap(holes.layer, -0.0, 0.0, "negative zero");
    expectRoundTrip(*holes.root, "holes, overlaps and fractions");

    // Every clip at its record time in OTIO's view: fillers take the holes.
    OneLayer plain("24", 86400.0);
    addSource(plain.layer, 86424.0, 48.0, 12.0, "sh010");
    addCut(plain.layer);
    addGap(plain.layer, 86472.0, 24.0);
    addCut(plain.layer);
    addSource(plain.layer, 86497.0, 72.0, 0.0, "sh020"); // a hole of one frame before it
    // A layer that starts 12 frames before the composition: its track's trim
    // starts 12 frames in, so that the clip is there too.
    OneLayer early("24", 86400.0);
    addSource(early.layer, 86388.0, 20.0, 0.0, "sh005");
    addCut(early.layer);
    addSource(early.layer, 86412.0, 10.0, 0.0, "sh006");
    expectRoundTrip(*early.root, "a layer that starts before the composition");
    for (const auto& [tree, expected] :
         {std::pair{plain.root.get(),
                    std::vector<std::string>{
                        "Gap.1 filler  86400.000000+24.000000",
                        "Clip.2 sh010 86424.000000+48.000000",
                        "Gap.1  86472.000000+24.000000",
                        "Gap.1 filler  86496.000000+1.000000",
                        "Clip.2 sh020 86497.000000+72.000000",
                    }},
          std::pair{early.root.get(),
                    std::vector<std::string>{"Clip.2 sh005 86388.000000+20.000000",
                                             "Gap.1 filler  86408.000000+4.000000",
                                             "Clip.2 sh006 86412.000000+10.000000"}}}) {
        const std::vector<SeenTrack> tracks = seenTracks(writeStandard(*fromTree(*tree)));
        ASSERT_EQ(tracks.size(), 1u);
        std::vector<std::string> seen;
        for (const SeenItem& item : tracks[0].items)
            seen.push_back(item.schema + (item.filler ? " filler " : " ") + item.name + " " +
                           std::to_string(item.recordStart) + "+" +
                           std::to_string(item.recordDuration));
        EXPECT_EQ(seen, expected);
    }
}

TEST(StandardOtioRoundTrip, RatesOfCompositionsAndSources) {
    // A source at twice the composition rate: its range counts source frames.
    OneLayer doubled("24", 0.0);
    addSource(doubled.layer, 0.0, 10.0, 4.0, "48 fps", "48");
    addCut(doubled.layer);
    addSource(doubled.layer, 10.0, 10.0, 0.0, "23.976 fps", "23.976");
    addCut(doubled.layer);
    addSource(doubled.layer, 20.0, 7.0, 0.0, "1000/3 fps", "1000/3", 0.5);
    addCut(doubled.layer);
    addSource(doubled.layer, 27.0, 3.0, 0.0, "no rate", "");
    expectRoundTrip(*doubled.root, "sources at other rates");
    const std::vector<SeenTrack> seen = seenTracks(writeStandard(*fromTree(*doubled.root)));
    ASSERT_EQ(seen[0].items.size(), 4u);
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_NEAR(seen[0].items[i].recordStart,
                    i == 0   ? 0.0
                    : i == 1 ? 10.0
                             : 20.0,
                    1e-9)
            << seen[0].items[i].name;

    for (const char* fcm : {"23.976", "29.97", "59.94", "25", "12/1", "1000/3", "", "garbage"}) {
        OneLayer tree(fcm, 1001.0);
        addSource(tree.layer, 1001.0, 24.0, 0.0, "clip", fcm);
        addCut(tree.layer);
        addGap(tree.layer, 1030.0, 6.0);
        expectRoundTrip(*tree.root, std::string("a composition at ") + fcm);
    }

    OneLayer startRate("24", 0.0);
    startRate.composition->setStartTC(3600.0, "30");
    addSource(startRate.layer, 2880.0, 24.0, 0.0, "start counted at 30");
    expectRoundTrip(*startRate.root, "a start timecode at its own rate");
}

// --- sources --------------------------------------------------------------------------------

TEST(StandardOtioRoundTrip, SourcesWithSeveralInputsOrNone) {
    OneLayer tree;
    DmSourceNode* several = addSource(tree.layer, 0.0, 10.0, 2.0, "several");
    for (int i = 0; i < 11; ++i)
        several->addMultiInput(makeInput(i, 50.0 + i, i % 2 ? "25" : "24",
                                         ("/m/" + std::to_string(i)).c_str(),
                                         i % 3 ? eDmMediaVideo : eDmMediaAudio));
    addCut(tree.layer);
    auto* none = add(tree.layer, DmSourceNode::create(nullptr, 10.0, 5.0, 3.0, false, true));
    none->setName("no input");
    none->setSegmentId("uid-none");
    addCut(tree.layer);

    // An input without source information, one with several sequences and odd
    // kinds, one whose frame-rate text no rate names, a flag off.
    auto* odd = DmSourceNode::create(
        DmSourceNode::MediaInput::create(0.0, 10.0, nullptr, "24", eDmMediaVideo, false), 15.0, 5.0,
        0.0, true, false);
    auto* info = DmSourceInfo::create();
    info->addSequence("/a/first.%04d.exr");
    info->addSequence("/a/second.%04d.exr");
    info->setSourceType(static_cast<DmSourceInfo::SourceType>(99));
    info->setFileType(static_cast<DmSourceInfo::FileType>(-1));
    info->setPath("/a");
    info->setOriginalSourceUID("not json at all");
    odd->addMultiInput(
        DmSourceNode::MediaInput::create(1.5, 2.5, info, "24000/1001", eDmMediaUnset, true));
    auto* empty = DmSourceInfo::create();
    odd->addMultiInput(DmSourceNode::MediaInput::create(0.0, 0.0, empty, "x", eDmMediaVideo, true));
    tree.layer->addChild(odd);
    expectRoundTrip(*tree.root, "inputs");

    // OTIO sees the primary input as the clip's active reference.
    const std::vector<SeenTrack> seen = seenTracks(writeStandard(*fromTree(*tree.root)));
    EXPECT_EQ(seen[0].items[0].activeUrl, "/m/a.mov");
    EXPECT_EQ(seen[0].items[1].activeUrl, "");
}

TEST(StandardOtioRoundTrip, MediaDescriptions) {
    OneLayer tree;
    const double numbers[] = {0.0, 1.0, -1.0, 0.1, 1e-300, 123456789.123};
    for (int variant = 0; variant < 6; ++variant) {
        DmSourceNode* source = addSource(tree.layer, variant * 10.0, 10.0, 0.0, "media");
        DmSourceNode::Input* input = source->getInput();
        CoSharedPtr<DmFrameResolution> resolution(DmFrameResolution::create());
        if (variant == 1) {
            // Only some values of a resolution.
            resolution->setCenterY(numbers[variant]);
            resolution->setWidth(-1);
            resolution->setFrameRatio(-0.0f);
        } else if (variant == 2) {
            resolution->setCenterX(1.0);
            resolution->setCenterY(2.0);
            resolution->setSizeX(3.0);
            resolution->setSizeY(4.0);
            resolution->setWidth(0);
            resolution->setHeight(1080);
            resolution->setDepth(12, 3, false, false); // no sample-type name
            resolution->setFrameRatio(FLT_MAX);
        } else if (variant == 3) {
            resolution->setDepth(32, 4, true, true); // a name, but the flag set
            resolution->setSizeX(DBL_MAX);
            resolution->setSizeY(DBL_MAX);
            resolution->setCenterX(DBL_MAX);
            resolution->setCenterY(-DBL_MAX);
        } else if (variant == 4) {
            resolution = nullptr; // no resolution at all
        } else if (variant == 5) {
            resolution->setDepth(8, 1, false, false);
            const double pi = 3.14159;
            resolution->setPropertyValue(3, eDmPropDouble, &pi);
        }
        input->setPrimaryRes(resolution.get());

        if (variant % 2) {
            auto* audio = DmAudioProperties::create();
            audio->setNbChannels(variant == 3 ? -1 : 6);
            audio->setSamplingRate(numbers[variant] * 48000.0);
            if (variant == 5) {
                const bool yes = true;
                audio->setPropertyValue(1, eDmPropBool, &yes);
            }
            input->setAudioProperties(audio);
        }
        auto* media = static_cast<DmSourceNode::MediaInput*>(input);
        // Extra data in an order that sorting would change, reserved keys among them.
        for (const char* key : {"zeta", "ZEM_FRAME_RATE", "alpha", "zeta", ""}) {
            auto* entry = DmSourceNode::DictionaryEntry::create(key, variant ? "v" : "");
            if (variant == 5) {
                const std::int32_t n = 7;
                entry->setPropertyValue(9, eDmPropInt32, &n);
            }
            media->addExtraData(entry);
        }
        addCut(tree.layer);
    }
    expectRoundTrip(*tree.root, "media descriptions");

    // Extra data stays a list of pairs in order, whatever sorts keys.
    const std::string standard = writeStandard(*fromTree(*tree.root));
    EXPECT_NE(standard.find(R"("extra_data":[["zeta","v"],["ZEM_FRAME_RATE","v"],["alpha","v"])"),
              std::string::npos)
        << standard;
}

// --- effects --------------------------------------------------------------------------------

TEST(StandardOtioRoundTrip, EffectsWithEveryKindOfValue) {
    OneLayer tree;
    DmSourceNode* source = addSource(tree.layer, 0.0, 10.0, 0.0, "effects");

    auto* plainComp = DmCompSettings::create(); // neither blend mode nor opacity
    source->addEffect(plainComp);
    auto* tiny = DmCompSettings::create(); // an opacity that does not give the channel back
    auto* constant = DmAnimationChannel::create(DmAnimationChannel::kInterpTypeDefault,
                                                DmAnimationChannel::kExtrapolationConstant,
                                                DmKeyFrame::getCurrentVersion(), 0.0);
    constant->addKeyFrame(DmKeyFrame::create2(0.0, 1e-10f, DmKeyFrame::kInterpDefault,
                                              DmKeyFrame::kOrderDefault, 0.0, 0.0, 0.0, 0.0, 1));
    tiny->setChannel(DmCompSettings::kTransparency, constant);
    auto* attribute = DmSimpleChannel::create("screen");
    const float weight = 0.5f;
    attribute->setPropertyValue(2, eDmPropFloat, &weight);
    tiny->setAttribut(DmCompSettings::kBlendMode, attribute);
    tiny->setAttribut(static_cast<DmCompSettings::AttributId>(5), DmSimpleChannel::create(""));
    tiny->setMuted(true);
    source->addEffect(tiny);
    auto* negativeZero = DmCompSettings::create(); // a key at -0.0 is not the constant form
    auto* signed0 = DmAnimationChannel::create(DmAnimationChannel::kInterpTypeDefault,
                                               DmAnimationChannel::kExtrapolationConstant,
                                               DmKeyFrame::getCurrentVersion(), -0.0);
    signed0->addKeyFrame(DmKeyFrame::create2(-0.0, 0.5f, DmKeyFrame::kInterpDefault,
                                             DmKeyFrame::kOrderDefault, 0.0, 0.0, 0.0, 0.0, 1));
    negativeZero->setChannel(DmCompSettings::kTransparency, signed0);
    source->addEffect(negativeZero);

    auto* mask = DmAngularMaskSettings::create(); // pivot of the wrong type, an angle only
    const float wrongPivot = 1.5f;
    const double angle = 0.7; // a double where a float is expected
    mask->setPropertyValue(DmAngularMaskSettings::kPivotX, eDmPropFloat, &wrongPivot);
    mask->setPropertyValue(DmAngularMaskSettings::kAngle, eDmPropDouble, &angle);
    const DmString label("mask");
    mask->setPropertyValue(100, eDmPropString, &label);
    source->addEffect(mask);
    auto* onlyAngle = DmAngularMaskSettings::create();
    const float quarter = 0.25f;
    onlyAngle->setPropertyValue(DmAngularMaskSettings::kAngle, eDmPropFloat, &quarter);
    source->addEffect(onlyAngle);

    auto* look = DmLookSettings::create();
    look->slope[0] = 1e-300;
    look->offset[1] = -0.0;
    look->power[2] = 1.0 / 3.0;
    look->saturation = 123456.789;
    look->setMuted(true);
    source->addEffect(look);

    source->addEffect(DmAnnotationSettings::create()); // no layers
    auto* paint = DmPaintLayer::create();              // a layer on its own
    paint->addStroke(DmStroke::create());
    source->addEffect(paint);
    auto* text = DmTextLayer::create();
    text->setChannel(DmTextLayer::kPositionY, DmTest::makeChannel({1.0f, 2.0f}));
    text->setChannel(static_cast<DmTextLayer::ChannelId>(9), DmTest::makeChannel({3.0f}));
    auto* paragraph = DmTextParagraph::create();
    paragraph->setChannel(DmTextParagraph::kColorRed, DmTest::makeChannel({0.1f}));
    paragraph->setChannel(DmTextParagraph::kColorBlue, DmTest::makeChannel({0.2f, 0.3f}));
    paragraph->setChannel(DmTextParagraph::kOrientation, DmTest::makeChannel({}));
    paragraph->setAttribut(static_cast<DmTextParagraph::AttributId>(7),
                           DmSimpleChannel::create("extra"));
    text->addParagraph(paragraph);
    text->setFrameRange(-2147483647 - 1, 4294967295u);
    source->addEffect(text);
    addCut(tree.layer);
    addGap(tree.layer, 10.0, 5.0)->addEffect(DmLookSettings::create());
    expectRoundTrip(*tree.root, "effects");

    // OTIO sees each as an Effect: its kind and the settings' name.
    const std::vector<SeenTrack> seen = seenTracks(writeStandard(*fromTree(*tree.root)));
    EXPECT_EQ(seen[0].items[0].effects,
              (std::vector<std::string>{"Comp/DmCompSettings", "Comp/DmCompSettings",
                                        "Comp/DmCompSettings", "AngularMask/DmAngularMaskSettings",
                                        "AngularMask/DmAngularMaskSettings", "CDL/DmLookSettings",
                                        "Annotation/DmAnnotationSettings",
                                        "PaintLayer/DmPaintLayer", "TextLayer/DmTextLayer"}));
    EXPECT_EQ(seen[0].items[1].effects, (std::vector<std::string>{"CDL/DmLookSettings"}));
}

} // namespace
} // namespace ZEM_0_81::test
