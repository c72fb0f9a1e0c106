// Writing FCPXML: what each rule writes, on compositions read from
// hand-written documents (times worked out by hand at 24 frames a second),
// and every example and test composition written in every version and read
// back as the same cut.

#include "interchange/Documents.h"
#include "tests/interchange/fcpxml/FcpxmlTestSupport.h"
#include "tests/support/TestData.h"

#include <gtest/gtest.h>

#include <pugixml.hpp>

#include <map>
#include <string>
#include <vector>

namespace ZEM_0_81::test::fcpx {
namespace {

using Lines = std::vector<std::string>;

SharedPtr<Composition> compositionOf(const std::string& spine, const std::string& sequence = "",
                                     const std::string& resources = "") {
    const FcpxmlRead read = readFcpxml(documentOf(spine, sequence, resources));
    EXPECT_TRUE(read.status) << read.message;
    return read.composition;
}

/// The written document, parsed.
struct Written {
    pugi::xml_document document;
    std::vector<std::string> losses;
    pugi::xml_node spine() const {
        return document.child("fcpxml")
            .child("library")
            .child("event")
            .child("project")
            .child("sequence")
            .child("spine");
    }
};

void write(const Composition& composition, Written& written, std::int32_t version = 8) {
    const std::string text = writeFcpxml(composition, version, &written.losses);
    ASSERT_TRUE(written.document.load_string(text.c_str())) << text;
}

/// Each element of `parent` as "NAME attribute=value ..." for the attributes
/// asked for, in order.
Lines elementsOf(const pugi::xml_node& parent, const std::vector<const char*>& attributes) {
    Lines lines;
    for (const pugi::xml_node child : parent.children()) {
        std::string line = child.name();
        for (const char* attribute : attributes)
            if (child.attribute(attribute))
                line += std::string(" ") + attribute + "=" + child.attribute(attribute).value();
        lines.push_back(line);
    }
    return lines;
}

TEST(FcpxmlWrite, TheStorylineHoldsTheFirstVideoTracksItemsAndItsHolesAsGaps) {
    const SharedPtr<Composition> cut =
        compositionOf(R"(<asset-clip ref="a1" offset="3600s" name="x" start="3610s" duration="2s"/>
                         <asset-clip ref="a2" offset="3603s" name="y" start="1s" duration="1s"/>)",
                      R"(format="r24" tcStart="3600s")");
    Written written;
    write(*cut, written);
    // Offsets are the sequence's (timecode) time: tcStart + the record place.
    EXPECT_EQ(elementsOf(written.spine(), {"ref", "offset", "name", "start", "duration"}),
              (Lines{"asset-clip ref=r2 offset=3600s name=x start=3610s duration=2s",
                     "gap offset=3602s start=0s duration=1s",
                     "asset-clip ref=r3 offset=3603s name=y start=1s duration=1s"}));
    const pugi::xml_node sequence = written.spine().parent();
    EXPECT_STREQ(sequence.attribute("tcStart").value(), "3600s");
    EXPECT_STREQ(sequence.attribute("duration").value(), "4s");
    EXPECT_STREQ(sequence.attribute("format").value(), "r1");
    EXPECT_TRUE(written.losses.empty());
}

TEST(FcpxmlWrite, VersionsNameTheirFilesAsTheirDocumentTypesDo) {
    const SharedPtr<Composition> cut =
        compositionOf(R"(<asset-clip ref="a2" offset="0s" start="1s" duration="1s"/>)");
    for (std::int32_t version = 8; version <= 13; ++version) {
        Written written;
        write(*cut, written, version);
        const pugi::xml_node root = written.document.child("fcpxml");
        EXPECT_EQ(root.attribute("version").value(), "1." + std::to_string(version));
        const pugi::xml_node asset = root.child("resources").child("asset");
        // 1.8: the asset's own "src"; from 1.9 a media representation.
        EXPECT_EQ(std::string(asset.attribute("src").value()),
                  version == 8 ? "file:///m/a2.mov" : "")
            << version;
        EXPECT_EQ(std::string(asset.child("media-rep").attribute("src").value()),
                  version == 8 ? "" : "file:///m/a2.mov")
            << version;
        EXPECT_STREQ(asset.attribute("start").value(), "0s");
        EXPECT_STREQ(asset.attribute("duration").value(), "100s");
    }
    String text;
    LossReport losses;
    String message;
    Fcpxml::WriteOptions options;
    for (const std::int32_t version : {7, 14}) {
        options.version = version;
        EXPECT_EQ(Fcpxml::write(*cut, options, text, losses, &message),
                  Status(Status::JsonConversionFailed));
        EXPECT_TRUE(text.empty());
    }
}

TEST(FcpxmlWrite, OnlyAReelsFirstCompositionAtAReadableRateIsWritten) {
    // Edit trees given as their JSON: the composition written is the first of
    // the root's first reel, counted at the rate of its start's timecode; a
    // root without a reel, an empty reel and a rate text naming no rate are
    // refused with the reason, the text untouched.
    const auto treeOf = [](const std::string& reel) {
        return R"({"format":"KRdmtree-json","version":1,"tree":{"kind":"root","name":"","children":[)" +
               reel + "]}}";
    };
    const auto reelOf = [](const std::string& compositions) {
        return R"({"kind":"reel","name":"","children":[)" + compositions + "]}";
    };
    const auto compositionAt = [](const char* fcm, const char* startTcFcm) {
        return std::string(R"({"kind":"composition","name":"C","fcm":")") + fcm +
               R"(","startTC":0.0,"startTcFcm":")" + startTcFcm +
               R"(","length":0.0,"resolution":null,"children":[]})";
    };
    struct Case {
        std::string tree;
        Status::Type status;
        const char* message; ///< the reason; the sequence's frameDuration when written
    };
    const Case cases[] = {
        {treeOf(""), Status::NoData, "the edit tree holds no composition to write"},
        {treeOf(reelOf("")), Status::NoData, "the edit tree holds no composition to write"},
        // A frame lasts 1/rate: 1/24s at 24, 1s at 1 frame a second, 2s at 1/2.
        {treeOf(reelOf(compositionAt("24", "24"))), Status::Success, "1/24s"},
        {treeOf(reelOf(compositionAt("24", "24") + "," + compositionAt("25", "25"))),
         Status::Success, "1/24s"},
        {treeOf(reelOf(compositionAt("1", "1"))), Status::Success, "1s"},
        {treeOf(reelOf(compositionAt("1/2", "1/2"))), Status::Success, "2s"},
        {treeOf(reelOf(compositionAt("x", "x"))), Status::NoFrameRateText,
         "the composition's rate \"x\" cannot be read"},
        {treeOf(reelOf(compositionAt("0", "0"))), Status::NoFrameRateText,
         "the composition's rate \"0\" cannot be read"},
        // The message names the text the rate was read from.
        {treeOf(reelOf(compositionAt("24", "0"))), Status::NoFrameRateText,
         "the composition's rate \"0\" cannot be read"},
    };
    for (const Case& c : cases) {
        SharedPtr<Composition> composition;
        ASSERT_TRUE(Composition::create(composition, "t", "t", Rational(24, 1)));
        composition->setJson(Composition::JsonType::DmTree, String(c.tree.c_str()));
        String text("untouched");
        LossReport losses;
        String message;
        const Status status =
            Fcpxml::write(*composition, Fcpxml::WriteOptions(), text, losses, &message);
        EXPECT_EQ(status.getType(), c.status) << c.tree;
        if (status) {
            pugi::xml_document document;
            ASSERT_TRUE(document.load_string(text.c_str())) << text.c_str();
            EXPECT_STREQ(document.child("fcpxml")
                             .child("resources")
                             .child("format")
                             .attribute("frameDuration")
                             .value(),
                         c.message)
                << c.tree;
        } else {
            EXPECT_STREQ(message.c_str(), c.message) << c.tree;
            EXPECT_STREQ(text.c_str(), "untouched") << c.tree;
        }
    }
}

