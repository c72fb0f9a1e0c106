// Writing xmeml: the text written for compositions of the other dialects, what
// it reports it cannot hold, and that what it writes reads back as the same
// cut. Frames at 24 frames a second unless a case says otherwise.

#include "interchange/StandardOtio.h"
#include "interchange/TimelineView.h"
#include "interchange/xmeml/XmemlValues.h"
#include "outside/dmtree/DmTree.h"
#include "tests/interchange/otiostd/InterchangeTestSupport.h"
#include "tests/interchange/xmeml/XmemlTestSupport.h"
#include "tests/outside/dmtree/DmTestTree.h"
#include "tests/support/OtioText.h"
#include "tests/support/TestData.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

namespace ZEM_0_81::test::xmeml {
namespace {

using Lines = std::vector<std::string>;

/// A standard OTIO clip named `name` playing `duration` frames from `start` of
/// `url`, whose media spans 0..1000; `more` goes among its members.
std::string otioClip(const std::string& name, double start, double duration, const std::string& url,
                     const std::string& more = "") {
    return R"({"OTIO_SCHEMA":"Clip.2","name":")" + name + R"(","source_range":)" +
           test::timeRange(start, duration, 24) +
           R"(,"media_references":{"DEFAULT_MEDIA":{"OTIO_SCHEMA":"ExternalReference.1","target_url":")" +
           url + R"(","available_range":)" + test::timeRange(0, 1000, 24) +
           R"(}},"active_media_reference_key":"DEFAULT_MEDIA")" + more + "}";
}

std::string otioGap(double duration) {
    return R"({"OTIO_SCHEMA":"Gap.1","source_range":)" + test::timeRange(0, duration, 24) + "}";
}

/// A standard OTIO timeline from 01:00:00:00 at `rate` of tracks (name, kind,
/// children).
std::string otioTimeline(const std::vector<std::array<std::string, 3>>& tracks, double rate = 24) {
    std::string text = R"({"OTIO_SCHEMA":"Timeline.1","name":"cut","global_start_time":)" +
                       test::rationalTime(86400 * rate / 24, rate) +
                       R"(,"tracks":{"OTIO_SCHEMA":"Stack.1","children":[)";
    for (std::size_t t = 0; t < tracks.size(); ++t)
        text += (t ? "," : "") + std::string(R"({"OTIO_SCHEMA":"Track.1","name":")") +
                tracks[t][0] + R"(","kind":")" + tracks[t][1] + R"(","children":[)" + tracks[t][2] +
                "]}";
    return text + "]}}";
}

SharedPtr<Composition> fromOtio(const std::string& text) {
    LossReport losses;
    return test::readStandard(text, losses);
}

/// The media path of a URL as the reader takes it.
std::string pathOf(const std::string& url) {
    return Interchange::Fcp7::pathOfUrl(url);
}

/// `text` without the spaces that start its lines.
std::string unindented(const std::string& text) {
    std::string out;
    bool lineStart = true;
    for (const char c : text) {
        if (lineStart && c == ' ')
            continue;
        lineStart = c == '\n';
        out += c;
    }
    return out;
}

TEST(XmemlWrite, OneSequenceOfVersion4WithEachFileOnce) {
    // Two identical clips of one file on V1 (a gap between them), the same file
    // on A1: one file, written in full where first used, by its id after; each
    // clip an id of its own. Record frames from 01:00:00:00 (86400); the media
    // starts at 0, so the in points are the source starts.
    const std::string clip = otioClip("a", 10, 48, "/m/a b.mov");
    const SharedPtr<Composition> composition =
        fromOtio(otioTimeline({{"V1", "Video", clip + "," + otioGap(12) + "," + clip},
                               {"A1", "Audio", otioClip("s", 20, 24, "/m/a b.mov")}}));
    ASSERT_TRUE(composition);
    std::vector<std::string> losses;
    const std::string written = writeXmeml(*composition, &losses);
    const auto rate = [](const std::string& indent) {
        return indent + "<rate>\n" + indent + "  <timebase>24</timebase>\n" + indent +
               "  <ntsc>FALSE</ntsc>\n" + indent + "</rate>\n";
    };
    const auto clipItem = [&](const std::string& id, const std::string& name, int start, int end,
                              int in, int out, const std::string& file) {
        const std::string at = "            ";
        return "          <clipitem id=\"" + id + "\">\n" + at + "<name>" + name + "</name>\n" +
               at + "<duration>1000</duration>\n" + rate(at) + at + "<start>" +
               std::to_string(start) + "</start>\n" + at + "<end>" + std::to_string(end) +
               "</end>\n" + at + "<in>" + std::to_string(in) + "</in>\n" + at + "<out>" +
               std::to_string(out) + "</out>\n" + at + "<enabled>TRUE</enabled>\n" + file +
               "          </clipitem>\n";
    };
    const std::string file = "            <file id=\"file-1\">\n"
                             "              <name>a b.mov</name>\n"
                             "              <pathurl>file://localhost/m/a%20b.mov</pathurl>\n" +
                             rate("              ") +
                             "              <duration>1000</duration>\n"
                             "              <timecode>\n" +
                             rate("                ") +
                             "                <string>00:00:00:00</string>\n"
                             "                <frame>0</frame>\n"
                             "                <displayformat>NDF</displayformat>\n"
                             "              </timecode>\n"
                             "              <media>\n"
                             "                <video/>\n"
                             "                <audio/>\n"
                             "              </media>\n"
                             "            </file>\n";
    const std::string reference = "            <file id=\"file-1\"/>\n";
    const std::string expected =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE xmeml>\n<xmeml version=\"4\">\n"
        "  <sequence id=\"sequence-1\">\n    <name>cut</name>\n    <duration>108</duration>\n" +
        rate("    ") + "    <timecode>\n" + rate("      ") +
        "      <string>01:00:00:00</string>\n      <frame>86400</frame>\n"
        "      <displayformat>NDF</displayformat>\n    </timecode>\n"
        "    <media>\n      <video>\n        <format>\n          <samplecharacteristics>\n" +
        rate("            ") +
        "            <width>1920</width>\n            <height>1080</height>\n"
        "          </samplecharacteristics>\n        </format>\n        <track>\n" +
        clipItem("clipitem-1", "a", 0, 48, 10, 58, file) +
        clipItem("clipitem-2", "a", 60, 108, 10, 58, reference) +
        "        </track>\n      </video>\n      <audio>\n        <track>\n" +
        clipItem("clipitem-3", "s", 0, 24, 20, 44, reference) +
        "        </track>\n      </audio>\n    </media>\n  </sequence>\n</xmeml>\n";
    // Written one element a line, without indentation.
    EXPECT_EQ(written, unindented(expected));
    EXPECT_TRUE(losses.empty());

    const XmemlRead again = readXmeml(written);
    ASSERT_TRUE(again.composition) << again.message;
    EXPECT_EQ(itemsOf(*again.composition),
              (Lines{"V1 86400+48 clip a src 10@24 /m/a b.mov", "V1 86448+12 gap",
                     "V1 86460+48 clip a src 10@24 /m/a b.mov",
                     "A1 86400+24 clip s src 20@24 /m/a b.mov"}));
    EXPECT_TRUE(again.losses.empty());
    EXPECT_EQ(writeXmeml(*again.composition), written);
}

