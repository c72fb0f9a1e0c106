// Reading FCPXML: each rule of the mapping on hand-written documents. Frames
// are worked out by hand at 24 frames a second unless a case says otherwise
// (1s is 24 frames, 3600s is 86400); the shared resources are described in
// FcpxmlTestSupport.h (a1 starts at 3600s, a2 and a3 at 0s).

#include "interchange/kept/ForeignMembers.h"
#include "interchange/notes/ReviewNotes.h"
#include "outside/dmtree/DmTree.h"
#include "tests/interchange/fcpxml/FcpxmlTestSupport.h"

#include <gtest/gtest.h>

#include <rapidjson/document.h>

#include <array>
#include <string>
#include <vector>

namespace ZEM_0_81::test::fcpx {
namespace {

using Lines = std::vector<std::string>;

/// The items of the document holding `spine`, and its losses in `losses`.
Lines itemsOfSpine(const std::string& spine, Lines* losses = nullptr,
                   const std::string& sequence = "", const std::string& resources = "") {
    const FcpxmlRead read = readFcpxml(documentOf(spine, sequence, resources));
    EXPECT_TRUE(read.status) << read.message;
    if (losses)
        *losses = read.losses;
    return read.composition ? itemsOf(*read.composition) : Lines{};
}

const std::string kA2 = " file file:///m/a2.mov";
const std::string kA1 = " file file:///m/a1.mov";

TEST(FcpxmlRead, StorylineItemsSitAtTheirOffsetsOrAfterTheItemBefore) {
    Lines losses;
    const Lines items = itemsOfSpine(
        // x: 0s-2s from a2's 10s (frame 240); a named gap 2s-3s; a hole 3s-4s;
        // y: 4s-5s from 0s; z has no offset: it follows y, 5s-6s from 1s.
        R"(<asset-clip ref="a2" offset="0s" name="x" start="10s" duration="2s"/>
           <gap name="Slug" offset="2s" duration="1s"/>
           <asset-clip ref="a2" offset="4s" name="y" start="0s" duration="1s"/>
           <asset-clip ref="a2" name="z" start="1s" duration="1s"/>)",
        &losses);
    EXPECT_EQ(items, (Lines{"Primary storyline 0+48 clip x src 240@24" + kA2,
                            "Primary storyline 48+24 gap Slug", "Primary storyline 72+24 gap",
                            "Primary storyline 96+24 clip y src 0@24" + kA2,
                            "Primary storyline 120+24 clip z src 24@24" + kA2}));
    EXPECT_TRUE(losses.empty()) << losses.front();
}

TEST(FcpxmlRead, AConnectedClipSitsAtItsOffsetInItsParentsOwnTime) {
    Lines losses;
    const Lines items = itemsOfSpine(
        // The parent plays a1 from 3610s at record 0: its time 3611s is record
        // 1s (24); 3612s is 2s (48). a3 is sound only: an audio track.
        R"(<asset-clip ref="a1" offset="0s" name="Base" start="3610s" duration="5s">
             <asset-clip ref="a2" lane="1" offset="3611s" start="2s" duration="2s"/>
             <asset-clip ref="a3" lane="-1" offset="3612s" start="1s" duration="1s"/>
           </asset-clip>)",
        &losses);
    EXPECT_EQ(items, (Lines{"Primary storyline 0+120 clip Base src 86640@24" + kA1,
                            "Video lane 1 0+24 gap", "Video lane 1 24+48 clip A2 src 48@24" + kA2,
                            "Audio lane -1 0+48 gap",
                            "Audio lane -1 48+24 clip A3 src 24@24 file file:///m/a3.wav"}));
    EXPECT_TRUE(losses.empty());
}

TEST(FcpxmlRead, ASecondaryStorylinePlacesItsItemsFromItsOffset) {
    const Lines items = itemsOfSpine(
        // The storyline hangs at the parent's 3602s, record 2s (48); its own
        // time starts at 0 there: 0s-1s, a gap 1s-2s, 2s-4s.
        R"(<asset-clip ref="a1" offset="0s" start="3600s" duration="10s">
             <spine lane="1" offset="3602s">
               <asset-clip ref="a2" offset="0s" start="5s" duration="1s"/>
               <gap offset="1s" duration="1s"/>
               <asset-clip ref="a2" offset="2s" start="20s" duration="2s"/>
             </spine>
           </asset-clip>)");
    EXPECT_EQ(items,
              (Lines{"Primary storyline 0+240 clip A1 src 86400@24" + kA1, "Video lane 1 0+48 gap",
                     "Video lane 1 48+24 clip A2 src 120@24" + kA2, "Video lane 1 72+24 gap",
                     "Video lane 1 96+48 clip A2 src 480@24" + kA2}));
}

TEST(FcpxmlRead, ATransitionIsCentredOnItsCutBetweenItsNeighbours) {
    const FcpxmlRead read = readFcpxml(documentOf(
        // A: 0s-3s; the transition 2s-3s (24 frames) overlaps A's last second
        // and B's first; its cut lies 12 frames in, at 60. B (2s-6s) starts
        // there 12 frames into its 30s: frame 732.
        R"(<asset-clip ref="a1" offset="0s" name="A" start="3610s" duration="3s"/>
           <transition name="Cross Dissolve" offset="2s" duration="1s"/>
           <asset-clip ref="a2" offset="2s" name="B" start="30s" duration="4s"/>)"));
    ASSERT_TRUE(read.status);
    EXPECT_EQ(itemsOf(*read.composition),
              (Lines{"Primary storyline 0+60 clip A src 86640@24" + kA1,
                     "Primary storyline 60+84 clip B src 732@24" + kA2}));
    const TimelineView view = viewOf(*read.composition);
    ASSERT_EQ(view.tracks[0].transitions.size(), 1u);
    const TimelineTransition& transition = view.tracks[0].transitions[0];
    EXPECT_EQ(transition.cut, 60);
    EXPECT_EQ(transition.inOffset, 12);
    EXPECT_EQ(transition.outOffset, 12);
    EXPECT_EQ(transition.name, "Cross Dissolve");
    EXPECT_EQ(transition.type, "SMPTE_Dissolve");
    EXPECT_TRUE(read.losses.empty());

    // 15 frames at 29.97 (15 × 1001/30000 = 1001/2000s): 7 before the cut, 8 after.
    const FcpxmlRead odd = readFcpxml(documentOf(
        R"(<asset-clip ref="a2" offset="0s" name="A" start="0s" duration="1001/1000s"/>
           <transition offset="1001/2000s" duration="1001/2000s"/>
           <asset-clip ref="a2" offset="1001/2000s" name="B" start="0s" duration="1001/1000s"/>)",
        R"(format="r2997" tcStart="0s")"));
    ASSERT_TRUE(odd.status);
    const TimelineView oddView = viewOf(*odd.composition);
    ASSERT_EQ(oddView.tracks[0].transitions.size(), 1u);
    EXPECT_EQ(oddView.tracks[0].transitions[0].cut, 22); // 15 + 7
    EXPECT_EQ(oddView.tracks[0].transitions[0].inOffset, 7);
    EXPECT_EQ(oddView.tracks[0].transitions[0].outOffset, 8);
}

