// Writing EDLs: the text written for lists read here and for compositions of
// the other dialects, what it reports it cannot hold, and that what it writes
// reads back the same. Frames at 24 frames a second unless a case says
// otherwise.

#include "composition/Timecode.h"
#include "interchange/StandardOtio.h"
#include "interchange/TimelineView.h"
#include "interchange/edl/WrittenEvents.h"
#include "outside/dmtree/DmTree.h"
#include "tests/interchange/edl/EdlTestSupport.h"
#include "tests/interchange/otiostd/InterchangeTestSupport.h"
#include "tests/outside/dmtree/DmTestTree.h"
#include "tests/support/OtioText.h"
#include "tests/support/TestData.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace ZEM_0_81::test {
namespace {

using Lines = std::vector<std::string>;

SharedPtr<Composition> compositionOf(const std::string& edl, const Rational& rate = Rational()) {
    const EdlRead read = readEdl(edl, rate);
    EXPECT_TRUE(read.status) << read.message;
    return read.composition;
}

/// A standard OTIO timeline at `rate` from 01:00:00:00 whose one video track
/// holds a gap of one second, then `clip`.
std::string oneClipAfterASecond(double rate, const std::string& clip) {
    return R"({"OTIO_SCHEMA":"Timeline.1","name":"t","global_start_time":)" +
           rationalTime(3600 * rate, rate) +
           R"(,"tracks":{"OTIO_SCHEMA":"Stack.1","children":[{"OTIO_SCHEMA":"Track.1",
           "name":"V1","kind":"Video","children":[{"OTIO_SCHEMA":"Gap.1","source_range":)" +
           timeRange(0, rate, rate) + "}," + clip + "]}]}}";
}

/// A clip of one second from 00:00:10:00 in its media at `rate`, with `more`
/// members.
std::string tenSecondsIn(double rate, const std::string& more) {
    return R"({"OTIO_SCHEMA":"Clip.2","name":"shot","source_range":)" +
           timeRange(10 * rate, rate, rate) +
           R"(,"media_references":{"DEFAULT_MEDIA":{"OTIO_SCHEMA":"ExternalReference.1",
           "target_url":"/media/A001C003_220101.mov"}},"active_media_reference_key":"DEFAULT_MEDIA")" +
           more + "}";
}

/// The lines of `text` that start with `prefix`.
Lines linesStartingWith(const std::string& text, const std::string& prefix) {
    Lines found;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = std::min(text.find('\n', at), text.size());
        if (text.compare(at, prefix.size(), prefix) == 0)
            found.push_back(text.substr(at, end - at));
        at = end + 1;
    }
    return found;
}

TEST(EdlWrite, ListsSayTheirRateAndFrameCount) {
    struct Case {
        Rational rate;
        bool nonDrop;
        const char* expected;
    };
    // One clip at record frame 107892 for 24 frames: 01:14:55:12 at 24 (107892 =
    // 4495 x 24 + 12), 01:11:55:17 at 25 (4315 x 25 + 17), 00:59:56:12 non-drop at
    // 29.97 (3596 x 30 + 12), 01:00:00;00 drop frame, and at 59.94 drop frame
    // three blocks of ten minutes (35964 frames each): 00:30:00;00.
    const std::string list = "TITLE: rates\n001 AX V C 0 24 107892 107916\n";
    const std::string event = "001  AX       V     C        ";
    const Case cases[] = {
        {Rational(24, 1), false, "00:00:00:00 00:00:01:00 01:14:55:12 01:14:56:12"},
        {Rational(24000, 1001), false, "00:00:00:00 00:00:01:00 01:14:55:12 01:14:56:12"},
        {Rational(25, 1), false, "00:00:00:00 00:00:00:24 01:11:55:17 01:11:56:16"},
        {Rational(30000, 1001), false, "00:00:00;00 00:00:00;24 01:00:00;00 01:00:00;24"},
        {Rational(30000, 1001), true, "00:00:00:00 00:00:00:24 00:59:56:12 00:59:57:06"},
        {Rational(60000, 1001), false, "00:00:00;00 00:00:00;24 00:30:00;00 00:30:00;24"},
    };
    for (const Case& c : cases) {
        Edl::WriteOptions options;
        options.nonDropFrame = c.nonDrop;
        const std::string fcm = !Timecode::isDropFrame(c.rate) ? ""
                                : c.nonDrop                    ? "FCM: NON-DROP FRAME\n"
                                                               : "FCM: DROP FRAME\n";
        EXPECT_EQ(writeEdl(*compositionOf(list, c.rate), options),
                  "TITLE: rates\n" + fcm + "\n" + event + c.expected + "\n* FROM CLIP NAME: AX\n")
            << c.rate.getNumerator();
    }
}