TEST(FcpxmlWrite, SlowRatesAreWrittenAsTheirFramesDuration) {
    // A timeline at 1 frame a second (its frame 1s long) or at 1/2 (2s) and
    // one at 24: each writes its sequence's format with its frame duration,
    // and a clip of 4s from a2's 10s stands as it was read.
    for (const char* frame : {"1s", "2s", "1/24s"}) {
        const std::string format = std::string(R"(<format id="slow" frameDuration=")") + frame +
                                   R"(" width="640" height="480"/>)";
        const SharedPtr<Composition> cut =
            compositionOf(R"(<asset-clip ref="a2" offset="0s" start="10s" duration="4s"/>)",
                          R"(format="slow" tcStart="0s")", format);
        ASSERT_TRUE(cut);
        Written written;
        write(*cut, written);
        const pugi::xml_node sequence = written.spine().parent();
        const pugi::xml_node writtenFormat =
            written.document.child("fcpxml")
                .child("resources")
                .find_child_by_attribute("format", "id", sequence.attribute("format").value());
        EXPECT_STREQ(writtenFormat.attribute("frameDuration").value(), frame);
        EXPECT_STREQ(sequence.attribute("duration").value(), "4s") << frame;
        EXPECT_EQ(elementsOf(written.spine(), {"offset", "start", "duration"}),
                  Lines{"asset-clip offset=0s start=10s duration=4s"})
            << frame;
    }
}

TEST(FcpxmlWrite, OtherTracksAreConnectedToTheItemUnderTheirStart) {
    const SharedPtr<Composition> cut = compositionOf(
        // Two storyline items (0s-2s from a1's 3610s, 2s-4s from a2's 0s); a
        // picture at 3s (lane 2) and a sound at 1s (lane -1).
        R"(<asset-clip ref="a1" offset="0s" start="3610s" duration="2s">
             <asset-clip ref="a3" lane="-1" offset="3611s" start="5s" duration="1s"/>
           </asset-clip>
           <asset-clip ref="a2" offset="2s" start="0s" duration="2s">
             <asset-clip ref="a2" lane="2" offset="1s" start="50s" duration="1s"/>
           </asset-clip>)");
    Written written;
    write(*cut, written);
    const pugi::xml_node first = written.spine().first_child();
    const pugi::xml_node second = first.next_sibling();
    // In each parent's own time: 3610s + 1s; 0s + 1s.
    EXPECT_EQ(elementsOf(first, {"lane", "offset", "start", "duration", "srcEnable"}),
              Lines{"asset-clip lane=-1 offset=3611s start=5s duration=1s srcEnable=audio"});
    EXPECT_EQ(elementsOf(second, {"lane", "offset", "start", "duration"}),
              Lines{"asset-clip lane=2 offset=1s start=50s duration=1s"});
}