TEST(XmemlWrite, FilesSpanEveryClipOfTheirMedia) {
    // Media whose available range the clips of one path give differently: the
    // file spans from the earliest start (100) to the latest end (130 + 50),
    // and each in point counts from its start.
    const auto clip = [](const char* name, double start, double availableStart,
                         double availableLength) {
        return R"({"OTIO_SCHEMA":"Clip.2","name":")" + std::string(name) + R"(","source_range":)" +
               test::timeRange(start, 10, 24) +
               R"(,"media_references":{"DEFAULT_MEDIA":{"OTIO_SCHEMA":"ExternalReference.1","target_url":"/m/x.mov","available_range":)" +
               test::timeRange(availableStart, availableLength, 24) +
               R"(}},"active_media_reference_key":"DEFAULT_MEDIA"})";
    };
    const SharedPtr<Composition> composition =
        fromOtio(otioTimeline({{"V1", "Video",
                                clip("a", 120, 110, 20) + "," + clip("b", 100, 100, 10) + "," +
                                    clip("c", 150, 130, 50)}}));
    ASSERT_TRUE(composition);
    const std::string written = writeXmeml(*composition);
    EXPECT_NE(written.find("<duration>80</duration>\n<timecode>"), std::string::npos) << written;
    EXPECT_NE(written.find("<string>00:00:04:04</string>"), std::string::npos) << written;
    const XmemlRead again = readXmeml(written);
    ASSERT_TRUE(again.composition);
    EXPECT_EQ(itemsOf(*again.composition), (Lines{"V1 86400+10 clip a src 120@24 /m/x.mov",
                                                  "V1 86410+10 clip b src 100@24 /m/x.mov",
                                                  "V1 86420+10 clip c src 150@24 /m/x.mov"}));
}

TEST(XmemlWrite, TransitionsSayTheirCutByAlignmentOrTicks) {
    struct Case {
        double in, out;
        bool clipBefore, clipAfter;
        const char* alignment;
        bool ticks;
    };
    // The cut at 48 (86448) between two clips, or at a track's start or end.
    const Case cases[] = {
        {0, 12, true, true, "start", false},        {12, 0, true, true, "end", false},
        {6, 6, true, true, "center", false},        {5, 7, true, true, "center", true},
        {0, 12, false, true, "start-black", false}, {12, 0, true, false, "end-black", false},
    };
    for (const Case& c : cases) {
        const std::string transition =
            R"({"OTIO_SCHEMA":"Transition.1","name":"","transition_type":"SMPTE_Dissolve","in_offset":)" +
            test::rationalTime(c.in, 24) + R"(,"out_offset":)" + test::rationalTime(c.out, 24) +
            "}";
        std::string children = c.clipBefore ? otioClip("a", 100, 48, "/m/a.mov") : otioGap(48);
        children += "," + transition;
        if (c.clipAfter)
            children += "," + otioClip("b", 200, 48, "/m/b.mov");
        const SharedPtr<Composition> composition =
            fromOtio(otioTimeline({{"V1", "Video", children}}));
        ASSERT_TRUE(composition);
        std::vector<std::string> losses;
        const std::string written = writeXmeml(*composition, &losses);
        EXPECT_NE(written.find(std::string("<alignment>") + c.alignment + "</alignment>"),
                  std::string::npos)
            << c.alignment << written;
        EXPECT_EQ(written.find("<cutPointTicks>") != std::string::npos, c.ticks) << c.alignment;
        // The clips at the cut start or end at -1.
        EXPECT_EQ(written.find("<end>-1</end>") != std::string::npos, c.clipBefore);
        EXPECT_EQ(written.find("<start>-1</start>") != std::string::npos, c.clipAfter);
        EXPECT_NE(written.find("<name>Cross Dissolve</name>"), std::string::npos);
        EXPECT_TRUE(losses.empty());
        const XmemlRead again = readXmeml(written);
        ASSERT_TRUE(again.composition) << written;
        EXPECT_EQ(transitionsOf(*again.composition),
                  Lines{"V1 86448 -" + std::to_string(static_cast<int>(c.in)) + " +" +
                        std::to_string(static_cast<int>(c.out)) + " Cross Dissolve SMPTE_Dissolve"})
            << c.alignment;
        EXPECT_EQ(itemsOf(*again.composition), itemsOf(*composition)) << c.alignment;
    }
    // 5 frames before the cut at 24: 5 x 10584000000 ticks.
    const std::string children =
        otioClip("a", 100, 48, "/m/a.mov") +
        R"(,{"OTIO_SCHEMA":"Transition.1","name":"Wipe","transition_type":"Custom_Transition","in_offset":)" +
        test::rationalTime(5, 24) + R"(,"out_offset":)" + test::rationalTime(7, 24) + "}," +
        otioClip("b", 200, 48, "/m/b.mov");
    const std::string written =
        writeXmeml(*fromOtio(otioTimeline({{"V1", "Video", children}, {"A1", "Audio", children}})));
    EXPECT_NE(written.find("<cutPointTicks>52920000000</cutPointTicks>"), std::string::npos);
    EXPECT_NE(written.find("<name>Wipe</name>"), std::string::npos);
    EXPECT_NE(written.find("<mediatype>audio</mediatype>"), std::string::npos);
}

TEST(XmemlWrite, ATransitionIsWrittenOnlyWhereItReadsBackAtItsCut) {
    struct Case {
        const char* what;
        std::string children; ///< of the standard OTIO track V1
        const char* loss;     ///< the transition's, or null for none
        Lines transitions;    ///< of the document written, read back
    };
    // A reader keeps a transition on the first clip or gap that starts at or
    // after its cut, else after the track's last clip; xmeml writes no gap, so
    // one after a gap at the track's end, or between two gaps, would read back
    // elsewhere. Record frames from 01:00:00:00 (86400): the cut after a (48
    // frames) and a gap of 6 is 54; b starts at 60.
    const auto dissolve = [](double in, double out) {
        return R"({"OTIO_SCHEMA":"Transition.1","name":"Dissolve","transition_type":"SMPTE_Dissolve","in_offset":)" +
               test::rationalTime(in, 24) + R"(,"out_offset":)" + test::rationalTime(out, 24) + "}";
    };
    const std::string a = otioClip("a", 100, 48, "/m/a.mov");
    const std::string b = otioClip("b", 200, 48, "/m/b.mov");
    const Case cases[] = {
        {"between two gaps",
         a + "," + otioGap(6) + "," + dissolve(3, 3) + "," + otioGap(6) + "," + b,
         "\"Dissolve\" at frame 54 is not written: no clip written starts or ends there, and read "
         "back it would cut at frame 60",
         {}},
        {"after a gap at the track's end",
         a + "," + otioGap(6) + "," + dissolve(6, 0),
         "\"Dissolve\" at frame 54 is not written: no clip written starts or ends there, and read "
         "back it would cut at frame 48",
         {}},
        // Into the gap after a: the gap starts where a ends, read back the same.
        {"into a gap",
         a + "," + dissolve(3, 3) + "," + otioGap(12) + "," + b,
         nullptr,
         {"V1 86448 -3 +3 Dissolve SMPTE_Dissolve"}},
        // From black into a gap at the track's start, which a reader fills the
        // same up to b.
        {"at the start, into a gap",
         dissolve(0, 6) + "," + otioGap(12) + "," + b,
         nullptr,
         {"V1 86400 -0 +6 Dissolve SMPTE_Dissolve"}},
        // From black into b, after that gap: the first thing the track writes.
        {"into b after a gap",
         otioGap(12) + "," + dissolve(0, 6) + "," + b,
         nullptr,
         {"V1 86412 -0 +6 Dissolve SMPTE_Dissolve"}},
    };
    for (const Case& c : cases) {
        const SharedPtr<Composition> composition =
            fromOtio(otioTimeline({{"V1", "Video", c.children}}));
        ASSERT_TRUE(composition) << c.what;
        std::vector<std::string> losses;
        const std::string written = writeXmeml(*composition, &losses);
        Lines transitionLosses;
        for (const std::string& loss : losses)
            if (loss.find("| transitionitem |") != std::string::npos)
                transitionLosses.push_back(loss);
        EXPECT_EQ(transitionLosses,
                  c.loss
                      ? Lines{std::string("/xmeml/sequence/media/video/track | transitionitem | ") +
                              c.loss}
                      : Lines{})
            << c.what;
        const XmemlRead again = readXmeml(written);
        ASSERT_TRUE(again.composition) << c.what << written;
        EXPECT_EQ(transitionsOf(*again.composition), c.transitions) << c.what << written;
        // Written again, nothing moves.
        EXPECT_EQ(writeXmeml(*again.composition), written) << c.what;
    }
}