TEST(EdlWrite, TimecodesAsLongAsAListCountsReadBack) {
    struct Case {
        Rational rate;
        std::int64_t recordIn; ///< frames, for 24 of them
        const char* timecode;
    };
    // Hours of seven and nine digits, the last 24 frames below 2^40 at a frame a
    // second ((2^40 - 25) s = 305419896 h 35 min 51 s), frames of four digits.
    const Case cases[] = {
        {Rational(24, 1), (3073559LL * 3600 + 90) * 24, "3073559:01:30:00"},
        {Rational(1, 1), (1LL << 40) - 25, "305419896:35:51:00"},
        {Rational(1200, 1), 2399, "00:00:01:1199"},
    };
    for (const Case& c : cases) {
        const std::string list = "TITLE: long\n001 AX V C 0 24 " + std::to_string(c.recordIn) +
                                 " " + std::to_string(c.recordIn + 24) + "\n";
        const SharedPtr<Composition> first = compositionOf(list, c.rate);
        std::vector<std::string> losses;
        const std::string written = writeEdl(*first, {}, &losses);
        EXPECT_NE(written.find(std::string(" ") + c.timecode + " "), std::string::npos) << written;
        EXPECT_TRUE(losses.empty()) << losses.front();
        const SharedPtr<Composition> again = compositionOf(written, c.rate);
        EXPECT_EQ(itemsOf(*again), itemsOf(*first)) << c.timecode;
        EXPECT_EQ(writeEdl(*again), written);
    }
}

TEST(EdlWrite, EverythingAListSaysComesBackInOneForm) {
    const std::string list = "TITLE: rich\n"
                             "FCM: NON-DROP FRAME\n"
                             "001 A001 B C 01:00:00:00 01:00:02:00 00:00:00:00 00:00:02:00\n"
                             "* FROM CLIP NAME: shot one\n"
                             "* SOURCE FILE: /media/A001.mov\n"
                             "*ASC_SOP (1.1 1 0.9)(0.01 0 -0.02)(1 1 1)\n"
                             "*ASC_SAT 0.8\n"
                             "* LOC: 00:00:01:00 red check focus\n"
                             "* LOC: 00:00:01:12 no colour\n"
                             "* a plain remark\n"
                             "002 A001 V C 01:00:02:00 01:00:02:00 00:00:02:00 00:00:02:00\n"
                             "002 B002 V D 12 02:00:00:00 02:00:02:00 00:00:02:00 00:00:04:00\n"
                             "* FROM CLIP NAME: shot one\n"
                             "* TO CLIP NAME: shot two\n"
                             "003 C003 V W012 10 03:00:00:00 03:00:01:00 00:00:04:00 00:00:05:00\n"
                             "M2   C003       048.0                03:00:00:00\n"
                             "004 BL V C 0 24 00:00:05:00 00:00:06:00\n"
                             "005 D004 AA C 04:00:00:00 04:00:01:00 00:00:04:00 00:00:05:00\n"
                             "AUD 3\n"
                             "006 E005 A4 C 0 26 00:00:06:00 00:00:07:00\n";
    // Sorted by record in, the picture first; the look on both clips of 001 and
    // the notes on its first; the wipe's outgoing line from the clip before it;
    // the speed as it came; a locator without a colour green; E005's own source
    // out kept.
    const std::string expected =
        "TITLE: rich\n"
        "\n"
        "001  A001     B     C        01:00:00:00 01:00:02:00 00:00:00:00 00:00:02:00\n"
        "* FROM CLIP NAME: shot one\n"
        "* SOURCE FILE: /media/A001.mov\n"
        "*ASC_SOP (1.100000 1.000000 0.900000) (0.010000 0.000000 -0.020000) "
        "(1.000000 1.000000 1.000000)\n"
        "*ASC_SAT 0.800000\n"
        "* LOC: 00:00:01:00 red check focus\n"
        "* LOC: 00:00:01:12 GREEN no colour\n"
        "* a plain remark\n"
        "002  A001     V     C        01:00:02:00 01:00:02:00 00:00:02:00 00:00:02:00\n"
        "002  B002     V     D    012 02:00:00:00 02:00:02:00 00:00:02:00 00:00:04:00\n"
        "* FROM CLIP NAME: shot one\n"
        "* TO CLIP NAME: shot two\n"
        "003  B002     V     C        02:00:02:00 02:00:02:00 00:00:04:00 00:00:04:00\n"
        "003  C003     V     W012 010 03:00:00:00 03:00:01:00 00:00:04:00 00:00:05:00\n"
        "* FROM CLIP NAME: shot two\n"
        "* TO CLIP NAME: C003\n"
        "M2   C003       048.0                03:00:00:00\n"
        "004  D004     AA    C        04:00:00:00 04:00:01:00 00:00:04:00 00:00:05:00\n"
        "AUD 3\n"
        "* FROM CLIP NAME: D004\n"
        "005  BL       V     C        00:00:00:00 00:00:01:00 00:00:05:00 00:00:06:00\n"
        "006  E005     A4    C        00:00:00:00 00:00:01:02 00:00:06:00 00:00:07:00\n"
        "* FROM CLIP NAME: E005\n";
    const SharedPtr<Composition> first = compositionOf(list);
    std::vector<std::string> losses;
    const std::string written = writeEdl(*first, {}, &losses);
    EXPECT_EQ(written, expected);
    EXPECT_TRUE(losses.empty()) << losses.front();
    const SharedPtr<Composition> again = compositionOf(written);
    EXPECT_EQ(writeEdl(*again), written);
    EXPECT_EQ(itemsOf(*again), itemsOf(*first));
}