TEST(FcpxmlWrite, TracksWithoutLanesTakeTheFirstFreeAboveOrBelow) {
    // Standard OTIO of two video tracks and two audio tracks.
    const std::string clip =
        R"({"OTIO_SCHEMA":"Clip.2","name":"c","source_range":{"OTIO_SCHEMA":"TimeRange.1","start_time":{"OTIO_SCHEMA":"RationalTime.1","rate":24,"value":0},"duration":{"OTIO_SCHEMA":"RationalTime.1","rate":24,"value":24}},"media_references":{"DEFAULT_MEDIA":{"OTIO_SCHEMA":"ExternalReference.1","target_url":"/m/c.mov","available_range":null}},"active_media_reference_key":"DEFAULT_MEDIA"})";
    std::string tracks;
    for (const char* kind : {"Video", "Video", "Audio", "Audio"})
        tracks += std::string(tracks.empty() ? "" : ",") +
                  R"({"OTIO_SCHEMA":"Track.1","name":"t","kind":")" + kind + R"(","children":[)" +
                  clip + "]}";
    const std::string text =
        R"({"OTIO_SCHEMA":"Timeline.1","name":"T","global_start_time":null,"tracks":{"OTIO_SCHEMA":"Stack.1","children":[)" +
        tracks + "]}}";
    const DocumentReading reading = Documents::read(text.c_str(), text.size(), "t");
    ASSERT_TRUE(reading.status) << reading.where;
    Written written;
    write(*reading.composition, written);
    Lines lanes;
    for (const pugi::xml_node child : written.spine().first_child().children())
        lanes.push_back(std::string(child.attribute("lane").value()) + " " +
                        child.attribute("srcEnable").value());
    // A file a video track uses has picture: its sound is asked for.
    EXPECT_EQ(lanes, (Lines{"1 ", "-1 audio", "-2 audio"}));
}

TEST(FcpxmlWrite, TransitionsAreCentredOnTheirCutsTheirNeighboursOverlappingThem) {
    const SharedPtr<Composition> cut = compositionOf(
        // Cut at 60 (2.5s), 12 frames each side; A ends there, B starts there
        // 12 frames (0.5s) into its 30s.
        R"(<asset-clip ref="a1" offset="0s" name="A" start="3610s" duration="3s"/>
           <transition name="Cross Dissolve" offset="2s" duration="1s"/>
           <asset-clip ref="a2" offset="2s" name="B" start="30s" duration="4s">
             <marker start="31s" duration="1/24s" value="m"/>
           </asset-clip>)");
    Written written;
    write(*cut, written);
    EXPECT_EQ(elementsOf(written.spine(), {"name", "offset", "start", "duration"}),
              (Lines{"asset-clip name=A offset=0s start=3610s duration=3s",
                     "transition name=Cross Dissolve offset=2s duration=1s",
                     "asset-clip name=B offset=2s start=30s duration=4s"}));
    // B's marker stays at its own 31s (record 3s), though B is written from
    // the transition's start, half a second before the cut.
    EXPECT_EQ(elementsOf(written.spine().last_child(), {"start", "value"}),
              Lines{"marker start=31s value=m"});
    EXPECT_TRUE(written.losses.empty());
}

TEST(FcpxmlWrite, MarkersComeBackAsTheKindsTheyWere) {
    const SharedPtr<Composition> cut =
        compositionOf(R"(<asset-clip ref="a2" offset="0s" start="10s" duration="4s">
                           <marker start="11s" duration="1/24s" value="A" note="soft"/>
                           <marker start="12s" duration="1/12s" value="B" completed="1"/>
                           <marker start="25/2s" duration="1/24s" value="B2" completed="0"/>
                           <chapter-marker start="13s" duration="1/24s" value="C"/>
                           <keyword start="10s" duration="4s" value="hero"/>
                           <note>a clip note</note>
                         </asset-clip>)");
    Written written;
    write(*cut, written);
    EXPECT_EQ(elementsOf(written.spine().first_child(),
                         {"start", "duration", "value", "completed", "note"}),
              (Lines{"note", "marker start=11s duration=1/24s value=A note=soft",
                     "marker start=12s duration=1/12s value=B completed=1",
                     "marker start=25/2s duration=1/24s value=B2 completed=0",
                     "chapter-marker start=13s duration=1/24s value=C",
                     "keyword start=10s duration=4s value=hero"}));
    EXPECT_STREQ(written.spine().first_child().child_value("note"), "a clip note");
}

TEST(FcpxmlWrite, TitlesComeBackWithTheirEffectAndTexts) {
    const SharedPtr<Composition> cut = compositionOf(
        R"(<title ref="e1" offset="0s" name="Hello" start="3600s" duration="2s" role="titles">
             <text><text-style ref="ts1">Hello</text-style></text>
             <text-style-def id="ts1"><text-style font="Helvetica"/></text-style-def>
           </title>
           <title ref="e1" offset="2s" name="Again" start="3600s" duration="1s">
             <text><text-style ref="ts1">Again</text-style></text>
             <text-style-def id="ts1"><text-style font="Helvetica"/></text-style-def>
           </title>)");
    Written written;
    write(*cut, written);
    const pugi::xml_node effect =
        written.document.child("fcpxml").child("resources").child("effect");
    EXPECT_STREQ(effect.attribute("name").value(), "Basic Title");
    EXPECT_STREQ(effect.attribute("uid").value(), ".../Titles.localized/Basic Title.moti");
    // Each title's style named afresh, its text referring to it.
    Lines titles;
    for (const pugi::xml_node title : written.spine().children("title"))
        titles.push_back(std::string(title.attribute("ref").value()) + " " +
                         title.attribute("role").value() + " " +
                         title.child("text").child("text-style").attribute("ref").value() + " " +
                         title.child("text-style-def").attribute("id").value());
    EXPECT_EQ(titles, (Lines{std::string(effect.attribute("id").value()) + " titles ts1 ts1",
                             std::string(effect.attribute("id").value()) + "  ts2 ts2"}));
}