TEST(FcpxmlRead, TheSequenceStartsAtItsTimecodeStartDropFrameOrNot) {
    // 01:00:00;00 drop frame at 29.97 is frame 107892: 107892 × 1001/30000 s.
    const FcpxmlRead read = readFcpxml(documentOf(
        R"(<asset-clip ref="a2" offset="26999973/7500s" start="0s" duration="1001/1000s"/>)",
        R"(format="r2997" tcStart="26999973/7500s" duration="1001/1000s" tcFormat="DF")"));
    ASSERT_TRUE(read.status) << read.message;
    const TimelineView view = viewOf(*read.composition);
    EXPECT_EQ(view.rate, Rational(30000, 1001));
    EXPECT_EQ(view.start, 107892);
    EXPECT_EQ(view.duration, 30);
    EXPECT_EQ(itemsOf(*read.composition),
              Lines{"Primary storyline 107892+30 clip A2 src 0@24" + kA2});
}

TEST(FcpxmlRead, RateConformingPlaysTheMediaFrameForFrame) {
    // a4 runs at 23.976: 3604601/1000s is its frame 86424. Conformed to the
    // sequence's 24, it counts those frame numbers at 24; not conformed
    // (scaleEnabled 0), at its own rate.
    EXPECT_EQ(itemsOfSpine(R"(<asset-clip ref="a4" offset="0s" start="3604601/1000s" duration="4s">
                                <conform-rate srcFrameRate="23.98"/>
                              </asset-clip>)"),
              Lines{"Primary storyline 0+96 clip A4 src 86424@24 file file:///m/a4.mov"});
    EXPECT_EQ(itemsOfSpine(R"(<asset-clip ref="a4" offset="0s" start="3604601/1000s" duration="4s">
                                <conform-rate scaleEnabled="0" srcFrameRate="23.98"/>
                              </asset-clip>)"),
              Lines{"Primary storyline 0+96 clip A4 src 86424@24000/1001 file file:///m/a4.mov"});
}

TEST(FcpxmlRead, ARetimedClipStartsWhereItsTimeMapSaysAndKeepsItsSpeed) {
    struct Case {
        const char* map;
        const char* item;
        const char* loss;
        const char* schema;
    };
    const Case cases[] = {
        // Half speed: its time 10s plays the media's 5s (frame 120).
        {R"(<timept time="0s" value="0s" interp="linear"/><timept time="40s" value="20s" interp="linear"/>)",
         "Primary storyline 0+96 clip A2 src 120@24", "speed 50% not applied", "LinearTimeWarp.1"},
        // Double speed: 10s plays 20s (frame 480).
        {R"(<timept time="0s" value="0s"/><timept time="10s" value="20s"/>)",
         "Primary storyline 0+96 clip A2 src 480@24", "speed 200% not applied", "LinearTimeWarp.1"},
        // A hold on 3s (frame 72).
        {R"(<timept time="0s" value="3s"/><timept time="20s" value="3s"/>)",
         "Primary storyline 0+96 clip A2 src 72@24", "freeze frame not applied", "FreezeFrame.1"},
        // A map from its time 5s: (22s - 2s) / (15s - 5s) is double speed, and
        // 10s plays 2s + 2 × 5s = 12s (frame 288).
        {R"(<timept time="5s" value="2s"/><timept time="15s" value="22s"/>)",
         "Primary storyline 0+96 clip A2 src 288@24", "speed 200% not applied", "LinearTimeWarp.1"},
        // A map of one point holds its value (3s, frame 72) throughout.
        {R"(<timept time="1s" value="3s"/>)", "Primary storyline 0+96 clip A2 src 72@24",
         "freeze frame not applied", "FreezeFrame.1"},
    };
    for (const Case& c : cases) {
        Lines losses;
        const FcpxmlRead read = readFcpxml(documentOf(
            std::string(R"(<asset-clip ref="a2" offset="0s" start="10s" duration="4s"><timeMap>)") +
            c.map + "</timeMap></asset-clip>"));
        ASSERT_TRUE(read.status);
        EXPECT_EQ(itemsOf(*read.composition), Lines{c.item + kA2}) << c.loss;
        ASSERT_EQ(lossesWith(read.losses, c.loss).size(), 1u) << c.loss;
        EXPECT_EQ(lossPlaces(lossesWith(read.losses, c.loss)),
                  Lines{"/fcpxml/library/event/project/sequence/spine/asset-clip/timeMap"});
        Status status;
        const DmRoot& root = read.composition->getTree(status);
        const auto* layer = root.getChild(0)->getChild(0)->getChild(0)->getChild(0);
        const auto* segment = dynamic_cast<const DmSegmentNode*>(layer->getChild(0));
        ASSERT_TRUE(segment);
        rapidotio::Document kept;
        const rapidotio::Value* effects =
            Interchange::ForeignMembers::Leftovers::effects(*segment, kept);
        ASSERT_TRUE(effects && effects->Size() == 1) << c.loss;
        EXPECT_STREQ((*effects)[0]["OTIO_SCHEMA"].GetString(), c.schema);
    }
}

TEST(FcpxmlRead, ACompoundClipIsOneOfflineClipEachTimeItIsUsed) {
    const std::string compound =
        R"(<media id="c1" name="Comp"><sequence format="r24"><spine>
             <asset-clip ref="a2" offset="0s" start="0s" duration="3s"/>
             <asset-clip ref="a1" offset="3s" start="3600s" duration="3s"/>
           </spine></sequence></media>)";
    Lines losses;
    const Lines items = itemsOfSpine(R"(<ref-clip ref="c1" offset="0s" name="Comp" duration="2s"/>
                        <ref-clip ref="c1" offset="2s" name="Comp" start="1s" duration="3s"/>)",
                                     &losses, "", compound);
    // Its own time from its start: 0s, then 1s (24).
    EXPECT_EQ(items, (Lines{"Primary storyline 0+48 clip Comp src 0@24",
                            "Primary storyline 48+72 clip Comp src 24@24"}));
    EXPECT_EQ(lossPlaces(losses),
              (Lines{"/fcpxml/library/event/project/sequence/spine/ref-clip[1]",
                     "/fcpxml/library/event/project/sequence/spine/ref-clip[2]"}));
    EXPECT_EQ(lossesWith(losses, "the 2 items inside it are not read").size(), 2u);
}