TEST(EdlWrite, TracksTakeTheirChannelsAndTheRestIsReported) {
    // An audio track named A2 keeps its channel, the two named after none take
    // the free ones, A1 and A3; a second video track is left out. The clips
    // alike on V, A1 and A3 are one event.
    const std::string standard = R"({"OTIO_SCHEMA":"Timeline.1","name":"mix",
        "global_start_time":{"OTIO_SCHEMA":"RationalTime.1","rate":24,"value":0},
        "tracks":{"OTIO_SCHEMA":"Stack.1","children":[
          {"OTIO_SCHEMA":"Track.1","name":"picture","kind":"Video","children":[CLIP]},
          {"OTIO_SCHEMA":"Track.1","name":"other picture","kind":"Video","children":[CLIP]},
          {"OTIO_SCHEMA":"Track.1","name":"A2","kind":"Audio","children":[OTHER]},
          {"OTIO_SCHEMA":"Track.1","name":"dialogue","kind":"Audio","children":[CLIP]},
          {"OTIO_SCHEMA":"Track.1","name":"music","kind":"Audio","children":[CLIP]}]}})";
    const std::string clip =
        R"({"OTIO_SCHEMA":"Clip.2","name":"shot","source_range":{"OTIO_SCHEMA":"TimeRange.1",
        "start_time":{"OTIO_SCHEMA":"RationalTime.1","rate":24,"value":240},
        "duration":{"OTIO_SCHEMA":"RationalTime.1","rate":24,"value":24}},
        "media_references":{"DEFAULT_MEDIA":{"OTIO_SCHEMA":"ExternalReference.1",
        "target_url":"/media/A001C003_220101.mov"}},"active_media_reference_key":"DEFAULT_MEDIA"})";
    std::string text = standard;
    for (std::size_t at = text.find("CLIP"); at != std::string::npos; at = text.find("CLIP"))
        text.replace(at, 4, clip);
    std::string other = clip;
    other.replace(other.find("\"shot\""), 6, "\"other\"");
    text.replace(text.find("OTHER"), 5, other);
    LossReport read;
    const SharedPtr<Composition> composition = readStandard(text, read);
    ASSERT_TRUE(composition);
    std::vector<std::string> losses;
    EXPECT_EQ(writeEdl(*composition, {}, &losses),
              "TITLE: mix\n\n"
              "001  A001C003 B     C        00:00:10:00 00:00:11:00 00:00:00:00 00:00:01:00\n"
              "AUD 3\n"
              "* FROM CLIP NAME: shot\n"
              "* SOURCE FILE: /media/A001C003_220101.mov\n"
              "002  A001C003 A2    C        00:00:10:00 00:00:11:00 00:00:00:00 00:00:01:00\n"
              "* FROM CLIP NAME: other\n"
              "* SOURCE FILE: /media/A001C003_220101.mov\n");
    EXPECT_EQ(losses,
              Lines{"track other picture | track | left out: an EDL holds one video track"});

    // The second video track, asked for, with reels up to 32 characters.
    Edl::WriteOptions options;
    options.track = 1;
    options.reelLength = 32;
    const std::string second = writeEdl(*composition, options, &losses);
    EXPECT_EQ(second.rfind("TITLE: mix\n\n001  A001C003_220101  ", 0), 0u) << second;
    EXPECT_EQ(losses, Lines{"track picture | track | left out: an EDL holds one video track"});
    // An audio track is no video track to write.
    options.track = 2;
    String out;
    LossReport report;
    EXPECT_EQ(Edl::write(*composition, options, out, report).getCode(),
              Status::JsonConversionFailed);
}