TEST(XmemlWrite, ATransitionWhoseClipIsShorterThanAFrameStaysOnlyBesideAnother) {
    struct Case {
        const char* what;
        std::string track; ///< V2
        const char* loss;  ///< the transition's, or null for none
        Lines transitions; ///< of the document written, read back
    };
    // A sequence counting at 6000 (written at its picture's 24, 250 of its
    // frames one of 24): s plays 2400..2500, frames 9.6 and 10.0 at 24, both
    // 10 once rounded: not written. The transition into it cuts at 2400 (10)
    // and ends at 3000 (12). Alone on the track, it would read back at the
    // track's start, 0; after r (0..2400, 0..10 at 24) it stays at r's end.
    const std::string transition =
        "<transitionitem><start>2400</start><end>3000</end><alignment>start</alignment>"
        "<effect><name>Cross Dissolve</name></effect></transitionitem>";
    const std::string s = clipXml("s", -1, 2500, 10, 10, "<file id=\"f1\"/>");
    const Case cases[] = {
        {"alone",
         transition + s,
         "\"Cross Dissolve\" at frame 10 is not written: no clip written starts or ends there, "
         "and read back it would cut at frame 0",
         {}},
        {"after r",
         clipXml("r", 0, -1, 0, 10, "<file id=\"f1\"/>") + transition + s,
         nullptr,
         {"V2 10 -0 +2 Cross Dissolve SMPTE_Dissolve"}},
    };
    for (const Case& c : cases) {
        const XmemlRead read = readXmeml(
            sequenceXml({clipXml("v", 0, 6000, 0, 24,
                                 fileXml("f1", "file://localhost/m/a.mov", rateXml(24), 1000)),
                         c.track},
                        {}, rateXml(6000)));
        ASSERT_TRUE(read.composition) << read.message;
        std::vector<std::string> losses;
        const std::string written = writeXmeml(*read.composition, &losses);
        Lines transitionLosses;
        for (const std::string& loss : losses)
            if (loss.find("| transitionitem |") != std::string::npos)
                transitionLosses.push_back(loss);
        EXPECT_EQ(transitionLosses,
                  c.loss ? Lines{std::string("/xmeml/sequence/media/video/track[2] | "
                                             "transitionitem | ") +
                                 c.loss}
                         : Lines{})
            << c.what << written;
        const XmemlRead again = readXmeml(written);
        ASSERT_TRUE(again.composition) << c.what << written;
        EXPECT_EQ(transitionsOf(*again.composition), c.transitions) << c.what << written;
        // Written again, nothing moves.
        EXPECT_EQ(writeXmeml(*again.composition), written) << c.what;
    }
}

TEST(XmemlWrite, ReviewNotesAreMarkersWithTheirTextAsComment) {
    // A marker of standard OTIO on a clip playing 100..148 from record frame
    // 0: its source frames 110..122 are markers' in 110 and out 122; one of no
    // length is one frame, out -1.
    const std::string markers =
        R"(,"markers":[{"OTIO_SCHEMA":"Marker.2","name":"focus","comment":"soft","color":"RED","marked_range":)" +
        test::timeRange(110, 12, 24) +
        R"(},{"OTIO_SCHEMA":"Marker.2","name":"point","color":"GREEN","marked_range":)" +
        test::timeRange(140, 0, 24) + "}]";
    const SharedPtr<Composition> composition =
        fromOtio(otioTimeline({{"V1", "Video", otioClip("a", 100, 48, "/m/a.mov", markers)}}));
    ASSERT_TRUE(composition);
    const std::string written = writeXmeml(*composition);
    EXPECT_NE(written.find("<marker>\n<comment>focus: soft</comment>\n"
                           "<name/>\n<in>110</in>\n"
                           "<out>122</out>\n<color>\n"
                           "<red>255</red>\n<green>0</green>\n"
                           "<blue>0</blue>\n<alpha>255</alpha>\n"
                           "</color>\n</marker>"),
              std::string::npos)
        << written;
    EXPECT_NE(written.find("<comment>point</comment>\n<name/>\n"
                           "<in>140</in>\n<out>-1</out>\n"
                           "</marker>"),
              std::string::npos)
        << written;
    const XmemlRead again = readXmeml(written);
    ASSERT_TRUE(again.composition);
    EXPECT_EQ(notesOf(*again.composition), notesOf(*composition));
    EXPECT_EQ(notesOf(*again.composition), (Lines{"V1 86410+12 focus: soft", "V1 86440+1 point"}));
}

TEST(XmemlWrite, RatesXmemlCanSayAndThoseItCannot) {
    struct Case {
        double rate;
        const char* timebase;
        const char* ntsc;
        const char* timecode;
        std::size_t losses;
    };
    // The timeline starts at 01:00:00:00 at its rate: 86400 x rate / 24
    // frames; at 29.97 that is 107892 frames, 00:59:56;12 in drop frame...
    // counted as the frames they are: 107892 frames at 29.97 are 01:00:00;00.
    const Case cases[] = {
        {24, "24", "FALSE", "01:00:00:00", 0},
        {24000.0 / 1001, "24", "TRUE", "01:00:00:00", 0},
        {30000.0 / 1001, "30", "TRUE", "01:00:00;00", 0},
        {25, "25", "FALSE", "01:00:00:00", 0},
    };
    for (const Case& c : cases) {
        const double start = c.rate == 30000.0 / 1001 ? 107892 : 86400 * std::round(c.rate) / 24;
        const std::string text =
            R"({"OTIO_SCHEMA":"Timeline.1","name":"r","global_start_time":)" +
            test::rationalTime(start, c.rate) +
            R"(,"tracks":{"OTIO_SCHEMA":"Stack.1","children":[{"OTIO_SCHEMA":"Track.1","name":"V1","kind":"Video","children":[{"OTIO_SCHEMA":"Clip.2","name":"c","source_range":)" +
            test::timeRange(0, 10, c.rate) + "}]}]}}";
        const SharedPtr<Composition> composition = fromOtio(text);
        ASSERT_TRUE(composition);
        std::vector<std::string> losses;
        const std::string written = writeXmeml(*composition, &losses);
        EXPECT_NE(written.find(std::string("<timebase>") + c.timebase + "</timebase>\n<ntsc>" +
                               c.ntsc + "</ntsc>"),
                  std::string::npos)
            << c.rate << written;
        EXPECT_NE(written.find(std::string("<string>") + c.timecode + "</string>"),
                  std::string::npos)
            << c.rate;
        EXPECT_EQ(losses.size(), c.losses) << c.rate;
        const XmemlRead again = readXmeml(written);
        ASSERT_TRUE(again.composition);
        EXPECT_EQ(itemsOf(*again.composition), itemsOf(*composition)) << c.rate;
    }
    // 12.5 frames a second: written at 13, reported, record frames rounded to
    // the nearest: a clip of 13 frames (1.04s) ends at 13.52 frames at 13, 14.
    const std::string odd =
        R"({"OTIO_SCHEMA":"Timeline.1","name":"r","global_start_time":)" +
        test::rationalTime(0, 12.5) +
        R"(,"tracks":{"OTIO_SCHEMA":"Stack.1","children":[{"OTIO_SCHEMA":"Track.1","name":"V1","kind":"Video","children":[{"OTIO_SCHEMA":"Clip.2","name":"c","source_range":)" +
        test::timeRange(0, 13, 12.5) + "}]}]}}";
    std::vector<std::string> losses;
    const std::string written = writeXmeml(*fromOtio(odd), &losses);
    EXPECT_NE(written.find("<timebase>13</timebase>"), std::string::npos);
    EXPECT_EQ(lossPlaces(losses), Lines{"/xmeml/sequence"});
    EXPECT_NE(written.find("<start>0</start>\n<end>14</end>"), std::string::npos) << written;
}