TEST(FcpxmlWrite, WhatFcpxmlCannotHoldIsReported) {
    // A clip without media and a 120 frames a second conform, which 1.8 does not know.
    const SharedPtr<Composition> cut = compositionOf(
        R"(<ref-clip ref="c1" offset="0s" name="Comp" duration="1s"/>
           <asset-clip ref="a2" offset="1s" start="0s" duration="1s"><conform-rate srcFrameRate="120"/></asset-clip>)",
        "", R"(<media id="c1" name="Comp"><sequence format="r24"><spine/></sequence></media>)");
    Written old;
    write(*cut, old, 8);
    EXPECT_EQ(elementsOf(old.spine(), {"name"}), (Lines{"gap name=Comp", "asset-clip name=A2"}));
    EXPECT_FALSE(old.spine().last_child().child("conform-rate"));
    EXPECT_EQ(old.losses.size(), 2u);
    EXPECT_EQ(lossPlaces(old.losses), (Lines{"track Primary storyline, 00:00:00:00",
                                             "track Primary storyline, 00:00:01:00"}));
    Written current;
    write(*cut, current, 13);
    EXPECT_TRUE(current.spine().last_child().child("conform-rate"));
    EXPECT_EQ(current.losses.size(), 1u);
}

TEST(FcpxmlWrite, ASourceStartBeyondWhatTheTreeCountsIsReported) {
    // A start of 4e14 seconds (9.6e15 frames at 24) is beyond the frames the edit tree counts
    // exactly (2^53): the clip is written from its media's first frame, and
    // says so; one second in is written as it is, and nothing is reported.
    struct Case {
        const char* start;
        const char* written;
        std::size_t losses;
    };
    for (const Case& c : {Case{"400000000000000s", "0s", 1}, Case{"1s", "1s", 0}}) {
        SCOPED_TRACE(c.start);
        const SharedPtr<Composition> cut =
            compositionOf(std::string(R"(<asset-clip ref="a2" offset="0s" start=")") + c.start +
                          R"(" duration="1s"/>)");
        ASSERT_TRUE(cut);
        Written written;
        write(*cut, written);
        EXPECT_EQ(std::string(written.spine().first_child().attribute("start").value()), c.written);
        ASSERT_EQ(written.losses.size(), c.losses);
        if (c.losses) {
            EXPECT_NE(written.losses[0].find("its source start is not known"), std::string::npos)
                << written.losses[0];
        }
    }
}

/// Each clip with media of `composition` as "KIND N RECORD_SECONDS+SECONDS
/// src SECONDS PATH", N its place among the tracks of its kind: the cut,
/// whatever the rates and names. (A clip without media is written as a gap,
/// and reported; a title comes back as one, as another test shows.)
Lines cutOf(const Composition& composition) {
    const TimelineView view = viewOf(composition);
    const auto seconds = [](std::int64_t frames, const Rational& rate) {
        // frames × den / num, in lowest terms.
        std::int64_t num = frames * static_cast<std::int64_t>(rate.getDenominator());
        std::int64_t den = rate.getNumerator();
        std::int64_t a = num < 0 ? -num : num, b = den;
        while (b != 0) {
            const std::int64_t r = a % b;
            a = b;
            b = r;
        }
        if (a > 1)
            num /= a, den /= a;
        return std::to_string(num) + (den == 1 ? "" : "/" + std::to_string(den));
    };
    Lines lines;
    std::map<int, int> counts;
    for (const TimelineTrack& track : view.tracks) {
        const int kind = static_cast<int>(track.kind);
        const int number = ++counts[kind];
        for (const TimelineItem& item : track.items) {
            if (item.isGap() || item.targetUrl.empty())
                continue;
            // A path is written as a file URL: the same file.
            std::string path = item.targetUrl;
            if (path.rfind("file://", 0) == 0)
                path = path.substr(7);
            for (std::size_t at = path.find('%'); at != std::string::npos && at + 2 < path.size();
                 at = path.find('%', at + 1))
                path.replace(at, 3, 1,
                             static_cast<char>(std::stoi(path.substr(at + 1, 2), nullptr, 16)));
            lines.push_back(
                std::string(TimelineTrack::kindName(track.kind)) + " " + std::to_string(number) +
                " " + seconds(item.record.start, view.rate) + "+" +
                seconds(item.record.duration, view.rate) + " src " +
                (item.source.start ? seconds(*item.source.start, item.source.rate) : "?") + " " +
                path);
        }
    }
    return lines;
}

TEST(FcpxmlWrite, EveryExampleAndTestCompositionReadsBackAsTheSameCut) {
    const std::vector<std::string> documents = {
        readExample("short-cut.otio.json"),
        readExample("graded-shot.otio.json"),
        readExample("review-notes.otio.json"),
        readTestData("roundtrip/cut.json"),
        readTestData("roundtrip/timing.json"),
        readTestData("roundtrip/missing.json"),
        readTestData("roundtrip/effects.json"),
        readTestData("roundtrip/tracking.json"),
        readTestData("interchange/two-rates-mutated.otio"),
        readTestData("interchange/two-shots.otio.json"),
        readTestData("interchange/kept-members.otio"),
        readTestData("interchange/defaults.otio"),
        documentOf(R"(<asset-clip ref="a1" offset="0s" start="3610s" duration="3s">
                        <asset-clip ref="a3" lane="-1" offset="3611s" start="1/48000s" duration="1s"/>
                        <spine lane="1" offset="3600s"><asset-clip ref="a2" offset="0s" start="5s" duration="1s"/>
                        <gap offset="1s" duration="1s"/><asset-clip ref="a4" offset="2s" start="18018/5s" duration="1s"/></spine>
                      </asset-clip>
                      <transition offset="2s" duration="1s"/>
                      <title ref="e1" offset="2s" start="3600s" duration="4s"/>)",
                   R"(format="r2398" tcStart="3600s")"),
    };
    for (const std::string& text : documents) {
        const DocumentReading original = Documents::read(text.c_str(), text.size(), "o");
        ASSERT_TRUE(original.status) << original.where;
        const Lines before = cutOf(*original.composition);
        for (std::int32_t version = 8; version <= 13; ++version) {
            const std::string written = writeFcpxml(*original.composition, version);
            const FcpxmlRead again = readFcpxml(written);
            ASSERT_TRUE(again.status) << again.message << "\n" << written;
            EXPECT_EQ(cutOf(*again.composition), before) << written;
            EXPECT_EQ(
                viewOf(*again.composition).start *
                    viewOf(*original.composition).rate.getNumerator() /
                    static_cast<std::int64_t>(viewOf(*original.composition).rate.getNumerator()),
                viewOf(*again.composition).start);
        }
    }
}