TEST(EdlWrite, OnlyTheShownCompositionIsWritten) {
    // Two compositions of one clip each, sh040_plate_v001 for 100 frames: the
    // list holds the first's, with the losses of its own effects, and nothing
    // of the second.
    std::vector<std::string> losses;
    const std::string written =
        writeEdl(*fromDmTree(readTestData("export/two-compositions.dmtree.json")), {}, &losses);
    EXPECT_EQ(written.substr(0, written.find('\n')), "TITLE: Graded shot");
    EXPECT_EQ(
        linesStartingWith(written, "00"),
        Lines{"001  sh040_pl V     C        00:00:00:00 00:00:04:00 00:00:00:00 00:00:04:00"});
    EXPECT_EQ(losses,
              (Lines{"track V1, 00:00:00:00 | AngularMask | left out: an EDL holds no masks",
                     "track V1, 00:00:00:00 | Comp | left out: an EDL holds no compositing"}));
}

TEST(EdlWrite, TheTrackAskedForMustBeVideo) {
    // A list of sound alone: its first track, A1, is no video track to write.
    const SharedPtr<Composition> sound = compositionOf("TITLE: sound\n001 R A C 0 24 0 24\n");
    for (const std::int32_t track : {0, 1, 5}) {
        Edl::WriteOptions options;
        options.track = track;
        String out("untouched");
        LossReport report;
        String message;
        EXPECT_EQ(Edl::write(*sound, options, out, report, &message).getCode(),
                  Status::JsonConversionFailed)
            << track;
        EXPECT_EQ(std::string(message.c_str()),
                  "track " + std::to_string(track) + " is not a video track of the composition");
    }
}

TEST(EdlWrite, AStartPastWhatADoubleHoldsCountsFromZero) {
    // The composition starts at 1e308 frames at 24, past what a double holds
    // at its own rate, 48: black leads in from frame 0 to its clip at 10.
    const std::string tree =
        R"({"format": "KRdmtree-json", "version": 1, "tree": {"kind": "root", "name": "", )"
        R"("children": [{"kind": "reel", "name": "", "children": [{"kind": "composition", )"
        R"("name": "t", "fcm": "48", "startTC": 1e308, "startTcFcm": "24", "length": 24.0, )"
        R"("resolution": {"centerX": null, "centerY": null, "sizeX": null, "sizeY": null, )"
        R"("width": null, "height": null, "depth": null, "frameRatio": null}, )"
        R"("children": [{"kind": "track", "name": "", "index": 0, "mediaType": 1, )"
        R"("children": [{"kind": "layer", "name": "V", "index": 0, "mediaType": 1, "parameter": 0, )"
        R"("firstLayer": true, "startTC": 10.0, "length": 24.0, "children": [{"kind": "source", )"
        R"("name": "A", "properties": [[1330924868, 13, "{\"cmx_3600\":{\"reel\":\"A\"}}"]], )"
        R"("recIn": 10.0, "recLength": 24.0, "segmentId": "", "mediaType": 0, "effects": [], )"
        R"("relIn": 0.0, "flag1": true, "flag2": false, "inputs": [{"kind": "media", )"
        R"("properties": [[1330924623, 13, "{\"null\":[\"available_range\"]}"]], "availIn": 0.0, )"
        R"("availLength": 24.0, "fcm": "24", "mediaType": 1, "flag": true, "sourceInfo": null, )"
        R"("primaryRes": null, "audio": null, "extraData": []}], "children": []}]}]}]}]}]}})";
    EXPECT_EQ(writeEdl(*fromDmTree(tree)),
              "TITLE: t\n\n"
              "001  BL       V     C        00:00:00:00 00:00:00:10 00:00:00:00 00:00:00:10\n"
              "002  A        V     C        00:00:00:00 00:00:00:24 00:00:00:10 00:00:00:34\n"
              "* FROM CLIP NAME: A\n");
}