TEST(FcpxmlRead, AMulticamClipPlaysItsActivePictureAngle) {
    const std::string multicam =
        R"(<media id="m1" name="MC"><multicam format="r24">
             <mc-angle name="Cam A" angleID="A"><asset-clip ref="a1" offset="0s" start="3600s" duration="100s"/></mc-angle>
             <mc-angle name="Cam B" angleID="B"><gap offset="0s" duration="5s"/><asset-clip ref="a2" offset="5s" start="0s" duration="95s"/></mc-angle>
           </multicam></media>)";
    const Lines items = itemsOfSpine(
        // 1: angle B at the multicam's 10s: a2 from 5s (120). 2: angle B over
        // 3s-7s, its gap to 5s, then a2 from 0s: a hole 2s-4s, a2 4s-6s. 3:
        // angle A at 20s: a1 from 3620s (86880).
        R"(<mc-clip ref="m1" offset="0s" name="MC" start="10s" duration="2s">
             <mc-source angleID="B" srcEnable="video"/><mc-source angleID="A" srcEnable="audio"/>
           </mc-clip>
           <mc-clip ref="m1" offset="2s" name="MC" start="3s" duration="4s"><mc-source angleID="B" srcEnable="all"/></mc-clip>
           <mc-clip ref="m1" offset="6s" name="MC" start="20s" duration="1s"><mc-source angleID="A" srcEnable="video"/></mc-clip>)",
        nullptr, "", multicam);
    EXPECT_EQ(items, (Lines{"Primary storyline 0+48 clip MC src 120@24" + kA2,
                            "Primary storyline 48+48 gap",
                            "Primary storyline 96+48 clip MC src 0@24" + kA2,
                            "Primary storyline 144+24 clip MC src 86880@24" + kA1}));
}

TEST(FcpxmlRead, AnAuditionPlaysItsPick) {
    Lines losses;
    const Lines items = itemsOfSpine(R"(<audition offset="0s">
                          <asset-clip ref="a1" name="Take 1" start="3600s" duration="2s"/>
                          <asset-clip ref="a2" name="Take 2" start="0s" duration="3s"/>
                        </audition>
                        <asset-clip ref="a2" start="50s" duration="1s"/>)",
                                     &losses);
    EXPECT_EQ(items, (Lines{"Primary storyline 0+48 clip Take 1 src 86400@24" + kA1,
                            "Primary storyline 48+24 clip A2 src 1200@24" + kA2}));
    EXPECT_EQ(lossPlaces(losses),
              Lines{"/fcpxml/library/event/project/sequence/spine/audition/asset-clip[2]"});
}

TEST(FcpxmlRead, ASynchronisedClipPlaysItsPictureAndItsSoundWithinIt) {
    // Its time 5s-7s: the picture a2 from 5s (120); the sound hangs at its 4s
    // from a3's 10s, and plays only while the clip does: from record 0, its
    // 11s (264 at 24).
    EXPECT_EQ(itemsOfSpine(R"(<sync-clip offset="0s" name="Sync" start="5s" duration="2s">
                                <asset-clip ref="a2" offset="0s" start="0s" duration="100s"/>
                                <asset-clip ref="a3" lane="-1" offset="4s" start="10s" duration="10s"/>
                              </sync-clip>)"),
              (Lines{"Primary storyline 0+48 clip Sync src 120@24" + kA2,
                     "Audio lane -1 0+48 clip A3 src 264@24 file file:///m/a3.wav"}));
}

TEST(FcpxmlRead, AClipPlaysWhatItHoldsInItsOwnTime) {
    struct Case {
        const char* clip;
        Lines items;
    };
    const Case cases[] = {
        // Its time 10s-12s; the video it holds sits at 8s from a2's 30s: its
        // 10s is a2's 32s (768).
        {R"(<clip offset="0s" name="C" start="10s" duration="2s">
              <video ref="a2" offset="8s" start="30s" duration="20s"/>
            </clip>)",
         {"Primary storyline 0+48 clip C src 768@24" + kA2}},
        // Items without an offset follow each other from its time 0: a2 from
        // 30s (720) over 0s-2s, then a1 from 3600s (86400) over 2s-4s.
        {R"(<clip offset="0s" name="C" start="0s" duration="4s">
              <video ref="a2" start="30s" duration="2s"/>
              <video ref="a1" start="3600s" duration="2s"/>
            </clip>)",
         {"Primary storyline 0+48 clip C src 720@24" + kA2,
          "Primary storyline 48+48 clip C src 86400@24" + kA1}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(itemsOfSpine(c.clip), c.items) << c.clip;
}

TEST(FcpxmlRead, ATitleIsGeneratedMedia) {
    Lines losses;
    EXPECT_EQ(
        itemsOfSpine(R"(<title ref="e1" offset="0s" name="Hello" start="3600s" duration="2s"/>)",
                     &losses),
        Lines{"Primary storyline 0+48 clip Hello src 86400@24"});
    EXPECT_EQ(lossesWith(losses, "generated media (Basic Title)").size(), 1u);
}

TEST(FcpxmlRead, SoundBetweenFramesTimesTheTimelineAtItsSampleRate) {
    // The sound starts 1/48000s in: no frame of 24 holds it, 48000 a second do.
    const FcpxmlRead read = readFcpxml(documentOf(
        R"(<asset-clip ref="a2" offset="0s" start="0s" duration="2s">
             <asset-clip ref="a3" lane="-1" offset="1/48000s" start="0s" duration="1s"/>
           </asset-clip>)"));
    ASSERT_TRUE(read.status);
    EXPECT_EQ(viewOf(*read.composition).rate, Rational(48000, 1));
    EXPECT_EQ(itemsOf(*read.composition),
              (Lines{"Primary storyline 0+96000 clip A2 src 0@24" + kA2, "Audio lane -1 0+1 gap",
                     "Audio lane -1 1+48000 clip A3 src 0@24 file file:///m/a3.wav"}));
    EXPECT_TRUE(read.losses.empty());
}

TEST(FcpxmlRead, TracksComeInLaneOrderPictureThenSound) {
    const FcpxmlRead read = readFcpxml(documentOf(
        R"(<asset-clip ref="a1" offset="0s" start="3600s" duration="10s">
             <asset-clip ref="a2" lane="2" offset="3600s" start="0s" duration="1s"/>
             <asset-clip ref="a2" lane="-1" offset="3600s" start="0s" duration="1s"/>
             <asset-clip ref="a3" lane="1" offset="3600s" start="0s" duration="1s"/>
             <asset-clip ref="a3" lane="-2" offset="3600s" start="0s" duration="1s"/>
             <asset-clip ref="a2" lane="1" offset="3600s" start="0s" duration="1s"/>
           </asset-clip>)"));
    ASSERT_TRUE(read.status);
    Lines names;
    for (const TimelineTrack& track : viewOf(*read.composition).tracks)
        names.push_back(track.name +
                        (track.kind == TimelineTrack::Kind::Audio ? " audio" : " video"));
    EXPECT_EQ(names, (Lines{"Primary storyline video", "Video lane 1 video", "Video lane 2 video",
                            "Video lane -1 video", "Audio lane -2 audio", "Audio lane 1 audio"}));
}

TEST(FcpxmlRead, LanesReachAMillionAboveAndBelowTheStoryline) {
    // An item's lane is its parent's plus its own; within a million either
    // way it is read, beyond it the item is not, and the reason is given.
    struct Case {
        const char* what;
        const char* anchored; ///< what hangs on the storyline's one clip
        Lines tracks;
        const char* loss; ///< words of the one loss, or none
    };
    const Case cases[] = {
        {"a million above and below",
         R"(<asset-clip ref="a2" lane="1000000" offset="0s" start="0s" duration="1s"/>
            <asset-clip ref="a2" lane="-1000000" offset="0s" start="0s" duration="1s"/>)",
         {"Primary storyline", "Video lane 1000000", "Video lane -1000000"},
         nullptr},
        {"one more is no lane",
         R"(<asset-clip ref="a2" lane="1000001" offset="0s" start="0s" duration="1s"/>)",
         {"Primary storyline"},
         "an anchored item needs a lane other than 0"},
        {"one below a million less is no lane",
         R"(<asset-clip ref="a2" lane="-1000001" offset="0s" start="0s" duration="1s"/>)",
         {"Primary storyline"},
         "an anchored item needs a lane other than 0"},
        {"a lane that is no whole number is no lane",
         R"(<asset-clip ref="a2" lane="2x" offset="0s" start="0s" duration="1s"/>)",
         {"Primary storyline"},
         "an anchored item needs a lane other than 0"},
        {"on a clip of lane 999999: lane 1 is a million, lane 2 beyond",
         R"(<asset-clip ref="a2" lane="999999" offset="0s" start="0s" duration="2s">
              <asset-clip ref="a2" lane="1" offset="0s" start="0s" duration="1s"/>
              <asset-clip ref="a2" lane="2" offset="0s" start="0s" duration="1s"/>
            </asset-clip>)",
         // Lanes above in their order: 999999, then a million.
         {"Primary storyline", "Video lane 999999", "Video lane 1000000"},
         "its lane is beyond reach"},
        {"on a clip of lane -999999: lane -2 beyond",
         R"(<asset-clip ref="a2" lane="-999999" offset="0s" start="0s" duration="2s">
              <asset-clip ref="a2" lane="-2" offset="0s" start="0s" duration="1s"/>
            </asset-clip>)",
         {"Primary storyline", "Video lane -999999"},
         "its lane is beyond reach"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const FcpxmlRead read = readFcpxml(documentOf(
            std::string(R"(<asset-clip ref="a1" offset="0s" start="3600s" duration="10s">)") +
            c.anchored + "</asset-clip>"));
        ASSERT_TRUE(read.status);
        Lines names;
        for (const TimelineTrack& track : viewOf(*read.composition).tracks)
            names.push_back(track.name);
        EXPECT_EQ(names, c.tracks);
        ASSERT_EQ(read.losses.size(), c.loss ? 1u : 0u);
        if (c.loss) {
            EXPECT_NE(read.losses[0].find(c.loss), std::string::npos) << read.losses[0];
        }
    }
}