TEST(FcpxmlWrite, EveryTrackComesBackInItsPlaceAmongTheOthers) {
    // Each track but the storyline is connected on a lane of its own: its
    // own lane when that comes after the lane of the track of its kind
    // before it, in the order tracks are read back (picture: the storyline,
    // the lanes above, then those below; sound: lane 0, those below, then
    // those above), else the next free lane in that order; a lane is one
    // kind's. Read back, the tracks hold the same clips in the same order
    // (a track of a lane that cannot be read back is left out and reported).
    struct Case {
        const char* what;
        const char* spine;
        Lines tracks; ///< read back: "TRACK: CLIP ..."
        Lines losses; ///< the places reported when written
    };
    const Case cases[] = {
        {"storyline items that overlap: the second on lane 1, the lane 1 clip on 2",
         R"(<asset-clip ref="a2" offset="0s" name="p" start="0s" duration="2s">
              <asset-clip ref="a2" lane="1" offset="0s" name="up" start="10s" duration="1s"/>
            </asset-clip>
            <asset-clip ref="a2" offset="1s" name="q" start="20s" duration="1s"/>)",
         {"Primary storyline: p", "Video lane 1: q", "Video lane 2: up"},
         {}},
        {"picture below the storyline stays below, after the picture above",
         R"(<asset-clip ref="a2" offset="0s" name="p" start="0s" duration="2s">
              <asset-clip ref="a2" lane="-1" offset="0s" name="below" start="10s" duration="1s"/>
              <asset-clip ref="a2" lane="2" offset="1s" name="above" start="20s" duration="1s"/>
            </asset-clip>)",
         {"Primary storyline: p", "Video lane 2: above", "Video lane -1: below"},
         {}},
        {"clips overlapping on lane 3 (its second track on 4), lane 1 kept",
         R"(<asset-clip ref="a2" offset="0s" name="p" start="0s" duration="3s">
              <asset-clip ref="a2" lane="3" offset="0s" name="x" start="10s" duration="2s"/>
              <asset-clip ref="a2" lane="3" offset="1s" name="y" start="20s" duration="2s"/>
              <asset-clip ref="a2" lane="1" offset="0s" name="z" start="30s" duration="1s"/>
            </asset-clip>)",
         {"Primary storyline: p", "Video lane 1: z", "Video lane 3: x", "Video lane 4: y"},
         {}},
        {"clips overlapping on lane -1: the second track below it, on -2",
         R"(<asset-clip ref="a2" offset="0s" name="p" start="0s" duration="3s">
              <asset-clip ref="a2" lane="-1" offset="0s" name="x" start="10s" duration="2s"/>
              <asset-clip ref="a2" lane="-1" offset="1s" name="y" start="20s" duration="2s"/>
            </asset-clip>)",
         {"Primary storyline: p", "Video lane -1: x", "Video lane -2: y"},
         {}},
        {"sound of the storyline goes below it, those below further down, those above stay",
         R"(<asset-clip ref="a3" offset="0s" name="s0" start="0s" duration="1s"/>
            <asset-clip ref="a2" offset="1s" name="p" start="0s" duration="2s">
              <asset-clip ref="a3" lane="-1" offset="0s" name="below" start="10s" duration="1s"/>
              <asset-clip ref="a3" lane="1" offset="1s" name="above" start="20s" duration="1s"/>
            </asset-clip>)",
         {"Primary storyline: p", "Audio lane -1: s0", "Audio lane -2: below",
          "Audio lane 1: above"},
         {}},
        {"sound overlapping above the storyline on lane 1: the second track on 2",
         R"(<asset-clip ref="a2" offset="0s" name="p" start="0s" duration="3s">
              <asset-clip ref="a3" lane="1" offset="0s" name="x" start="10s" duration="2s"/>
              <asset-clip ref="a3" lane="1" offset="1s" name="y" start="20s" duration="2s"/>
            </asset-clip>)",
         {"Primary storyline: p", "Audio lane 1: x", "Audio lane 2: y"},
         {}},
        {"picture and sound below on one lane: the sound moves one further",
         R"(<asset-clip ref="a2" offset="0s" name="p" start="0s" duration="2s">
              <asset-clip ref="a2" lane="-1" offset="0s" name="v" start="10s" duration="1s"/>
              <asset-clip ref="a3" lane="-1" offset="1s" name="s" start="20s" duration="1s"/>
            </asset-clip>)",
         {"Primary storyline: p", "Video lane -1: v", "Audio lane -2: s"},
         {}},
        {"picture a million below the storyline stays there",
         R"(<asset-clip ref="a2" offset="0s" name="p" start="0s" duration="2s">
              <asset-clip ref="a2" lane="-1000000" offset="0s" name="far" start="10s" duration="1s"/>
            </asset-clip>)",
         {"Primary storyline: p", "Video lane -1000000: far"},
         {}},
        {"clips overlapping on lane -999999: the second track on the last lane, -1000000",
         R"(<asset-clip ref="a2" offset="0s" name="p" start="0s" duration="3s">
              <asset-clip ref="a2" lane="-999999" offset="0s" name="x" start="10s" duration="2s"/>
              <asset-clip ref="a2" lane="-999999" offset="1s" name="y" start="20s" duration="2s"/>
            </asset-clip>)",
         {"Primary storyline: p", "Video lane -999999: x", "Video lane -1000000: y"},
         {}},
        {"no lane above the farthest read: the track after it is reported",
         R"(<asset-clip ref="a2" offset="0s" name="p" start="0s" duration="3s">
              <asset-clip ref="a2" lane="1000000" offset="0s" name="x" start="10s" duration="2s"/>
              <asset-clip ref="a2" lane="1000000" offset="1s" name="y" start="20s" duration="2s"/>
            </asset-clip>)",
         {"Primary storyline: p", "Video lane 1000000: x"},
         // y starts 1s (24 frames) in.
         {"track Video lane 1000000 (2), 00:00:01:00"}},
    };
    const auto tracksOf = [](const Composition& composition) {
        Lines tracks;
        for (const TimelineTrack& track : viewOf(composition).tracks) {
            std::string line = track.name + ":";
            for (const TimelineItem& item : track.items)
                if (item.isClip())
                    line += " " + item.name;
            tracks.push_back(line);
        }
        return tracks;
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const SharedPtr<Composition> cut = compositionOf(c.spine);
        ASSERT_TRUE(cut);
        std::vector<std::string> losses;
        const std::string text = writeFcpxml(*cut, 8, &losses);
        const FcpxmlRead again = readFcpxml(text);
        ASSERT_TRUE(again.status) << again.message;
        EXPECT_EQ(tracksOf(*again.composition), c.tracks) << text;
        EXPECT_EQ(lossPlaces(losses), c.losses);
        if (c.losses.empty()) {
            EXPECT_EQ(cutOf(*again.composition), cutOf(*cut));
        }
    }
}