TEST(EdlWrite, ReelsAreMadeFromTheMediaFileName) {
    struct Case {
        const char* path;
        std::uint32_t length;
        const char* reel;
    };
    const Case cases[] = {
        {"/media/A001C003_220101.mov", 8, "A001C003"},
        {"/media/A001C003_220101.mov", 32, "A001C003_220101"},
        {"C:\\media\\my clip (v2).mxf", 8, "myclipv2"},
        {"file:///a/b.c/shot.01.exr", 8, "shot01"},
        {"/media/.hidden", 8, "hidden"},
        {"/media/---.mov", 8, "AX"},
        {"", 8, "AX"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Interchange::Cmx::reelFromFile(c.path, c.length), c.reel) << c.path;
}

TEST(EdlWrite, WhatAListCannotHoldIsReported) {
    std::vector<std::string> losses;
    writeEdl(*fromProductOtio(readExample("graded-shot.otio.json")), {}, &losses);
    EXPECT_EQ(losses,
              (Lines{"track V1, 00:00:00:00 | AngularMask | left out: an EDL holds no masks",
                     "track V1, 00:00:00:00 | Comp | left out: an EDL holds no compositing"}));
    writeEdl(*fromProductOtio(readExample("review-notes.otio.json")), {}, &losses);
    Lines schemas;
    for (const std::string& loss : losses)
        schemas.push_back(
            loss.substr(loss.find(" | ") + 3, loss.rfind(" | ") - loss.find(" | ") - 3));
    EXPECT_EQ(schemas, (Lines{"paint", "note", "note", "paint"}));

    // A tree without a composition has nothing to write.
    const CoSharedPtr<DmRoot> empty(DmRoot::create());
    String out;
    LossReport report;
    EXPECT_EQ(Edl::write(*fromTree(*empty), {}, out, report).getCode(), Status::NoData);
}

TEST(EdlWrite, TransitionsAreWrittenAsAnEdlHoldsThemAndTheRestReported) {
    struct Case {
        const char* type;
        double inOffset, outOffset;
        const char* code; ///< the transition and duration fields of the second event
        const char* loss; ///< the start of what is reported, or ""
        double rate = 24; ///< of both offsets
    };
    const Case cases[] = {
        {"SMPTE_Dissolve", 0, 12, "D    012", ""},
        // Frames at the list's rate, to the nearest: 12.5 is 13, 12.4 is 12.
        {"SMPTE_Dissolve", 0, 12.5, "D    013", ""},
        {"SMPTE_Dissolve", 0, 12.4, "D    012", ""},
        {"SMPTE_Dissolve", 0, 0, "D    000", ""},
        {"SMPTE_Wipe", 0, 12, "W001 012", ""},
        {"Custom_Transition", 0, 12, "D    012", "\"Custom_Transition\" written as a dissolve"},
        {"SMPTE_Dissolve", 6, 6, "D    012", "written as starting at the cut"},
        {"SMPTE_Dissolve", 0, 2e9, "D    999999999", "written lasting 999999999 frames"},
        {"SMPTE_Dissolve", 0, 2e15, "D    999999999", "written lasting 999999999 frames"},
        // 1e305 frames at a millionth of a frame a second are 2.4e312 at 24:
        // more than a double holds.
        {"SMPTE_Dissolve", 0, 1e305, "D    999999999", "written lasting 999999999 frames", 1e-6},
    };
    for (const Case& c : cases) {
        const auto clip = [](const char* name, double start) {
            return std::string(R"({"OTIO_SCHEMA":"Clip.2","name":")") + name +
                   R"(","source_range":)" + timeRange(start, 48, 24) + "}";
        };
        const std::string text =
            R"({"OTIO_SCHEMA":"Timeline.1","name":"t","tracks":{"OTIO_SCHEMA":"Stack.1",
            "children":[{"OTIO_SCHEMA":"Track.1","name":"V1","kind":"Video","children":[)" +
            clip("A", 0) + R"(,{"OTIO_SCHEMA":"Transition.1","transition_type":")" + c.type +
            R"(","in_offset":)" + rationalTime(c.inOffset, c.rate) + R"(,"out_offset":)" +
            rationalTime(c.outOffset, c.rate) + "}," + clip("B", 100) + "]}]}}";
        LossReport read;
        const SharedPtr<Composition> composition = readStandard(text, read);
        ASSERT_TRUE(composition) << c.type;
        std::vector<std::string> losses;
        const std::string written = writeEdl(*composition, {}, &losses);
        // B's event, a transition from A's last frame.
        EXPECT_NE(written.find(std::string(" ") + c.code + " "), std::string::npos) << written;
        if (*c.loss == 0) {
            EXPECT_TRUE(losses.empty()) << losses.front();
        } else {
            ASSERT_EQ(losses.size(), 1u) << c.loss;
            EXPECT_NE(losses[0].find(" | transition | " + std::string(c.loss)), std::string::npos)
                << losses[0];
        }
    }
}