TEST(FcpxmlRead, ItemsOverlappingInALaneGoOnAFurtherTrack) {
    Lines losses;
    const Lines items =
        itemsOfSpine(R"(<asset-clip ref="a1" offset="0s" start="3600s" duration="10s">
                          <asset-clip ref="a2" lane="1" offset="3600s" start="0s" duration="2s"/>
                          <asset-clip ref="a2" lane="1" offset="3601s" start="0s" duration="2s"/>
                        </asset-clip>)",
                     &losses);
    EXPECT_EQ(items, (Lines{"Primary storyline 0+240 clip A1 src 86400@24" + kA1,
                            "Video lane 1 0+48 clip A2 src 0@24" + kA2, "Video lane 1 (2) 0+24 gap",
                            "Video lane 1 (2) 24+48 clip A2 src 0@24" + kA2}));
    EXPECT_EQ(lossPlaces(losses),
              Lines{"/fcpxml/library/event/project/sequence/spine/asset-clip/asset-clip[2]"});
}

TEST(FcpxmlRead, MarkersAreReviewNotesInTheirKindsColours) {
    Lines losses;
    const FcpxmlRead read = readFcpxml(documentOf(
        // The clip's time 10s is record 0: 11s is frame 24, 12s 48, 13s 72;
        // 20s lies past its end.
        R"(<asset-clip ref="a2" offset="0s" start="10s" duration="4s">
             <marker start="11s" duration="1/24s" value="A" note="soft"/>
             <marker start="12s" duration="1/12s" value="B" completed="1"/>
             <marker start="25/2s" duration="1/24s" value="B2" completed="0"/>
             <chapter-marker start="13s" duration="1/24s" value="C" posterOffset="0s"/>
             <marker start="20s" duration="1/24s" value="late"/>
           </asset-clip>)"));
    ASSERT_TRUE(read.status);
    const TimelineView view = viewOf(*read.composition);
    struct Expected {
        const char* text;
        std::int64_t start;
        std::int64_t duration;
        const char* colour;
    };
    const Expected expected[] = {{"A: soft", 24, 1, "BLUE"},
                                 {"B", 48, 2, "GREEN"},
                                 {"B2", 60, 1, "RED"},
                                 {"C", 72, 1, "ORANGE"}};
    const std::vector<TimelineNote>& notes = view.tracks[0].items[0].notes;
    ASSERT_EQ(notes.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(notes[i].text, expected[i].text);
        EXPECT_EQ(notes[i].range, (FrameRange{expected[i].start, expected[i].duration}))
            << expected[i].text;
        std::array<float, 4> rgba{};
        Interchange::ReviewNotes::namedColour(expected[i].colour, rgba);
        EXPECT_EQ(notes[i].colour.red, rgba[0]) << expected[i].text;
        EXPECT_EQ(notes[i].colour.green, rgba[1]) << expected[i].text;
        EXPECT_EQ(notes[i].colour.blue, rgba[2]) << expected[i].text;
    }
    EXPECT_EQ(lossPlaces(read.losses),
              Lines{"/fcpxml/library/event/project/sequence/spine/asset-clip/marker[4]"});
}

/// A library of two events: "E1" with projects "P1" and "P2", "E2" with "P3";
/// each project's clip lasts its number in seconds.
std::string library() {
    std::string projects[3];
    for (int p = 0; p < 3; ++p)
        projects[p] = "<project name=\"P" + std::to_string(p + 1) +
                      "\"><sequence format=\"r24\"><spine><asset-clip ref=\"a2\" offset=\"0s\" "
                      "start=\"0s\" duration=\"" +
                      std::to_string(p + 1) + "s\"/></spine></sequence></project>";
    return std::string("<fcpxml version=\"1.11\"><resources>") + kResources +
           "</resources><library><event name=\"E1\">" + projects[0] + projects[1] +
           "</event><event name=\"E2\">" + projects[2] + "</event></library></fcpxml>";
}

TEST(FcpxmlRead, EveryProjectIsATimelineTheFirstAnsweringUnlessOneIsChosen) {
    const FcpxmlRead all = readFcpxml(library());
    ASSERT_TRUE(all.status);
    Status status;
    const DmRoot& root = all.composition->getTree(status);
    EXPECT_EQ(root.getChild(0)->getNbChildren(), 3u);
    EXPECT_EQ(viewOf(*all.composition).name, "P1");
    struct Case {
        const char* choice;
        const char* name;
        std::int64_t duration;
    };
    for (const Case& c : {Case{"2", "P2", 48}, Case{"P3", "P3", 72}, Case{"P1", "P1", 24}}) {
        const FcpxmlRead one = readFcpxml(library(), c.choice);
        ASSERT_TRUE(one.status) << c.choice;
        const TimelineView view = viewOf(*one.composition);
        EXPECT_EQ(view.name, c.name);
        EXPECT_EQ(view.duration, c.duration);
        const DmRoot& tree = one.composition->getTree(status);
        EXPECT_EQ(tree.getChild(0)->getNbChildren(), 1u);
    }
    const FcpxmlRead none = readFcpxml(library(), "4");
    EXPECT_EQ(none.status, Status(Status::NoData));
    EXPECT_EQ(none.message,
              "no timeline \"4\": the document holds 3: 1 \"P1\", 2 \"P2\", 3 \"P3\"");
    EXPECT_FALSE(none.composition);
    EXPECT_TRUE(none.losses.empty());
}

TEST(FcpxmlRead, ProjectsOfEventsAndBareProjectsAreRead) {
    const std::string clip =
        R"(<sequence format="r24"><spine><asset-clip ref="a2" offset="0s" start="0s" duration="1s"/></spine></sequence>)";
    const std::string bare = std::string("<fcpxml version=\"1.9\"><resources>") + kResources +
                             "</resources><project name=\"Bare\">" + clip + "</project></fcpxml>";
    const std::string events = std::string("<fcpxml version=\"1.9\"><resources>") + kResources +
                               "</resources><event name=\"E\"><asset-clip ref=\"a2\" "
                               "duration=\"1s\"/><project name=\"InEvent\">" +
                               clip + "</project></event></fcpxml>";
    const FcpxmlRead first = readFcpxml(bare);
    ASSERT_TRUE(first.status);
    EXPECT_EQ(viewOf(*first.composition).name, "Bare");
    const FcpxmlRead second = readFcpxml(events);
    ASSERT_TRUE(second.status);
    EXPECT_EQ(viewOf(*second.composition).name, "InEvent");
    // The event's own clip is no timeline.
    EXPECT_EQ(lossPlaces(second.losses), Lines{"/fcpxml/event/asset-clip"});
}

TEST(FcpxmlRead, OnlyTextThatIsNoFcpxmlProjectFails) {
    struct Case {
        std::string text;
        Status::Type status;
        const char* message;
    };
    const Case cases[] = {
        {"{\"OTIO_SCHEMA\": \"Timeline.1\"}", Status::JsonSyntaxError, "not XML: "},
        {"<fcpxml version=\"1.10\"><resources>", Status::JsonSyntaxError, "not XML: "},
        {"<!DOCTYPE fcpxml [<!ENTITY a \"b\">]><fcpxml/>", Status::JsonSyntaxError, "not XML: "},
        {"<xmeml version=\"5\"/>", Status::JsonConversionFailed,
         "not FCPXML: the root element is <xmeml>, not <fcpxml>"},
        {"<fcpxml version=\"1.10\"><resources/><library><event name=\"E\"/></library></fcpxml>",
         Status::OtioImportFailed, "no timeline: the document holds no project"},
    };
    for (const Case& c : cases) {
        const FcpxmlRead read = readFcpxml(c.text);
        EXPECT_EQ(read.status, Status(c.status)) << c.text;
        EXPECT_EQ(read.message.rfind(c.message, 0), 0u) << read.message;
        EXPECT_FALSE(read.composition) << c.text;
    }
}

TEST(FcpxmlRead, LossesNameTheElementsPath) {
    std::string project2 = R"(<project name="Two"><sequence format="r24"><spine>)";
    for (int i = 0; i < 4; ++i)
        project2 += R"(<asset-clip ref="a2" start="0s" duration="1s">)" +
                    std::string(i == 3 ? R"(<filter-video ref="e1"/>)" : "") + "</asset-clip>";
    project2 += "</spine></sequence></project>";
    const std::string text = std::string("<fcpxml version=\"1.10\"><resources>") + kResources +
                             "</resources><library><event name=\"E\"><project name=\"One\">"
                             "<sequence format=\"r24\"><spine/></sequence></project>" +
                             project2 + "</event><event name=\"F\"/></library></fcpxml>";
    const FcpxmlRead read = readFcpxml(text);
    ASSERT_TRUE(read.status);
    EXPECT_EQ(
        lossPlaces(read.losses),
        Lines{"/fcpxml/library/event[1]/project[2]/sequence/spine/asset-clip[4]/filter-video"});
}

TEST(FcpxmlRead, DefaultsComeFromTheAssetAndTheDocumentsFirstForm) {
    // No start or duration: the asset's (3600s, 1000s); FCPXML 1.8 names
    // the file in the asset's own "src".
    const std::string resources =
        R"(<asset id="old" name="Old" src="file:///m/old.mov" start="0s" duration="10s" hasVideo="1" format="r24"/>)";
    EXPECT_EQ(itemsOfSpine(R"(<asset-clip ref="a1" offset="0s"/>
                              <asset-clip ref="old" start="1s" duration="1s"/>)",
                           nullptr, "", resources),
              (Lines{"Primary storyline 0+24000 clip A1 src 86400@24" + kA1,
                     "Primary storyline 24000+24 clip Old src 24@24 file file:///m/old.mov"}));
}