TEST(FcpxmlWrite, AssetsCoverWhatIsPlayedOfThemAndSayWhatTheyHold) {
    // a1 (3600s-4600s) played from 3610s as picture and, past its end, from
    // 4700s as sound: one asset from 3600s to 4701s, with picture and sound.
    const SharedPtr<Composition> cut =
        compositionOf(R"(<asset-clip ref="a1" offset="0s" start="3610s" duration="1s">
                           <asset-clip ref="a1" lane="-1" offset="3610s" start="4700s" duration="1s" srcEnable="audio"/>
                         </asset-clip>)",
                      R"(format="r2997" tcStart="0s")");
    Written written;
    write(*cut, written);
    const pugi::xml_node resources = written.document.child("fcpxml").child("resources");
    EXPECT_EQ(elementsOf(resources, {"id", "frameDuration", "start", "duration", "hasVideo",
                                     "hasAudio", "format"}),
              (Lines{"format id=r3 frameDuration=1/24s", "format id=r1 frameDuration=1001/30000s",
                     "asset id=r2 start=3600s duration=1101s hasVideo=1 hasAudio=1 format=r3"}));
    // 29.97 without a kept format: drop frame.
    EXPECT_STREQ(written.spine().parent().attribute("tcFormat").value(), "DF");
}

TEST(FcpxmlWrite, AGeneratorComesBackAsAVideoOfItsEffect) {
    const SharedPtr<Composition> cut =
        compositionOf(R"(<video ref="e1" offset="0s" name="Solid" start="0s" duration="1s"/>)");
    Written written;
    write(*cut, written);
    EXPECT_EQ(elementsOf(written.spine(), {"ref", "name", "duration"}),
              Lines{"video ref=r2 name=Solid duration=1s"});
}

TEST(FcpxmlWrite, TransitionsWithoutAStorylineItemAtTheirCutAreReported) {
    const SharedPtr<Composition> cut = compositionOf(
        // A transition last in the storyline, and one in a storyline of lane 1.
        R"(<asset-clip ref="a1" offset="0s" start="3600s" duration="4s">
             <spine lane="1" offset="3600s">
               <asset-clip ref="a2" offset="0s" start="0s" duration="2s"/>
               <transition offset="1s" duration="1s"/>
               <asset-clip ref="a2" offset="1s" start="5s" duration="2s"/>
             </spine>
           </asset-clip>
           <transition offset="3s" duration="1s"/>)");
    Written written;
    write(*cut, written);
    EXPECT_EQ(written.losses.size(), 2u);
    EXPECT_EQ(lossesWith(written.losses, "transition").size(), 2u);
    EXPECT_FALSE(written.spine().child("transition"));
}

TEST(FcpxmlWrite, NamesAreWrittenAsXmlHoldsThem) {
    SharedPtr<Composition> cut =
        compositionOf(R"(<asset-clip ref="a2" offset="0s" name="x" start="0s" duration="1s"/>)");
    // A name of another tool with a control character and a byte that is no UTF-8.
    const std::string otio =
        R"({"OTIO_SCHEMA":"Timeline.1","name":"T <&> \u0001","tracks":{"OTIO_SCHEMA":"Stack.1","children":[{"OTIO_SCHEMA":"Track.1","kind":"Video","children":[{"OTIO_SCHEMA":"Clip.2","name":"caf\u00e9","source_range":{"OTIO_SCHEMA":"TimeRange.1","start_time":{"OTIO_SCHEMA":"RationalTime.1","rate":24,"value":0},"duration":{"OTIO_SCHEMA":"RationalTime.1","rate":24,"value":24}},"media_references":{"DEFAULT_MEDIA":{"OTIO_SCHEMA":"ExternalReference.1","target_url":"/m/my file.mov","available_range":null}},"active_media_reference_key":"DEFAULT_MEDIA"}]}]}})";
    const DocumentReading reading = Documents::read(otio.c_str(), otio.size(), "t");
    ASSERT_TRUE(reading.status) << reading.where;
    Written written;
    write(*reading.composition, written);
    EXPECT_STREQ(written.document.child("fcpxml")
                     .child("library")
                     .child("event")
                     .child("project")
                     .attribute("name")
                     .value(),
                 "T <&> ?");
    EXPECT_STREQ(written.spine().first_child().attribute("name").value(), "caf\xC3\xA9");
    const pugi::xml_node asset = written.document.child("fcpxml").child("resources").child("asset");
    // A path is written as a file URL, its space escaped.
    EXPECT_STREQ(asset.attribute("src").value(), "file:///m/my%20file.mov");
    EXPECT_STREQ(asset.attribute("name").value(), "my file.mov");
}