TEST(EdlWrite, SpeedsAreFramesASecondAtTheClipsSource) {
    struct Case {
        double rate;
        double scalar;
        const char* speed;
    };
    // The M2 speed is the time scalar times the list's rate, in frames a second
    // with one decimal, padded to three digits before the point; written at the
    // clip's source in (00:00:10:00).
    const Case cases[] = {
        {24, 2.0, "048.0"},    // 2 x 24
        {24, 0.5, "012.0"},    // 0.5 x 24
        {24, -1.0, "-024.0"},  // backwards at the rate
        {25, 2.0, "050.0"},    // 2 x 25
        {24, 0.1, "002.4"},    // 0.1 x 24
        {24, 0.03, "000.7"},   // 0.03 x 24 = 0.72, below a frame a second
        {24, -0.01, "-000.2"}, // -0.01 x 24 = -0.24, backwards
        {30, 4.5, "135.0"},    // 4.5 x 30, three digits
        {24, 50.0, "1200.0"},  // 50 x 24, four
    };
    for (const Case& c : cases) {
        const std::string effect = R"(,"effects":[{"OTIO_SCHEMA":"LinearTimeWarp.1",)"
                                   R"("effect_name":"LinearTimeWarp","time_scalar":)" +
                                   std::to_string(c.scalar) + "}]";
        LossReport read;
        const SharedPtr<Composition> composition =
            readStandard(oneClipAfterASecond(c.rate, tenSecondsIn(c.rate, effect)), read);
        ASSERT_TRUE(composition) << c.scalar;
        EXPECT_EQ(linesStartingWith(writeEdl(*composition), "M2"),
                  Lines{std::string("M2   A001C003\t\t") + c.speed + "\t\t\t\t00:00:10:00"})
            << c.rate << " x " << c.scalar;
    }
}

TEST(EdlWrite, MarkersAreLocatorsAtTheirRecordFrame) {
    struct Case {
        double markerStart, markerRate; ///< the marked range's start
        double rate;                    ///< the timeline's and the clip's
        const char* locator;
    };
    // The clip plays its source from 00:00:10:00 at record 01:00:01:00: a
    // marker n frames into its source is at record 01:00:01:00 + n, counted at
    // the marker's own rate and rounded to the nearest frame of the list.
    const Case cases[] = {
        {240, 24, 24, "01:00:01:00"}, // its first frame
        {246, 24, 24, "01:00:01:06"}, // 6 frames in
        {263, 24, 24, "01:00:01:23"}, // its last frame
        {492, 48, 24, "01:00:01:06"}, // 492 at 48 is 246 at 24
        {481, 48, 24, "01:00:01:01"}, // 1 frame at 48 in: half a frame, rounded up
        {20, 2, 24, "01:00:01:00"},   // 10 s at 2 fps
        {257, 25, 25, "01:00:01:07"}, // 250 + 7 at 25
        {12.5, 1.25, 25, "01:00:01:00"},
    };
    for (const Case& c : cases) {
        const std::string marker = R"(,"markers":[{"OTIO_SCHEMA":"Marker.2","name":"check",)"
                                   R"("color":"RED","marked_range":)" +
                                   timeRange(c.markerStart, 1, c.markerRate) + "}]";
        LossReport read;
        const SharedPtr<Composition> composition =
            readStandard(oneClipAfterASecond(c.rate, tenSecondsIn(c.rate, marker)), read);
        ASSERT_TRUE(composition) << c.locator;
        EXPECT_EQ(linesStartingWith(writeEdl(*composition), "* LOC"),
                  Lines{std::string("* LOC: ") + c.locator + " RED check"})
            << c.markerStart << " at " << c.markerRate;
    }
}