TEST(FcpxmlRead, ADisabledClipIsKeptDisabledAndReported) {
    const FcpxmlRead read = readFcpxml(
        documentOf(R"(<asset-clip ref="a2" offset="0s" start="0s" duration="1s" enabled="0"/>)"));
    ASSERT_TRUE(read.status);
    EXPECT_EQ(lossesWith(read.losses, "disabled").size(), 1u);
    Status status;
    const DmRoot& root = read.composition->getTree(status);
    const auto* layer = root.getChild(0)->getChild(0)->getChild(0)->getChild(0);
    const auto* segment = dynamic_cast<const DmSegmentNode*>(layer->getChild(0));
    ASSERT_TRUE(segment);
    EXPECT_FALSE(Interchange::ForeignMembers::Leftovers::enabled(*segment));
}

TEST(FcpxmlRead, DeepDocumentsAreReadWithoutRecursion) {
    // 3000 clips each hanging on the one before: lanes 1 to 3000.
    std::string chain;
    for (int i = 0; i < 3000; ++i)
        chain += R"(<asset-clip ref="a2" lane="1" offset="0s" start="0s" duration="1s">)";
    for (int i = 0; i < 3000; ++i)
        chain += "</asset-clip>";
    const FcpxmlRead deep = readFcpxml(documentOf(
        R"(<asset-clip ref="a2" offset="0s" start="0s" duration="1s">)" + chain + "</asset-clip>"));
    ASSERT_TRUE(deep.status);
    EXPECT_EQ(viewOf(*deep.composition).tracks.size(), 3001u);

    // Clips inside clips past the nesting read: offline media, reported.
    std::string nested;
    for (int i = 0; i < 40; ++i)
        nested += R"(<clip offset="0s" start="0s" duration="1s">)";
    nested += R"(<video ref="a2" offset="0s" start="0s" duration="1s"/>)";
    for (int i = 0; i < 40; ++i)
        nested += "</clip>";
    const FcpxmlRead inside = readFcpxml(documentOf(nested));
    ASSERT_TRUE(inside.status);
    EXPECT_EQ(itemsOf(*inside.composition), Lines{"Primary storyline 0+24 clip  src 0@24"});
    EXPECT_EQ(lossesWith(inside.losses, "nested too deeply").size(), 1u);
}