TEST(XmemlWrite, WhatXmemlCannotHoldIsReported) {
    std::vector<std::string> losses;
    writeXmeml(*test::fromProductOtio(test::readExample("graded-shot.otio.json")), &losses);
    EXPECT_EQ(lossPlaces(losses), Lines(3, "/xmeml/sequence/media/video/track/clipitem"));
    writeXmeml(*test::fromProductOtio(test::readExample("review-notes.otio.json")), &losses);
    EXPECT_EQ(lossPlaces(losses), (Lines{"/xmeml/sequence/media/video/track",
                                         "/xmeml/sequence/media/video/track/clipitem[1]"}));
    writeXmeml(*test::fromProductOtio(test::readExample("short-cut.otio.json")), &losses);
    EXPECT_EQ(losses,
              (Lines{"/xmeml/sequence/media/video/track[2] | track | its name \"V2 title\" is not "
                     "written: an xmeml track has none",
                     "/xmeml/sequence/media/audio/track | track | its name \"A1 dialogue\" is not "
                     "written: an xmeml track has none"}));
    // Other compositions than the first.
    writeXmeml(*test::fromDmTree(test::readTestData("export/two-compositions.dmtree.json")),
               &losses);
    ASSERT_FALSE(losses.empty());
    EXPECT_EQ(losses.front().substr(0, losses.front().find(" | ", 20)),
              "/xmeml/sequence | sequence");
}

TEST(XmemlWrite, ExamplesAndTestCompositionsReadBackTheSame) {
    std::vector<SharedPtr<Composition>> compositions;
    for (const char* name :
         {"short-cut.otio.json", "review-notes.otio.json", "graded-shot.otio.json"})
        compositions.push_back(test::fromProductOtio(test::readExample(name)));
    for (const char* name :
         {"roundtrip/annotations.json", "roundtrip/cut.json", "roundtrip/effects.json",
          "roundtrip/missing.json", "roundtrip/timing.json", "roundtrip/tracking.json",
          "rapidotio/full_timeline.json", "import/two_tracks.json"})
        compositions.push_back(test::fromProductOtio(test::readTestData(name)));
    for (const char* name : {"interchange/two-shots.otio.json", "interchange/kept-members.otio",
                             "draw/standard.otio"}) {
        LossReport read;
        compositions.push_back(test::readStandard(test::readTestData(name), read));
    }
    compositions.push_back(test::fromTree(*DmTest::makeFullTree()));

    // Every clip of every track: record frames, name, source start and media.
    const auto clipsOf = [](const TimelineView& view) {
        Lines clips;
        for (const TimelineTrack& track : view.tracks)
            for (const TimelineItem& item : track.items)
                if (item.isClip())
                    clips.push_back(TimelineTrack::kindName(track.kind) + std::string(" ") +
                                    std::to_string(item.record.start) + "+" +
                                    std::to_string(item.record.duration) + " " + item.name + " " +
                                    (item.source.start ? std::to_string(*item.source.start) : "?") +
                                    " " + pathOf(item.targetUrl));
        return clips;
    };
    for (const SharedPtr<Composition>& composition : compositions) {
        ASSERT_TRUE(composition);
        TimelineView source;
        ASSERT_TRUE(TimelineView::build(*composition, source));
        const std::string written = writeXmeml(*composition);
        const XmemlRead read = readXmeml(written);
        ASSERT_TRUE(read.status) << read.message << written;
        // Read back, only what the edit tree keeps without playing is said again.
        for (const std::string& loss : read.losses)
            EXPECT_NE(loss.find("(kept, and written back as it came)"), std::string::npos) << loss;
        EXPECT_EQ(writeXmeml(*read.composition), written);
        TimelineView back;
        ASSERT_TRUE(TimelineView::build(*read.composition, back));
        // A source start the edit tree does not know is written from the
        // media's first frame (and reported): it is then known.
        Lines expected = clipsOf(source), actual = clipsOf(back);
        ASSERT_EQ(actual.size(), expected.size()) << written;
        for (std::size_t i = 0; i < expected.size(); ++i) {
            const std::size_t unknown = expected[i].find(" ? ");
            if (unknown != std::string::npos)
                actual[i] = actual[i].substr(0, unknown) + " ? " +
                            actual[i].substr(actual[i].find(' ', unknown + 1) + 1);
        }
        EXPECT_EQ(actual, expected) << written;
        EXPECT_EQ(back.start, source.start);
        EXPECT_EQ(back.duration, source.duration);
    }
}

TEST(XmemlWrite, AFileKeptAsItCameCountsItsClipsFromItsOwnFirstFrame) {
    // A sound clip counting samples at 48000 as its file does, the file kept
    // as it came (its sample characteristics). The media starts at sample 1000
    // and lasts 100000; the clip plays 48000 samples from in point 47000, so
    // its source starts at sample 48000. Written at the sequence's 24: the
    // file as a reader takes it starts at frame 1000 / 2000 = 0.5, rounded to
    // 1, and lasts 100000 / 2000 = 50; the source at frame 48000 / 2000 = 24
    // is the in point 24 - 1 = 23, and reads back as 24.
    const std::string file =
        "<file id=\"f1\"><name>s.wav</name><pathurl>file://localhost/m/s.wav</pathurl>" +
        rateXml(48000) +
        "<duration>100000</duration><timecode><frame>1000</frame></timecode><media><audio>"
        "<samplecharacteristics><samplerate>48000</samplerate></samplecharacteristics>"
        "</audio></media></file>";
    const XmemlRead read =
        readXmeml(sequenceXml({}, {clipXml("s", 0, 24, 47000, 95000, file)}, rateXml(24)));
    ASSERT_TRUE(read.composition) << read.message;
    ASSERT_EQ(itemsOf(*read.composition), Lines{"A1 0+24 clip s src 48000@48000 /m/s.wav"});

    const std::string written = writeXmeml(*read.composition);
    EXPECT_NE(written.find("<in>23</in>"), std::string::npos) << written;
    EXPECT_NE(written.find("<duration>50</duration>"), std::string::npos) << written;
    const XmemlRead again = readXmeml(written);
    ASSERT_TRUE(again.composition) << written;
    EXPECT_EQ(itemsOf(*again.composition), Lines{"A1 0+24 clip s src 24@24 /m/s.wav"});
    // Written again from what it read: the same text.
    EXPECT_EQ(writeXmeml(*again.composition), written);
}