TEST(EdlWrite, ALocatorSaysTheColourWordItCameWithElseTheMarkersColour) {
    // The word a list gave the marker (kept as its "cmx_3600" "color") while it
    // names the marker's colour, else the marker's own colour: never another
    // text of the marker, even a name that spells a colour.
    struct Case {
        const char* members; ///< the marker's members besides its range
        const char* locator;
    };
    const Case cases[] = {
        {R"("name":"red","color":"RED")", "RED red"},
        {R"("name":"red","color":"RED","metadata":{"note":"red"})", "RED red"},
        {R"("name":"check","color":"RED","metadata":{"cmx_3600":{"color":"red"}})", "red check"},
        // A word of another colour than the marker's: the marker's.
        {R"("name":"check","color":"RED","metadata":{"cmx_3600":{"color":"green"}})", "RED check"},
    };
    for (const Case& c : cases) {
        const std::string marker = std::string(R"(,"markers":[{"OTIO_SCHEMA":"Marker.2",)") +
                                   c.members + R"(,"marked_range":)" + timeRange(240, 1, 24) + "}]";
        LossReport read;
        const SharedPtr<Composition> composition =
            readStandard(oneClipAfterASecond(24, tenSecondsIn(24, marker)), read);
        ASSERT_TRUE(composition) << c.members;
        // Its source's first frame 00:00:10:00 is at record 01:00:01:00.
        EXPECT_EQ(linesStartingWith(writeEdl(*composition), "* LOC"),
                  Lines{std::string("* LOC: 01:00:01:00 ") + c.locator})
            << c.members;
    }
}

TEST(EdlWrite, TransitionsOnSeveralChannelsAreOneEventOnlyWhenAlike) {
    struct Case {
        const char* video; ///< the outgoing reel and source in, the code and duration
        const char* audio;
        bool oneEvent;
    };
    // From A at 24 into B at record 24, on V and on A1: one event on both
    // channels when the two transitions are alike in all, else one on each.
    const Case cases[] = {
        {"A 24 D 012", "A 24 D 012", true},     {"A 24 D 012", "A 24 D 010", false},
        {"A 24 D 012", "A 24 W001 012", false}, {"A 24 D 012", "X 24 D 012", false},
        {"A 24 D 012", "A 30 D 012", false},
    };
    const auto events = [](const char* number, const char* channel, const std::string& how) {
        char reel[8], code[8], duration[8];
        int in = 0;
        std::sscanf(how.c_str(), "%7s %d %7s %7s", reel, &in, code, duration);
        const std::string from = std::to_string(in);
        return std::string(number) + " " + reel + " " + channel + " C " + from + " " + from +
               " 24 24\n" + number + " B " + channel + " " + code + " " + duration +
               " 0 24 24 48\n";
    };
    for (const Case& c : cases) {
        const std::string list = "TITLE: mix\n001 A B C 0 24 0 24\n" + events("002", "V", c.video) +
                                 events("003", "A", c.audio);
        const std::string written = writeEdl(*compositionOf(list));
        EXPECT_EQ(linesStartingWith(written, "002").size(), 2u) << written;
        EXPECT_EQ(linesStartingWith(written, "003").size(), c.oneEvent ? 0u : 2u) << written;
        if (c.oneEvent) {
            EXPECT_EQ(linesStartingWith(written, "002")[1],
                      "002  B        B     D    012 00:00:00:00 00:00:01:00 00:00:01:00 "
                      "00:00:02:00");
        }
    }
}