TEST(FcpxmlRead, TimesAreExactFractionsOfASecondInEveryFormWritten) {
    struct Case {
        const char* duration;
        const char* item; ///< what a clip of that duration from a2's 0s places
        bool reported;
    };
    const Case cases[] = {
        {"1s", "Primary storyline 0+24 clip A2 src 0@24", false},
        {"2/1s", "Primary storyline 0+48 clip A2 src 0@24", false},
        {"3/2s", "Primary storyline 0+36 clip A2 src 0@24", false},  // 1.5s: 36 frames
        {"1.25s", "Primary storyline 0+30 clip A2 src 0@24", false}, // decimals too
        {" 1/4s ", "Primary storyline 0+6 clip A2 src 0@24", false}, // space around it
        {"+1s", "Primary storyline 0+24 clip A2 src 0@24", false},
        {"48/48s", "Primary storyline 0+24 clip A2 src 0@24", false}, // reduced
        // No time: read as absent, the asset's 100s (2400), and reported.
        {"1/0s", "Primary storyline 0+2400 clip A2 src 0@24", true},
        {"1", "Primary storyline 0+2400 clip A2 src 0@24", true}, // no unit
        {"1/2/3s", "Primary storyline 0+2400 clip A2 src 0@24", true},
        {"abc", "Primary storyline 0+2400 clip A2 src 0@24", true},
        {"99999999999999999999s", "Primary storyline 0+2400 clip A2 src 0@24", true},
        {"-1s", "", true}, // a negative length: nothing placed
    };
    for (const Case& c : cases) {
        const FcpxmlRead read = readFcpxml(
            documentOf(std::string(R"(<asset-clip ref="a2" offset="0s" start="0s" duration=")") +
                       c.duration + "\"/>"));
        ASSERT_TRUE(read.status) << c.duration;
        const Lines items = itemsOf(*read.composition);
        EXPECT_EQ(items.empty() ? std::string() : items.front(),
                  *c.item ? c.item + kA2 : std::string())
            << c.duration;
        // Reported once, though both the storyline and the clip read it.
        EXPECT_EQ(read.losses.size(), c.reported ? 1u : 0u) << c.duration;
    }
    // An offset before the sequence's start, and negative times in a clip's own time.
    EXPECT_EQ(itemsOfSpine(R"(<asset-clip ref="a2" offset="-1s" start="2s" duration="2s"/>)"),
              Lines{"Primary storyline -24+48 clip A2 src 48@24" + kA2});
}