TEST(FcpxmlWrite, MediaPathsAreWrittenAsUrlsOnceEscaped) {
    struct Case {
        const char* path;
        const char* src;
    };
    const Case cases[] = {
        // An absolute path becomes a file URL, its space escaped (%20).
        {"/m/my file.mov", "file:///m/my%20file.mov"},
        // A relative path stays relative, escaped.
        {"shots/a b.mov", "shots/a%20b.mov"},
        // URLs are written as they stand, their "%" not escaped again: a
        // file URL without "//" as much as one with it.
        {"file:/m/my%20file.mov", "file:/m/my%20file.mov"},
        {"file:///m/my%20file.mov", "file:///m/my%20file.mov"},
        {"https://h/x%20y.mov", "https://h/x%20y.mov"},
    };
    for (const Case& c : cases) {
        const std::string otio =
            R"({"OTIO_SCHEMA":"Timeline.1","name":"T","tracks":{"OTIO_SCHEMA":"Stack.1","children":[{"OTIO_SCHEMA":"Track.1","kind":"Video","children":[{"OTIO_SCHEMA":"Clip.2","name":"c","source_range":{"OTIO_SCHEMA":"TimeRange.1","start_time":{"OTIO_SCHEMA":"RationalTime.1","rate":24,"value":0},"duration":{"OTIO_SCHEMA":"RationalTime.1","rate":24,"value":24}},"media_references":{"DEFAULT_MEDIA":{"OTIO_SCHEMA":"ExternalReference.1","target_url":")" +
            std::string(c.path) +
            R"(","available_range":null}},"active_media_reference_key":"DEFAULT_MEDIA"}]}]}})";
        const DocumentReading reading = Documents::read(otio.c_str(), otio.size(), "t");
        ASSERT_TRUE(reading.status) << reading.where;
        Written written;
        write(*reading.composition, written);
        EXPECT_STREQ(written.document.child("fcpxml")
                         .child("resources")
                         .child("asset")
                         .attribute("src")
                         .value(),
                     c.src)
            << c.path;
    }
}

TEST(FcpxmlWrite, OnlyTheVersionsWrittenAreNamed) {
    // "1." and the minor number of a version written, 8 to 13; nothing else.
    const std::pair<const char*, std::int32_t> known[] = {{"1.8", 8}, {"1.10", 10}, {"1.13", 13}};
    for (const auto& [text, minor] : known) {
        std::int32_t version = 0;
        EXPECT_TRUE(Fcpxml::versionFromText(text, version)) << text;
        EXPECT_EQ(version, minor) << text;
    }
    for (const char* text :
         {"1.7", "1.14", "1.80", "2.8", "x.10", "1.", "", static_cast<const char*>(nullptr)}) {
        std::int32_t version = 0;
        EXPECT_FALSE(Fcpxml::versionFromText(text, version)) << (text ? text : "null");
        EXPECT_EQ(version, 0) << (text ? text : "null");
    }
}

TEST(FcpxmlWrite, DocumentsKnowFcpxmlFilesAndBundlesByName) {
    const std::pair<const char*, bool> cases[] = {{"cut.fcpxml", true},      {"CUT.FCPXML", true},
                                                  {"cut.fcpxmld", true},     {"cut.fcpxmld/", true},
                                                  {"cut.fcpxml.bak", false}, {"fcpxml", false}};
    for (const auto& [path, fcpxml] : cases) {
        Dialect dialect = Dialect::Otio;
        EXPECT_EQ(Documents::dialectOfPath(path, dialect), fcpxml) << path;
        EXPECT_EQ(dialect, fcpxml ? Dialect::Fcpxml : Dialect::Otio) << path;
    }
}

TEST(FcpxmlWrite, ConformedMediaIsWrittenInItsOwnTime) {
    // a4's frame 86424 at 23.976 is 3604601/1000s; conformed, it counts that
    // frame at 24. Written back at its own time, with its conforming.
    const std::string spine =
        R"(<asset-clip ref="a4" offset="0s" start="3604601/1000s" duration="4s">
                                   <conform-rate srcFrameRate="23.98"/>
                                 </asset-clip>)";
    const SharedPtr<Composition> cut = compositionOf(spine);
    Written written;
    write(*cut, written);
    const pugi::xml_node clip = written.spine().first_child();
    EXPECT_STREQ(clip.attribute("start").value(), "3604601/1000s");
    EXPECT_STREQ(clip.child("conform-rate").attribute("srcFrameRate").value(), "23.98");
    const pugi::xml_node asset =
        written.document.child("fcpxml")
            .child("resources")
            .find_child_by_attribute("asset", "id", clip.attribute("ref").value());
    EXPECT_STREQ(asset.attribute("start").value(), "18018/5s");
    const FcpxmlRead again = readFcpxml(writeFcpxml(*cut));
    ASSERT_TRUE(again.status);
    EXPECT_EQ(itemsOf(*again.composition),
              Lines{"Primary storyline 0+96 clip A4 src 86424@24 file file:///m/a4.mov"});
}