TEST(XmemlWrite, AKeptFileCountsEachClipFromItsFirstFrameAtThatClipsRate) {
    // One file kept as it came (its channel count), at 24 frames a second
    // from frame 100, used by a clip counting at 25 on V1 and one counting at
    // 24 on A1. At 25 the file starts at frame 100 * 25 / 24 = 104.17, read
    // as 104: "a" plays from in point 0, source frame 104. At 24 it starts at
    // frame 100: "b" plays from in point 10, source frame 110, and is written
    // with in point 10 whichever clip comes to the file first.
    const std::string file =
        "<file id=\"f1\"><name>a.mov</name><pathurl>file://localhost/m/a.mov</pathurl>" +
        rateXml(24) +
        "<duration>1000</duration><timecode><frame>100</frame></timecode>"
        "<media><audio><channelcount>2</channelcount></audio></media></file>";
    const XmemlRead read =
        readXmeml(sequenceXml({clipXml("a", 0, 24, 0, 25, file, rateXml(25))},
                              {clipXml("b", 0, 24, 10, 34, "<file id=\"f1\"/>")}));
    ASSERT_TRUE(read.composition) << read.message;
    const Lines items{"V1 0+24 clip a src 104@25 /m/a.mov", "A1 0+24 clip b src 110@24 /m/a.mov"};
    ASSERT_EQ(itemsOf(*read.composition), items);

    std::vector<std::string> losses;
    const std::string written = writeXmeml(*read.composition, &losses);
    EXPECT_EQ(losses, Lines{});
    const std::string compact = withoutLayout(written);
    EXPECT_NE(compact.find("<name>a</name><duration>1042</duration>"), std::string::npos)
        << written;
    EXPECT_NE(compact.find("<in>10</in><out>34</out>"), std::string::npos) << written;
    const XmemlRead again = readXmeml(written);
    ASSERT_TRUE(again.composition) << written;
    EXPECT_EQ(itemsOf(*again.composition), items);
    EXPECT_EQ(writeXmeml(*again.composition), written);
}

TEST(XmemlWrite, AFileKeptAsItCameWithoutADurationCountsItsClipsFromItsOwnFirstFrame) {
    // As above without the file's duration: the media spans what the clip
    // plays, to sample 96000, frame 48; the file starts at frame 1 as a reader
    // rounds it, so the in point is 24 - 1 = 23 and the clip's duration 47.
    const std::string file =
        "<file id=\"f1\"><name>s.wav</name><pathurl>file://localhost/m/s.wav</pathurl>" +
        rateXml(48000) +
        "<timecode><frame>1000</frame></timecode><media><audio><samplecharacteristics>"
        "<samplerate>48000</samplerate></samplecharacteristics></audio></media></file>";
    const XmemlRead read =
        readXmeml(sequenceXml({}, {clipXml("s", 0, 24, 47000, 95000, file)}, rateXml(24)));
    ASSERT_TRUE(read.composition) << read.message;
    const std::string written = writeXmeml(*read.composition);
    EXPECT_NE(written.find("<in>23</in>"), std::string::npos) << written;
    EXPECT_NE(written.find("<duration>47</duration>"), std::string::npos) << written;
    const XmemlRead again = readXmeml(written);
    ASSERT_TRUE(again.composition) << written;
    EXPECT_EQ(itemsOf(*again.composition), Lines{"A1 0+24 clip s src 24@24 /m/s.wav"});
    EXPECT_EQ(writeXmeml(*again.composition), written);
}

} // namespace
} // namespace ZEM_0_81::test::xmeml