TEST(FcpxmlRead, AnItemWithoutAnOffsetFollowsTheOneBeforeThroughTransitions) {
    // A 0s-2s; the transition overlaps its last second (1s-2s); B without an
    // offset starts where the transition does. Cut at 1s + 12 frames = 36.
    const FcpxmlRead read = readFcpxml(documentOf(
        R"(<asset-clip ref="a2" offset="0s" name="A" start="0s" duration="2s"/>
           <transition offset="1s" duration="1s"/>
           <asset-clip ref="a2" name="B" start="10s" duration="2s"/>
           <transition duration="1/2s"/>
           <asset-clip ref="a2" name="C" start="20s" duration="1s"/>)"));
    ASSERT_TRUE(read.status);
    // B 1s-3s; the second transition, without an offset, overlaps B's last
    // half second (2.5s-3s, 60-72), and C starts there; cut at 60 + 6 = 66,
    // C's 20s + 6 frames (486).
    EXPECT_EQ(itemsOf(*read.composition),
              (Lines{"Primary storyline 0+36 clip A src 0@24" + kA2,
                     "Primary storyline 36+30 clip B src 252@24" + kA2,
                     "Primary storyline 66+18 clip C src 486@24" + kA2}));
    const TimelineView view = viewOf(*read.composition);
    ASSERT_EQ(view.tracks[0].transitions.size(), 2u);
    EXPECT_EQ(view.tracks[0].transitions[1].cut, 66);
    EXPECT_EQ(view.tracks[0].transitions[1].inOffset, 6);
    EXPECT_EQ(view.tracks[0].transitions[1].outOffset, 6);
}

TEST(FcpxmlRead, ATransitionInASecondaryStorylineStaysOnItsLane) {
    const FcpxmlRead read = readFcpxml(documentOf(
        R"(<asset-clip ref="a1" offset="0s" start="3600s" duration="10s">
             <spine lane="2" offset="3601s">
               <asset-clip ref="a2" offset="0s" start="0s" duration="2s"/>
               <transition offset="1s" duration="1s"/>
               <asset-clip ref="a2" offset="1s" start="5s" duration="2s"/>
             </spine>
           </asset-clip>)"));
    ASSERT_TRUE(read.status);
    // The storyline starts at record 1s (24); its cut at its 1s + 12 frames:
    // record 60.
    const TimelineView view = viewOf(*read.composition);
    ASSERT_EQ(view.tracks.size(), 2u);
    EXPECT_EQ(view.tracks[1].name, "Video lane 2");
    ASSERT_EQ(view.tracks[1].transitions.size(), 1u);
    EXPECT_EQ(view.tracks[1].transitions[0].cut, 60);
    EXPECT_TRUE(view.tracks[0].transitions.empty());
}

TEST(FcpxmlRead, SoundOnlyItemsOfTheStorylineGoOnItsSoundTrack) {
    // a3 has sound only; a1's clip asks for its sound only.
    EXPECT_EQ(itemsOfSpine(R"(<asset-clip ref="a2" offset="0s" start="0s" duration="1s"/>
                              <asset-clip ref="a3" offset="1s" start="0s" duration="1s"/>
                              <asset-clip ref="a1" offset="2s" start="3600s" duration="1s" srcEnable="audio"/>
                              <audio ref="a1" offset="3s" start="3601s" duration="1s"/>)"),
              (Lines{"Primary storyline 0+24 clip A2 src 0@24" + kA2, "Audio lane 0 0+24 gap",
                     "Audio lane 0 24+24 clip A3 src 0@24 file file:///m/a3.wav",
                     "Audio lane 0 48+24 clip A1 src 86400@24" + kA1,
                     "Audio lane 0 72+24 clip A1 src 86424@24" + kA1}));
}

TEST(FcpxmlRead, WhatAnItemRefersToThatIsNotThereIsOfflineAndReported) {
    Lines losses;
    const Lines items =
        itemsOfSpine(R"(<asset-clip ref="nowhere" offset="0s" name="Lost" start="5s" duration="1s"/>
                        <mc-clip ref="nowhere" offset="1s" name="MC" duration="1s"/>
                        <audition offset="2s"/>
                        <caption offset="2s" duration="1s"/>)",
                     &losses);
    EXPECT_EQ(items, (Lines{"Primary storyline 0+24 clip Lost src 120@24",
                            "Primary storyline 24+24 clip MC src 0@24"}));
    EXPECT_EQ(lossPlaces(losses), (Lines{"/fcpxml/library/event/project/sequence/spine/asset-clip",
                                         "/fcpxml/library/event/project/sequence/spine/mc-clip",
                                         "/fcpxml/library/event/project/sequence/spine/audition",
                                         "/fcpxml/library/event/project/sequence/spine/caption"}));
}

TEST(FcpxmlRead, TheCompositionKeepsWhatTheSequenceSaysForWritingBack) {
    const FcpxmlRead read = readFcpxml(documentOf(
        R"(<asset-clip ref="a2" offset="0s" start="0s" duration="1s"/>)",
        R"(format="r2997" tcStart="0s" tcFormat="NDF" audioLayout="stereo" audioRate="48k" )"
        R"(renderFormat="FFRenderFormatProRes422" keywords="day one")"));
    ASSERT_TRUE(read.status);
    const std::string written = writeFcpxml(*read.composition, 10);
    // Written back as it came, non-drop frame at 29.97 included.
    for (const char* said :
         {"tcFormat=\"NDF\"", "audioLayout=\"stereo\"", "audioRate=\"48k\"",
          "renderFormat=\"FFRenderFormatProRes422\"", "keywords=\"day one\"", "<event name=\"E\">",
          "<project name=\"P\">", "frameDuration=\"1001/30000s\""})
        EXPECT_NE(written.find(said), std::string::npos) << said << "\n" << written;
    // Said once: no drop frame added beside the kept non-drop frame.
    EXPECT_EQ(written.find("tcFormat=\"DF\""), std::string::npos) << written;
}

TEST(FcpxmlRead, TheSequencesFormatSizesThePictureWhenItGivesBothSides) {
    // The composition's picture size (its edit-tree JSON's resolution) is the
    // format's width and height when both are whole numbers from 1 to 999999;
    // a format missing either, or giving one that is none, leaves it unset.
    struct Case {
        const char* format; ///< the attributes of the sequence's format besides its id
        const char* size;   ///< "WIDTH HEIGHT" as the JSON gives them
    };
    const Case cases[] = {
        {R"(frameDuration="1/24s" width="1920" height="1080")", "1920 1080"},
        {R"(frameDuration="1/24s" width="1" height="999999")", "1 999999"},
        {R"(frameDuration="1/24s" width="1920")", "null null"},
        {R"(frameDuration="1/24s" height="1080")", "null null"},
        {R"(frameDuration="1/24s" width="0" height="1080")", "null null"},
        {R"(frameDuration="1/24s" width="1920" height="1000000")", "null null"},
        {R"(frameDuration="1/24s" width="1920" height="tall")", "null null"},
        {R"(frameDuration="1/24s")", "null null"},
    };
    const auto text = [](const rapidjson::Value& value) {
        return value.IsInt() ? std::to_string(value.GetInt()) : std::string("null");
    };
    for (const Case& c : cases) {
        const FcpxmlRead read = readFcpxml(documentOf(
            R"(<asset-clip ref="a2" offset="0s" start="0s" duration="1s"/>)",
            R"(format="f" tcStart="0s")", std::string(R"(<format id="f" )") + c.format + "/>"));
        ASSERT_TRUE(read.status) << read.message;
        String json;
        ASSERT_TRUE(read.composition->getJson(Composition::JsonType::DmTree, json));
        rapidjson::Document document;
        document.Parse(json.c_str(), json.size());
        ASSERT_FALSE(document.HasParseError());
        const rapidjson::Value& resolution =
            document["tree"]["children"][0]["children"][0]["resolution"];
        ASSERT_TRUE(resolution.IsObject()) << json.c_str();
        EXPECT_EQ(text(resolution["width"]) + " " + text(resolution["height"]), c.size) << c.format;
    }
}

TEST(FcpxmlRead, MediaCountsAtTheRateThatHoldsItsTimes) {
    const std::string resources =
        R"(<asset id="s48" name="S48" start="0s" duration="10s" hasAudio="1" audioRate="48k"><media-rep src="file:///m/s.wav"/></asset>
           <asset id="s44" name="S44" start="0s" duration="10s" hasAudio="1" audioRate="44.1k"><media-rep kind="proxy-media" src="file:///m/p.wav"/><media-rep src="file:///m/t.wav"/></asset>
           <asset id="odd" name="Odd" start="0s" duration="10s" hasAudio="1"><media-rep src="file:///m/o.wav"/></asset>
           <asset id="v25" name="V25" start="0s" duration="10s" hasVideo="1"><media-rep src="file:///m/v.mov"/></asset>)";
    // Sound from 1/48000s: its samples (48k). From 1/44100s at 44.1k. From
    // 1/1000s without a sample rate: the lowest rate holding it and every
    // frame of 24: 3000. A picture without a format conformed from 25:
    // its frames of 1/25s, frame for frame at 24 (4s is frame 100).
    EXPECT_EQ(itemsOfSpine(R"(<asset-clip ref="a2" offset="0s" start="0s" duration="4s">
                                <asset-clip ref="s48" lane="-1" offset="0s" start="1/48000s" duration="1s"/>
                                <asset-clip ref="s44" lane="-2" offset="0s" start="1/44100s" duration="1s"/>
                                <asset-clip ref="odd" lane="-3" offset="0s" start="1/1000s" duration="1s"/>
                              </asset-clip>
                              <asset-clip ref="v25" offset="4s" start="4s" duration="1s"><conform-rate srcFrameRate="25"/></asset-clip>)",
                           nullptr, "", resources),
              (Lines{"Primary storyline 0+96 clip A2 src 0@24" + kA2,
                     "Primary storyline 96+24 clip V25 src 100@24 file file:///m/v.mov",
                     "Audio lane -1 0+24 clip S48 src 1@48000 file file:///m/s.wav",
                     "Audio lane -2 0+24 clip S44 src 1@44100 file file:///m/t.wav",
                     "Audio lane -3 0+24 clip Odd src 3@3000 file file:///m/o.wav"}));
}

TEST(FcpxmlRead, ResourcesOfOneIdAreReadOnce) {
    Lines losses;
    const std::string resources =
        R"(<asset id="a2" name="Again" start="0s" duration="1s" hasVideo="1"><media-rep src="file:///m/again.mov"/></asset>
           <effect id="r24" name="Clash" uid="x"/>
           <format id="bad" frameDuration="0s"/>)";
    EXPECT_EQ(itemsOfSpine(R"(<asset-clip ref="a2" offset="0s" start="1s" duration="1s"/>)",
                           &losses, "", resources),
              Lines{"Primary storyline 0+24 clip A2 src 24@24" + kA2});
    EXPECT_EQ(lossPlaces(losses),
              (Lines{"/fcpxml/resources/format[5]", "/fcpxml/resources/asset[5]",
                     "/fcpxml/resources/effect[2]"}));
}