TEST(FcpxmlWrite, SoundWithoutPictureHangsOnAGapOfTheStoryline) {
    // Only sound, from record 2s (48) for 1s: the storyline is a gap from the
    // start to its end, the sound connected 2s into it.
    const SharedPtr<Composition> cut = compositionOf(
        R"(<asset-clip ref="a3" offset="0s" start="0s" duration="1s"/>
           <asset-clip ref="a3" offset="2s" start="5s" duration="1s"/>)",
        R"(format="r24" tcStart="0s")");
    Written written;
    write(*cut, written);
    EXPECT_EQ(elementsOf(written.spine(), {"offset", "duration"}),
              Lines{"gap offset=0s duration=3s"});
    EXPECT_EQ(elementsOf(written.spine().first_child(), {"lane", "offset", "start", "duration"}),
              (Lines{"asset-clip lane=-1 offset=0s start=0s duration=1s",
                     "asset-clip lane=-1 offset=2s start=5s duration=1s"}));
}

TEST(FcpxmlWrite, PictureOfOneFileCountedAtTwoRatesComesBackAtBoth) {
    // v runs at 24 and says no sample rate. From 1/25s it is counted at the
    // lowest rate holding 1/25s and 1/24s: 600 (frame 24); from 1/997s at
    // 23928 (997 x 24; frame 24). A format of 600 would make the reader count
    // the second at the lowest rate holding 1/997s and 1/600s, 598200, beyond
    // 192000: rounded. So each rate gets an asset of the file: the first with
    // a format of 600 (a rate up to 1000 needs one), the second without (a
    // whole number of frames a second above 1000 is found from its times).
    const std::string resources =
        R"(<asset id="v" name="V" start="0s" duration="10s" hasVideo="1" format="r24"><media-rep src="file:///m/v.mov"/></asset>)";
    const SharedPtr<Composition> cut =
        compositionOf(R"(<asset-clip ref="v" offset="0s" start="1/25s" duration="1s">
                           <asset-clip ref="v" lane="1" offset="1/25s" start="1/997s" duration="1s"/>
                           <asset-clip ref="v" lane="2" offset="1/25s" start="2/25s" duration="1s"/>
                           <asset-clip ref="v" lane="3" offset="1/25s" start="1/23s" duration="1s"/>
                         </asset-clip>)",
                      "", resources);
    const Lines items{"Primary storyline 0+24 clip V src 24@600 file file:///m/v.mov",
                      "Video lane 1 0+24 clip V src 24@23928 file file:///m/v.mov",
                      // 2/25s at 600: frame 48, on the first asset.
                      "Video lane 2 0+24 clip V src 48@600 file file:///m/v.mov",
                      // 1/23s: at 552 (23 x 24), frame 24, on an asset of its own.
                      "Video lane 3 0+24 clip V src 24@552 file file:///m/v.mov"};
    EXPECT_EQ(itemsOf(*cut), items);
    Written written;
    write(*cut, written);
    EXPECT_TRUE(written.losses.empty());
    const pugi::xml_node resourcesWritten = written.document.child("fcpxml").child("resources");
    Lines assets;
    for (const pugi::xml_node asset : resourcesWritten.children("asset")) {
        const pugi::xml_node format = resourcesWritten.find_child_by_attribute(
            "format", "id", asset.attribute("format").value());
        assets.push_back(std::string(asset.attribute("src").value()) + " " +
                         format.attribute("frameDuration").value());
    }
    EXPECT_EQ(assets,
              (Lines{"file:///m/v.mov 1/600s", "file:///m/v.mov ", "file:///m/v.mov 1/552s"}));
    const FcpxmlRead again = readFcpxml(writeFcpxml(*cut));
    ASSERT_TRUE(again.status) << again.message;
    EXPECT_EQ(itemsOf(*again.composition), items);
}

TEST(FcpxmlWrite, PictureAtAnyRateIsWrittenWithItsFormat) {
    // Without a format written for its rate the asset would be read back at
    // another rate, its times rounded.
    struct Case {
        const char* frameDuration;
        const char* start;
        const char* item;
    };
    const Case cases[] = {
        // 3030000/1001 frames a second: 1.001s is frame 1.001 x 3030000/1001 =
        // 3030 (else read at 3000, which holds 1.001s and 1/24s).
        {"1001/3030000s", "1001/1000s",
         "Primary storyline 0+24 clip V src 3030@3030000/1001 file file:///m/v.mov"},
        // A million frames a second, a whole number but beyond the 192000 the
        // reader finds from times: frame 1 (else no rate holds 1/1000000s and
        // 1/24s, rounded).
        {"1/1000000s", "1/1000000s",
         "Primary storyline 0+24 clip V src 1@1000000 file file:///m/v.mov"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.frameDuration);
        const std::string resources =
            std::string(R"(<format id="odd" frameDuration=")") + c.frameDuration +
            R"("/><asset id="v" name="V" start="0s" duration="10s" hasVideo="1" format="odd"><media-rep src="file:///m/v.mov"/></asset>)";
        const SharedPtr<Composition> cut =
            compositionOf(std::string(R"(<asset-clip ref="v" offset="0s" start=")") + c.start +
                              R"(" duration="1s"/>)",
                          "", resources);
        ASSERT_TRUE(cut);
        EXPECT_EQ(itemsOf(*cut), Lines{c.item});
        const std::string text = writeFcpxml(*cut);
        EXPECT_NE(text.find(std::string("frameDuration=\"") + c.frameDuration + "\""),
                  std::string::npos)
            << text;
        const FcpxmlRead again = readFcpxml(text);
        ASSERT_TRUE(again.status) << again.message;
        EXPECT_EQ(itemsOf(*again.composition), Lines{c.item});
    }
}

} // namespace
} // namespace ZEM_0_81::test::fcpx