namespace ZEM_0_81::test::xmeml {
namespace {

TEST(XmemlWrite, KeptIdsStayWhileUniqueAndOthersAreRenamed) {
    // Two files given in full under one id: the second is written under an id
    // of its own, so that each clip keeps its media. Two clips of one id: the
    // second gets a new one.
    const std::string text = sequenceXml(
        {"<clipitem id=\"c\"><name>a</name><start>0</start><end>10</end><in>0</in><out>10</out>" +
             fileXml("f1", "file:///m/a.mov", rateXml(24), 100) + "</clipitem>",
         "<clipitem id=\"c\"><name>b</name><start>0</start><end>10</end><in>0</in><out>10</out>" +
             fileXml("f1", "file:///m/b.mov", rateXml(24), 100) + "</clipitem>"});
    const XmemlRead read = readXmeml(text);
    ASSERT_TRUE(read.composition);
    const std::string written = writeXmeml(*read.composition);
    const std::string compact = withoutLayout(written);
    EXPECT_NE(compact.find("<clipitem id=\"c\"><name>a</name>"), std::string::npos) << written;
    EXPECT_NE(compact.find("<clipitem id=\"clipitem-1\"><name>b</name>"), std::string::npos);
    EXPECT_NE(compact.find("<file id=\"f1\"><name>f1</name><pathurl>file:///m/a.mov</pathurl>"),
              std::string::npos);
    EXPECT_NE(compact.find("<file id=\"file-1\"><name>f1</name><pathurl>file:///m/b.mov</pathurl>"),
              std::string::npos)
        << written;
    const XmemlRead again = readXmeml(written);
    ASSERT_TRUE(again.composition);
    EXPECT_EQ(itemsOf(*again.composition), itemsOf(*read.composition));
    EXPECT_EQ(itemsOf(*again.composition),
              (Lines{"V1 0+10 clip a src 0@24 /m/a.mov", "V2 0+10 clip b src 0@24 /m/b.mov"}));
}

/// The ids of the elements `written` defines (not those referring to one by
/// id, as "<file id="f1"/>"), in document order, as "ELEMENT ID".
Lines definedIds(const std::string& written) {
    Lines ids;
    for (std::size_t at = written.find(" id=\""); at != std::string::npos;
         at = written.find(" id=\"", at + 1)) {
        const std::size_t open = written.rfind('<', at);
        const std::size_t close = written.find('"', at + 5);
        if (written.compare(close + 1, 2, "/>") == 0)
            continue;
        ids.push_back(written.substr(open + 1, at - open - 1) + " " +
                      written.substr(at + 5, close - at - 5));
    }
    return ids;
}

TEST(XmemlWrite, IdsThatDifferOnlyInCharactersXmlCannotHoldAreOneId) {
    // An id is written without the characters XML cannot hold (here \x03), so
    // "\x03c" is written as "c": the same id as a "c" of the same document.
    // The element that comes to it second is renamed as any id taken twice
    // is ("clipitem-1", "file-1"); the first keeps it. Video tracks are
    // written, and claim their ids, before audio tracks. Written, read and
    // written again: the same ids, the same text.
    const auto clip = [](const std::string& id, const std::string& name, long start,
                         const std::string& file) {
        return "<clipitem id=\"" + id + "\"><name>" + name + "</name><start>" +
               std::to_string(start) + "</start><end>" + std::to_string(start + 10) +
               "</end><in>0</in><out>10</out>" + file + "</clipitem>";
    };
    const std::string fileA = fileXml("f1", "file://localhost/m/a.mov", rateXml(24), 100);
    const std::string toA = "<file id=\"f1\"/>";
    const std::string fileB = "<file id=\"\x03"
                              "f1\"><name>b.mov</name>"
                              "<pathurl>file://localhost/m/b.mov</pathurl>" +
                              rateXml(24) + "<duration>100</duration></file>";
    struct Case {
        const char* what;
        std::vector<std::string> video;
        std::vector<std::string> audio;
        Lines ids;
    };
    const Case cases[] = {
        {"a clip on V1 and one of the same written id on A1",
         {clip("\x03"
               "c",
               "a", 0, fileA)},
         {clip("c", "b", 0, toA)},
         {"sequence sequence-1", "clipitem c", "file f1", "clipitem clipitem-1"}},
        {"two clips of one track, the plain id first",
         {clip("c", "a", 0, fileA) + clip("\x03"
                                          "c",
                                          "b", 10, toA)},
         {},
         {"sequence sequence-1", "clipitem c", "file f1", "clipitem clipitem-1"}},
        {"two files of one written id",
         {clip("a", "a", 0, fileA) + clip("b", "b", 10, fileB)},
         {},
         {"sequence sequence-1", "clipitem a", "file f1", "clipitem b", "file file-1"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const XmemlRead read = readXmeml(sequenceXml(c.video, c.audio));
        ASSERT_TRUE(read.composition) << read.message;
        const std::string written = writeXmeml(*read.composition);
        EXPECT_EQ(definedIds(written), c.ids) << written;
        const XmemlRead again = readXmeml(written);
        ASSERT_TRUE(again.composition) << again.message;
        EXPECT_EQ(itemsOf(*again.composition), itemsOf(*read.composition));
        EXPECT_EQ(writeXmeml(*again.composition), written);
    }
}

TEST(XmemlWrite, AttributesKeptInMetadataAreWrittenWhenEachIsANameAndAText) {
    // A clip's kept attributes, as standard OTIO metadata holds them: each a
    // pair of texts. Anything else in the list (three texts, a number for a
    // name, a name alone) is no attribute and is left out.
    const std::string metadata =
        R"(,"metadata":{"xmeml":{"element":"clipitem","attributes":[["id","c9"],)"
        R"(["premiereChannelType","stereo"],["a","b","c"],[1,"x"],["lone"]]}})";
    const SharedPtr<Composition> composition = fromOtio(
        otioTimeline({{"V1", "Video", otioClip("a", 0, 10, "file:///m/a.mov", metadata)}}));
    ASSERT_TRUE(composition);
    const std::string written = writeXmeml(*composition);
    EXPECT_NE(written.find("<clipitem id=\"c9\" premiereChannelType=\"stereo\">\n<name>a</name>"),
              std::string::npos)
        << written;
}

TEST(XmemlWrite, AFileGivenBackAsItStandsKeepsItsId) {
    // A file that says only what the writer writes from its clip's media (its
    // name the path's last part) is written from the media, under the id it
    // came with while no other element has it.
    const XmemlRead read = readXmeml(sequenceXml({clipXml(
        "a", 0, 10, 0, 10, fileXml("a.mov", "file://localhost/m/a.mov", rateXml(24), 100))}));
    ASSERT_TRUE(read.composition);
    const std::string written = writeXmeml(*read.composition);
    EXPECT_NE(withoutLayout(written).find("<file id=\"a.mov\"><name>a.mov</name>"),
              std::string::npos)
        << written;
}

TEST(XmemlWrite, AFileIsGivenBackWhileItsTimecodeSaysTheWritersDisplayFormat) {
    // A file saying nothing the writer would not write is written from its
    // media (with the name and timecode the writer gives it); at 24 frames a
    // second the writer's display format is NDF, so a file saying DF is
    // written as it came (no name, as it had none).
    const struct {
        const char* display;
        const char* written;
    } cases[] = {
        {"NDF", "<file id=\"f1\"><name>a.mov</name><pathurl>file://localhost/m/a.mov</pathurl>"},
        {"DF", "<file id=\"f1\"><pathurl>file://localhost/m/a.mov</pathurl>"},
    };
    for (const auto& c : cases) {
        const std::string file = "<file id=\"f1\"><pathurl>file://localhost/m/a.mov</pathurl>" +
                                 rateXml(24) +
                                 "<duration>100</duration><timecode><frame>100</frame>"
                                 "<displayformat>" +
                                 c.display + "</displayformat></timecode></file>";
        const XmemlRead read = readXmeml(sequenceXml({clipXml("a", 0, 10, 0, 10, file)}));
        ASSERT_TRUE(read.composition) << read.message;
        const std::string written = withoutLayout(writeXmeml(*read.composition));
        EXPECT_NE(written.find(c.written), std::string::npos) << c.display << "\n" << written;
    }
}

TEST(XmemlWrite, AKeptElementHoldingOnlyCharactersXmlCannotHoldIsWrittenEmpty) {
    // A kept filter's value holds nothing but a control character (\x10),
    // which is left out: the value is written empty, as it reads back, and
    // the document written again from what it read is the same text.
    const std::string filter =
        "<filter><effect><name>Blur</name><effectid>blur</effectid><parameter>"
        "<parameterid>radius</parameterid><value>\x10</value></parameter></effect></filter>";
    const XmemlRead read = readXmeml(sequenceXml({clipXml("a", 0, 10, 0, 10, kFile, filter)}));
    ASSERT_TRUE(read.composition) << read.message;
    const std::string written = writeXmeml(*read.composition);
    EXPECT_NE(withoutLayout(written).find("<parameterid>radius</parameterid><value/>"),
              std::string::npos)
        << written;
    const XmemlRead again = readXmeml(written);
    ASSERT_TRUE(again.composition) << again.message;
    EXPECT_EQ(writeXmeml(*again.composition), written);
}

TEST(XmemlWrite, AKeptMarkersInAndOutAreWrittenAsNumbersAlone) {
    // A marker whose in and out another element splits ("2<x/>0" reads as 20,
    // "3<sequence/>0" as 30) is kept, and written back with 20 and 30 alone:
    // read again, it is at the same frames, and the document written again from
    // what it read is the same text.
    const std::string marker = "<marker><name>focus</name><comment>soft</comment><in>2<x/>0</in>"
                               "<out>3<sequence id=\"s\"/>0</out></marker>";
    const XmemlRead read = readXmeml(sequenceXml({clipXml("a", 0, 60, 0, 60, kFile, marker)}));
    ASSERT_TRUE(read.composition) << read.message;
    const std::string written = writeXmeml(*read.composition);
    EXPECT_NE(withoutLayout(written).find("<comment>soft</comment><in>20</in><out>30</out>"),
              std::string::npos)
        << written;
    const XmemlRead again = readXmeml(written);
    ASSERT_TRUE(again.composition) << again.message;
    EXPECT_EQ(writeXmeml(*again.composition), written);
}

TEST(XmemlWrite, AKeptPointMarkerStaysAPointOnAClipFasterThanItsSequence) {
    struct Case {
        int rate;             ///< the clip's (and its file's)
        const char* out;      ///< the marker's out point, as it came
        const char* expected; ///< its in and out, as written
    };
    // A marker at 20 on a clip playing 0..24 at 24 from its frame 0. A point
    // (out -1) shows for one record frame: at a clip rate of 48 that is 2 of
    // the clip's, and still a point. 20..30 at 48 is 5 record frames, 10 at 48.
    const Case cases[] = {
        {48, "-1", "<in>20</in><out>-1</out>"},
        {24, "-1", "<in>20</in><out>-1</out>"},
        {48, "30", "<in>20</in><out>30</out>"},
        // One frame, 20..21, stays as it came; an out at its in says no length.
        {24, "21", "<in>20</in><out>21</out>"},
        {24, "20", "<in>20</in><out>-1</out>"},
    };
    for (const Case& c : cases) {
        const std::string track = clipXml(
            "A", 0, 24, 0, c.rate, fileXml("f1", "file://localhost/m/a.mov", rateXml(c.rate), 1000),
            rateXml(c.rate) + "<marker><name>m</name><in>20</in><out>" + c.out + "</out></marker>");
        const XmemlRead read = readXmeml(sequenceXml({track}));
        ASSERT_TRUE(read.composition) << read.message;
        const std::string written = writeXmeml(*read.composition);
        const std::string compact = withoutLayout(written);
        EXPECT_NE(compact.find(std::string("<marker><name>m</name>") + c.expected + "</marker>"),
                  std::string::npos)
            << c.rate << c.out << compact;
        const XmemlRead again = readXmeml(written);
        ASSERT_TRUE(again.composition);
        EXPECT_EQ(writeXmeml(*again.composition), written) << c.rate << c.out;
    }
}

TEST(XmemlWrite, ANestedSequenceGivenTwiceAsOneIsWrittenOnceThenById) {
    // Two clips hold the sequence "inner" in full, laid out differently, the
    // second with a character XML cannot hold in a name: written, they are one
    // sequence, given in full once and by id after; read and written again,
    // the same text.
    const std::string inner = "<sequence id=\"inner\"><name>Inner</name>" + rateXml(24) +
                              "<media><video><track>" + clipXml("x", 0, 20, 0, 20, kFile) +
                              "</track></video></media></sequence>";
    std::string other = inner;
    other.replace(other.find("<name>Inner"), 6, "\n  <name>");
    other.replace(other.find("<name>x"), 7, "<name>\x01x");
    const std::string track =
        clipXml("n1", 0, 10, 0, 10, "", inner) + clipXml("n2", 10, 20, 5, 15, "", other);
    const XmemlRead read = readXmeml(sequenceXml({track}));
    ASSERT_TRUE(read.composition) << read.message;
    const std::string written = writeXmeml(*read.composition);
    const auto count = [&](const std::string& what) {
        std::size_t n = 0;
        for (std::size_t at = written.find(what); at != std::string::npos;
             at = written.find(what, at + 1))
            ++n;
        return n;
    };
    EXPECT_EQ(count("<sequence id=\"inner\">"), 1u) << written;
    EXPECT_EQ(count("<sequence id=\"inner\"/>"), 1u) << written;
    const XmemlRead again = readXmeml(written);
    ASSERT_TRUE(again.composition) << written;
    EXPECT_EQ(writeXmeml(*again.composition), written);
}

TEST(XmemlWrite, ChildrenOfVideoAndAudioTheReaderDoesNotKnowAreWrittenBack) {
    // Beside the tracks and the format: written back inside the element they
    // came in, and the same text written again.
    std::string text = sequenceXml(
        {clipXml("a", 0, 10, 0, 10, fileXml("f1", "file://localhost/m/a.mov", rateXml(24), 100))});
    const std::string video = "<previewsettings><codec>ProRes</codec></previewsettings>";
    const std::string audio = "<numOutputChannels>2</numOutputChannels>";
    text.replace(text.find("<video>\n"), 8, "<video>\n" + video + "\n");
    text.replace(text.find("<audio>\n"), 8, "<audio>\n" + audio + "\n");
    const XmemlRead read = readXmeml(text);
    ASSERT_TRUE(read.composition);
    const std::string written = writeXmeml(*read.composition);
    const std::string compact = withoutLayout(written);
    const std::size_t videoAt = compact.find("<video>");
    const std::size_t audioAt = compact.find("<audio>");
    ASSERT_NE(audioAt, std::string::npos) << written;
    const std::size_t keptVideo = compact.find(video);
    EXPECT_TRUE(keptVideo > videoAt && keptVideo < audioAt) << written;
    EXPECT_NE(compact.find(audio, audioAt), std::string::npos) << written;
    const XmemlRead again = readXmeml(written);
    ASSERT_TRUE(again.composition);
    EXPECT_EQ(writeXmeml(*again.composition), written);
}

TEST(XmemlWrite, ClipsShorterThanAFrameAtTheWrittenRateAreReported) {
    // A sequence counting at 6000 (a sample rate, written at its picture's 24):
    // the picture clip's 6000 frames are 24; the sound clip's 100 are 0.4 of a
    // frame, 0 once rounded: a reader would drop it, so it is not written.
    const std::string text =
        sequenceXml({clipXml("v", 0, 6000, 0, 24,
                             fileXml("f1", "file://localhost/m/a.mov", rateXml(24), 1000))},
                    {clipXml("s", 0, 100, 10, 10, "<file id=\"f1\"/>")}, rateXml(6000));
    const XmemlRead read = readXmeml(text);
    ASSERT_TRUE(read.composition) << read.message;
    std::vector<std::string> losses;
    const std::string written = writeXmeml(*read.composition, &losses);
    EXPECT_EQ(std::count_if(losses.begin(), losses.end(),
                            [](const std::string& loss) {
                                return loss.find("/xmeml/sequence/media/audio/track | clipitem | "
                                                 "\"s\" lasts less than a frame") == 0;
                            }),
              1)
        << written;
    std::size_t clips = 0;
    for (std::size_t at = written.find("<clipitem"); at != std::string::npos;
         at = written.find("<clipitem", at + 1))
        ++clips;
    EXPECT_EQ(clips, 1u) << written;
    const XmemlRead again = readXmeml(written);
    ASSERT_TRUE(again.composition) << written;
    EXPECT_EQ(itemsOf(*again.composition), Lines{"V1 0+24 clip v src 0@24 /m/a.mov"});
    EXPECT_EQ(writeXmeml(*again.composition), written);
}

TEST(XmemlWrite, KeptOutPointsAlignmentsAndDisplayFormatsHoldWhileTheyStillSayTheSame) {
    // A clip playing 48 record frames of 24 source frames keeps its out point
    // 24; the transition its alignment "end" (its cut at its end, 20);
    // the sequence its non-drop display at 29.97 (01:00:00:00 is 108000).
    const std::string track =
        clipXml("A", 0, -1, 0, 10, kFile) +
        "<transitionitem><start>10</start><end>20</end><alignment>end</alignment><effect><name>"
        "Dip</name></effect></transitionitem>" +
        clipXml("B", -1, 68, 100, 124, "<file id=\"f1\"/>");
    const XmemlRead read = readXmeml(sequenceXml(
        {track}, {}, rateXml(30, true),
        "<timecode><string>01:00:00:00</string><displayformat>NDF</displayformat></timecode>"));
    ASSERT_TRUE(read.composition);
    EXPECT_EQ(itemsOf(*read.composition), (Lines{"V1 108000+20 clip A src 0@24 /m/a.mov",
                                                 "V1 108020+48 clip B src 100@24 /m/a.mov"}));
    const std::string compact = withoutLayout(writeXmeml(*read.composition));
    EXPECT_NE(compact.find("<string>01:00:00:00</string><frame>108000</frame><displayformat>NDF"),
              std::string::npos)
        << compact;
    EXPECT_NE(compact.find("<start>10</start><end>20</end><alignment>end</alignment>"),
              std::string::npos);
    EXPECT_NE(compact.find("<in>100</in><out>124</out>"), std::string::npos);
    EXPECT_NE(compact.find("<start>-1</start><end>68</end>"), std::string::npos);
    EXPECT_NE(compact.find("<start>0</start><end>-1</end>"), std::string::npos);
}

TEST(XmemlWrite, WhatATreeHoldsBeyondXmemlIsReported) {
    // The edit tree's test tree: a source with two inputs and every kind of
    // effect, a gap, a source without any input.
    std::vector<std::string> losses;
    const std::string written = writeXmeml(*test::fromTree(*DmTest::makeFullTree()), &losses);
    bool inputs = false, effects = false;
    for (const std::string& loss : losses) {
        inputs = inputs || loss.find("past its first are not written") != std::string::npos;
        effects = effects || loss.find("not written: xmeml has no filter") != std::string::npos;
    }
    EXPECT_TRUE(inputs) << written;
    EXPECT_TRUE(effects) << written;
    // A second transition at one cut, and characters XML cannot hold.
    const std::string twice =
        otioClip("a\\u0001", 100, 48, "/m/a.mov") +
        R"(,{"OTIO_SCHEMA":"Transition.1","name":"one","transition_type":"SMPTE_Dissolve","in_offset":)" +
        test::rationalTime(6, 24) + R"(,"out_offset":)" + test::rationalTime(6, 24) +
        R"(},{"OTIO_SCHEMA":"Transition.1","name":"two","transition_type":"SMPTE_Dissolve","in_offset":)" +
        test::rationalTime(6, 24) + R"(,"out_offset":)" + test::rationalTime(6, 24) + "}," +
        otioClip("b", 200, 48, "/m/b.mov");
    const std::string text = writeXmeml(*fromOtio(otioTimeline({{"V1", "Video", twice}})), &losses);
    EXPECT_EQ(lossPlaces(losses), (Lines{"/xmeml/sequence/media/video/track",
                                         "/xmeml/sequence/media/video/track/clipitem[1]"}));
    EXPECT_NE(text.find("<name>one</name>"), std::string::npos);
    EXPECT_EQ(text.find("<name>two</name>"), std::string::npos);
    EXPECT_NE(text.find("<name>a</name>"), std::string::npos);
}

} // namespace
} // namespace ZEM_0_81::test::xmeml

namespace ZEM_0_81::test::xmeml {
namespace {

TEST(XmemlWrite, SpeedsAreTimeRemapsAndOtherEffectsAreReported) {
    struct Case {
        std::string effect;
        const char* speed; ///< the speed parameter written, or null for none
        const char* reverse;
    };
    const Case cases[] = {
        {R"({"OTIO_SCHEMA":"LinearTimeWarp.1","name":"","effect_name":"LinearTimeWarp","time_scalar":0.5})",
         "50", "FALSE"},
        {R"({"OTIO_SCHEMA":"LinearTimeWarp.1","name":"","effect_name":"LinearTimeWarp","time_scalar":-2})",
         "200", "TRUE"},
        {R"({"OTIO_SCHEMA":"FreezeFrame.1","name":"","effect_name":"FreezeFrame"})", "0", "FALSE"},
        {R"({"OTIO_SCHEMA":"Effect.1","name":"blur","effect_name":"Blur"})", nullptr, nullptr},
    };
    for (const Case& c : cases) {
        const SharedPtr<Composition> composition = fromOtio(
            otioTimeline({{"V1", "Video",
                           otioClip("a", 10, 48, "/m/a.mov", ",\"effects\":[" + c.effect + "]")}}));
        ASSERT_TRUE(composition);
        std::vector<std::string> losses;
        const std::string compact = withoutLayout(writeXmeml(*composition, &losses));
        if (!c.speed) {
            EXPECT_EQ(compact.find("<filter>"), std::string::npos);
            EXPECT_EQ(lossPlaces(losses), Lines{"/xmeml/sequence/media/video/track/clipitem"});
            continue;
        }
        EXPECT_TRUE(losses.empty()) << c.effect;
        EXPECT_NE(compact.find(std::string("<parameterid>speed</parameterid><name>speed</name>"
                                           "<value>") +
                               c.speed + "</value>"),
                  std::string::npos)
            << compact;
        EXPECT_NE(compact.find(std::string("<parameterid>reverse</parameterid><name>reverse</name>"
                                           "<value>") +
                               c.reverse + "</value>"),
                  std::string::npos);
        // Read back, the speed is kept as the one written.
        const XmemlRead again = readXmeml(compact);
        ASSERT_TRUE(again.composition);
        EXPECT_EQ(lossPlaces(again.losses),
                  Lines{"/xmeml/sequence/media/video/track/clipitem/filter"});
        EXPECT_EQ(itemsOf(*again.composition), itemsOf(*composition));
    }
}

TEST(XmemlWrite, APictureKeepsItsOwnRateHoweverFastAndSoundAtASampleRateTakesTheSequences) {
    struct Case {
        bool otio; ///< a standard OTIO timeline from 01:00:00:00, else an xmeml sequence
        bool audio;
        const char* written; ///< the clip's duration (its file's) and rate
        const char* item;    ///< read back
    };
    // A clip of a file at 2000 frames a second (10000 frames: 5 seconds), a
    // second long (24 frames at 24), from its frame 250: a picture (high-speed
    // footage) is written at its own 2000; sound counts at the sequence's 24,
    // 250 frames at 2000 being 3 at 24, 5 seconds 120. Nothing is lost.
    const Case cases[] = {
        {false, false, "<duration>10000</duration><rate><timebase>2000</timebase>",
         "V1 0+24 clip c src 250@2000 /m/fast.mov"},
        {false, true, "<duration>120</duration><rate><timebase>24</timebase>",
         "A1 0+24 clip c src 3@24 /m/fast.mov"},
        {true, false, "<duration>10000</duration><rate><timebase>2000</timebase>",
         "V1 86400+24 clip c src 250@2000 /m/fast.mov"},
        {true, true, "<duration>120</duration><rate><timebase>24</timebase>",
         "A1 86400+24 clip c src 3@24 /m/fast.mov"},
    };
    for (const Case& c : cases) {
        SharedPtr<Composition> composition;
        if (c.otio) {
            const std::string clip =
                R"({"OTIO_SCHEMA":"Clip.2","name":"c","source_range":)" +
                test::timeRange(250, 2000, 2000) +
                R"(,"media_references":{"DEFAULT_MEDIA":{"OTIO_SCHEMA":"ExternalReference.1","target_url":"/m/fast.mov","available_range":)" +
                test::timeRange(0, 10000, 2000) +
                R"(}},"active_media_reference_key":"DEFAULT_MEDIA"})";
            composition = fromOtio(
                otioTimeline({{c.audio ? "A1" : "V1", c.audio ? "Audio" : "Video", clip}}));
        } else {
            const std::string clip = clipXml(
                "c", 0, 24, 250, 2250,
                fileXml("f1", "file://localhost/m/fast.mov", rateXml(2000), 10000), rateXml(2000));
            composition =
                readXmeml(c.audio ? sequenceXml({}, {clip}) : sequenceXml({clip})).composition;
        }
        ASSERT_TRUE(composition) << c.otio << c.audio;
        std::vector<std::string> losses;
        const std::string compact = withoutLayout(writeXmeml(*composition, &losses));
        EXPECT_TRUE(losses.empty()) << c.otio << c.audio << compact;
        EXPECT_NE(compact.find(std::string("<name>c</name>") + c.written), std::string::npos)
            << c.otio << c.audio << compact;
        const XmemlRead again = readXmeml(compact);
        ASSERT_TRUE(again.composition) << compact;
        EXPECT_EQ(itemsOf(*again.composition), Lines{c.item}) << c.otio << c.audio;
    }
}

TEST(XmemlWrite, SoundAtItsSampleRateCountsAtTheSequencesRate) {
    // Sound whose range counts samples at 48000 beside pictures at 24: the
    // sequence runs at 24; the sound clip's 96000 samples are its frame 48.
    const std::string sound =
        R"({"OTIO_SCHEMA":"Clip.2","name":"s","source_range":)" +
        test::timeRange(96000, 48000, 48000) +
        R"(,"media_references":{"DEFAULT_MEDIA":{"OTIO_SCHEMA":"ExternalReference.1","target_url":"/m/s.wav","available_range":)" +
        test::timeRange(0, 480000, 48000) + R"(}},"active_media_reference_key":"DEFAULT_MEDIA"})";
    const SharedPtr<Composition> composition = fromOtio(
        otioTimeline({{"V1", "Video", otioClip("a", 10, 24, "/m/a.mov")}, {"A1", "Audio", sound}}));
    ASSERT_TRUE(composition);
    std::vector<std::string> losses;
    const std::string written = writeXmeml(*composition, &losses);
    const XmemlRead again = readXmeml(written);
    ASSERT_TRUE(again.composition) << written;
    EXPECT_EQ(itemsOf(*again.composition), (Lines{"V1 86400+24 clip a src 10@24 /m/a.mov",
                                                  "A1 86400+24 clip s src 48@24 /m/s.wav"}))
        << written;
}

} // namespace
} // namespace ZEM_0_81::test::xmeml