TEST(FcpxmlRead, TimeMapsAreReadLinearlyBetweenTheirPoints) {
    struct Case {
        const char* points;
        const char* start;
        const char* item;
    };
    const Case cases[] = {
        // Before the first point: held at its value (2s, 48).
        {R"(<timept time="5s" value="2s"/><timept time="15s" value="12s"/>)", "1s",
         "Primary storyline 0+24 clip A2 src 48@24"},
        // Past the last: held at its value (12s, 288).
        {R"(<timept time="5s" value="2s"/><timept time="15s" value="12s"/>)", "20s",
         "Primary storyline 0+24 clip A2 src 288@24"},
        // Between the second and third: 10s + (12-10)/(20-10) × (20s-10s) = 12s.
        {R"(<timept time="0s" value="0s"/><timept time="10s" value="10s"/><timept time="20s" value="20s"/>)",
         "12s", "Primary storyline 0+24 clip A2 src 288@24"},
        // A point out of order and one that is no time are left out (reported).
        {R"(<timept time="0s" value="0s"/><timept time="10s" value="5s"/><timept time="5s" value="1s"/><timept time="x" value="1s"/>)",
         "4s", "Primary storyline 0+24 clip A2 src 48@24"},
    };
    for (const Case& c : cases) {
        Lines losses;
        EXPECT_EQ(itemsOfSpine(std::string(R"(<asset-clip ref="a2" offset="0s" start=")") +
                                   c.start + R"(" duration="1s"><timeMap>)" + c.points +
                                   "</timeMap></asset-clip>",
                               &losses),
                  Lines{c.item + kA2})
            << c.points << " at " << c.start;
    }
    Lines losses;
    itemsOfSpine(
        std::string(R"(<asset-clip ref="a2" offset="0s" start="4s" duration="1s"><timeMap>)") +
            cases[3].points + "</timeMap></asset-clip>",
        &losses);
    EXPECT_EQ(lossesWith(losses, "not read").size(), 2u);
    // A map of slope 1 only moves the start, wherever its first point lies:
    // nothing is lost.
    for (const char* points :
         {R"(<timept time="0s" value="3s"/><timept time="10s" value="13s"/>)",
          R"(<timept time="5s" value="2s"/><timept time="15s" value="12s"/>)"}) {
        itemsOfSpine(
            std::string(R"(<asset-clip ref="a2" offset="0s" start="6s" duration="1s"><timeMap>)") +
                points + "</timeMap></asset-clip>",
            &losses);
        EXPECT_TRUE(losses.empty()) << points;
    }
}

TEST(FcpxmlRead, AMulticamClipOfSoundOnlyPlaysItsActiveSoundAngle) {
    const std::string multicam =
        R"(<media id="m1" name="MC"><multicam format="r24">
             <mc-angle name="Cam A" angleID="A"><asset-clip ref="a2" offset="0s" start="0s" duration="100s"/></mc-angle>
             <mc-angle name="Mic" angleID="B"><asset-clip ref="a3" offset="0s" start="0s" duration="100s"/></mc-angle>
           </multicam></media>)";
    // Sound only: angle B's a3 at 3s (72); no source: the first angle, a2 at 1s.
    EXPECT_EQ(
        itemsOfSpine(
            R"(<mc-clip ref="m1" offset="0s" name="S" start="3s" duration="1s" srcEnable="audio">
                                <mc-source angleID="A" srcEnable="video"/><mc-source angleID="B" srcEnable="audio"/>
                              </mc-clip>
                              <mc-clip ref="m1" offset="1s" name="P" start="1s" duration="1s"/>
                              <mc-clip ref="m1" offset="2s" name="Q" start="1s" duration="1s"><mc-source angleID="Z"/></mc-clip>)",
            nullptr, "", multicam),
        (Lines{"Primary storyline 0+24 gap", "Primary storyline 24+24 clip P src 24@24" + kA2,
               "Primary storyline 48+24 clip Q src 24@24",
               "Audio lane 0 0+24 clip S src 72@24 file file:///m/a3.wav"}));
}

TEST(FcpxmlRead, TimesNoRateHoldsAreRoundedToTheSequencesFramesAndReported) {
    // y ends 1/199999s after 2s: no rate up to 192000 holds that, so the
    // timeline stays at 24 and y's end is rounded to frame 48. Only y is
    // reported: x and z lie on frames of 24 (z at 3s, frame 72).
    Lines losses;
    const Lines items = itemsOfSpine(
        R"(<asset-clip ref="a2" offset="0s" name="x" start="0s" duration="1s"/>
           <asset-clip ref="a2" offset="1s" name="y" start="0s" duration="200000/199999s"/>
           <asset-clip ref="a2" offset="3s" name="z" start="0s" duration="1s"/>)",
        &losses);
    EXPECT_EQ(items,
              (Lines{"Primary storyline 0+24 clip x src 0@24" + kA2,
                     "Primary storyline 24+24 clip y src 0@24" + kA2, "Primary storyline 48+24 gap",
                     "Primary storyline 72+24 clip z src 0@24" + kA2}));
    EXPECT_EQ(lossPlaces(lossesWith(losses, "between frames")),
              Lines{"/fcpxml/library/event/project/sequence/spine/asset-clip[2]"});
}

TEST(FcpxmlRead, EveryConformedRateCountsTheMediasOwnFrames) {
    // v has picture and no format: its rate is what the conform-rate says.
    // Conformed to 24, its frame at 10s (whole rates) or 10.01s (NTSC rates)
    // is counted at 24: 10s × 25 = 250, 10.01s × 24000/1001 = 240, .... At
    // 24 there is nothing to conform: 10s is frame 240 of 24.
    const std::string resources =
        R"(<asset id="v" name="V" start="0s" duration="100s" hasVideo="1"><media-rep src="file:///m/v.mov"/></asset>)";
    struct Case {
        const char* rate;
        const char* start;
        int frame;
    };
    const Case cases[] = {{"23.98", "1001/100s", 240},
                          {"24", "10s", 240},
                          {"25", "10s", 250},
                          {"29.97", "1001/100s", 300},
                          {"30", "10s", 300},
                          {"47.95", "1001/100s", 480},
                          {"48", "10s", 480},
                          {"50", "10s", 500},
                          {"59.94", "1001/100s", 600},
                          {"60", "10s", 600},
                          {"90", "10s", 900},
                          {"100", "10s", 1000},
                          {"119.88", "1001/100s", 1200},
                          {"120", "10s", 1200}};
    for (const Case& c : cases)
        EXPECT_EQ(itemsOfSpine(std::string(R"(<asset-clip ref="v" offset="0s" start=")") + c.start +
                                   R"(" duration="1s"><conform-rate srcFrameRate=")" + c.rate +
                                   R"("/></asset-clip>)",
                               nullptr, "", resources),
                  Lines{"Primary storyline 0+24 clip V src " + std::to_string(c.frame) +
                        "@24 file file:///m/v.mov"})
            << c.rate;
}

TEST(FcpxmlRead, AnItemPlayingPastTheLatestFrameIsReportedNotRead) {
    // 2^62 s is a whole number of seconds, but 24 × 2^62 frames is more than
    // any timeline counts: the clip is left out and named; y before it stays.
    Lines losses;
    const Lines items = itemsOfSpine(
        R"(<asset-clip ref="a2" offset="0s" name="y" start="0s" duration="1s"/>
           <asset-clip ref="a2" offset="1s" name="x" start="0s" duration="4611686018427387904s"/>)",
        &losses);
    EXPECT_EQ(items, Lines{"Primary storyline 0+24 clip y src 0@24" + kA2});
    EXPECT_EQ(lossPlaces(lossesWith(losses, "beyond the latest frame")),
              Lines{"/fcpxml/library/event/project/sequence/spine/asset-clip[2]"});
}

} // namespace
} // namespace ZEM_0_81::test::fcpx