TEST(EdlWrite, KeptCommentsNameNoMediaWhenReadBack) {
    // A key's FROM CLIP names its background, which has no line here: kept as a
    // plain comment. The foreground is written as a cut, whose reader would take
    // that statement for its media: left out and reported, the remark kept.
    const std::string list = "TITLE: key\n"
                             "001 FG V K 000 00:00:10:00 00:00:12:00 00:00:00:00 00:00:02:00\n"
                             "* FROM CLIP: /media/bg.mov\n"
                             "* a plain remark\n";
    std::vector<std::string> losses;
    const std::string written = writeEdl(*compositionOf(list), {}, &losses);
    EXPECT_EQ(written,
              "TITLE: key\n\n"
              "001  FG       V     C        00:00:10:00 00:00:12:00 00:00:00:00 00:00:02:00\n"
              "* FROM CLIP NAME: FG\n"
              "* a plain remark\n");
    EXPECT_EQ(losses, (Lines{"track V2, 00:00:00:00 | clip | a kept comment left out: read back, "
                             "it would name what the clip does not have"}));
    EXPECT_EQ(writeEdl(*compositionOf(written)), written);
}

TEST(EdlWrite, LookValuesFinerThanMillionthsAreWrittenAsTheyCame) {
    // 0.3333333333333333 is no whole number of millionths: six decimals would
    // change it, so it is written as the shortest text that reads back the same
    // number, the text it came as. 0.8 is a whole 800000 millionths: 0.800000.
    const std::string list = "TITLE: fine\n001 A001 V C 0 24 0 24\n"
                             "*ASC_SOP (0.3333333333333333 1 1)(0 0 0)(1 1 1)\n*ASC_SAT 0.8\n";
    EXPECT_EQ(linesStartingWith(writeEdl(*compositionOf(list)), "*ASC"),
              (Lines{"*ASC_SOP (0.3333333333333333 1.000000 1.000000) (0.000000 0.000000 "
                     "0.000000) (1.000000 1.000000 1.000000)",
                     "*ASC_SAT 0.800000"}));
}

TEST(EdlWrite, ExamplesAndTestCompositionsReadBackTheSame) {
    std::vector<SharedPtr<Composition>> compositions;
    for (const char* name :
         {"short-cut.otio.json", "review-notes.otio.json", "graded-shot.otio.json"})
        compositions.push_back(fromProductOtio(readExample(name)));
    for (const char* name :
         {"roundtrip/annotations.json", "roundtrip/cut.json", "roundtrip/effects.json",
          "roundtrip/missing.json", "roundtrip/timing.json", "roundtrip/tracking.json",
          "rapidotio/full_timeline.json", "import/two_tracks.json"})
        compositions.push_back(fromProductOtio(readTestData(name)));
    for (const char* name : {"interchange/two-shots.otio.json", "interchange/kept-members.otio",
                             "draw/standard.otio"}) {
        LossReport read;
        compositions.push_back(readStandard(readTestData(name), read));
    }
    compositions.push_back(fromTree(*DmTest::makeFullTree()));

    // The clips of the first video track and the first four audio tracks: record
    // frames, name and media.
    const auto clipsOf = [](const TimelineView& view) {
        Lines clips;
        bool video = false;
        int audio = 0;
        for (const TimelineTrack& track : view.tracks) {
            const bool written = track.kind == TimelineTrack::Kind::Video
                                     ? !std::exchange(video, true)
                                     : track.kind == TimelineTrack::Kind::Audio && audio++ < 4;
            // A clip without a name comes back named by its reel: AX for one
            // without media.
            for (const TimelineItem& item : track.items)
                if (written && item.isClip())
                    clips.push_back(
                        std::to_string(item.record.start) + "+" +
                        std::to_string(item.record.duration) + " " +
                        (item.name.empty() && item.targetUrl.empty() ? "AX" : item.name) + " " +
                        item.targetUrl);
        }
        std::sort(clips.begin(), clips.end());
        return clips;
    };
    for (const SharedPtr<Composition>& composition : compositions) {
        ASSERT_TRUE(composition);
        TimelineView source;
        ASSERT_TRUE(TimelineView::build(*composition, source));
        const std::string written = writeEdl(*composition);
        // A list does not say its rate: it is read at the composition's.
        const EdlRead read = readEdl(written, source.rate);
        ASSERT_TRUE(read.status) << written;
        // Read back, only what the edit tree keeps without playing is said again.
        for (const std::string& loss : read.losses)
            EXPECT_NE(loss.find("(kept, and written back as it came)"), std::string::npos) << loss;
        EXPECT_EQ(writeEdl(*read.composition), written);
        TimelineView back;
        ASSERT_TRUE(TimelineView::build(*read.composition, back));
        EXPECT_EQ(clipsOf(back), clipsOf(source)) << written;
    }
}

} // namespace
} // namespace ZEM_0_81::test
