#include "interchange/TimelineView.h"

#include "composition/Composition.h"
#include "outside/dmtree/DmTree.h"
#include "tests/support/TestData.h"

#include <gtest/gtest.h>
#include <rapidjson/document.h>

#include <cmath>
#include <string>
#include <vector>

namespace ZEM_0_81::test {
namespace {

SharedPtr<Composition> otioComposition(const std::string& text) {
    SharedPtr<Composition> composition;
    EXPECT_TRUE(Composition::create(composition, String("view"), "", Rational(24, 1)));
    composition->setJson(Composition::JsonType::Otio, String(text.c_str(), text.size()));
    return composition;
}

TimelineView viewOf(const Composition& composition) {
    TimelineView view;
    EXPECT_TRUE(TimelineView::build(composition, view));
    return view;
}

std::vector<std::string> pathsOf(const TimelineItem& item) {
    std::vector<std::string> paths;
    for (const TimelineMedia& media : item.media)
        paths.push_back(media.path);
    return paths;
}

TEST(TimelineView, ReadsTracksClipsAndGapsOfADocument) {
    const SharedPtr<Composition> composition =
        otioComposition(readTestData("view/mixed_rates.json"));
    const TimelineView view = viewOf(*composition);

    ASSERT_TRUE(view.hasTimeline);
    EXPECT_EQ("Mixed rates", view.name);
    EXPECT_EQ(Rational(24, 1), view.rate);
    EXPECT_EQ(3600, view.start);
    EXPECT_EQ(132, view.duration); // 48 + 12 + 48 + 24
    ASSERT_EQ(2u, view.tracks.size());

    const TimelineTrack& picture = view.tracks[0];
    EXPECT_EQ("Picture", picture.name);
    EXPECT_EQ(TimelineTrack::Kind::Video, picture.kind);
    ASSERT_EQ(4u, picture.items.size());

    // Records are absolute and follow one another from the global start.
    const std::vector<FrameRange> records = {{3600, 48}, {3648, 12}, {3660, 48}, {3708, 24}};
    for (std::size_t i = 0; i < records.size(); ++i)
        EXPECT_EQ(records[i], picture.items[i].record) << picture.items[i].name;

    const TimelineItem& wide = picture.items[0];
    EXPECT_TRUE(wide.isClip());
    EXPECT_EQ("harbour wide", wide.name);
    EXPECT_EQ("clip-wide", wide.clipId);
    EXPECT_EQ(1001, wide.source.start);
    EXPECT_EQ((FrameCount{48, 1}), wide.source.duration);
    EXPECT_EQ(Rational(24, 1), wide.source.rate);
    // The media reference's path is the primary input; the others follow in the
    // order mp4, file, movie.
    EXPECT_EQ((std::vector<std::string>{"/media/harbour/wide.mov", "/media/harbour/wide_proxy.mp4",
                                        "/media/harbour/wide/wide.%04d.exr"}),
              pathsOf(wide));
    EXPECT_EQ(TimelineMedia::Kind::Movie, wide.media[0].kind);
    EXPECT_EQ(TimelineMedia::Kind::Mp4, wide.media[1].kind);
    EXPECT_EQ(TimelineMedia::Kind::File, wide.media[2].kind);
    EXPECT_EQ("/media/harbour/wide", wide.media[2].folder);
    EXPECT_EQ(1001, wide.media[0].availableStart);
    EXPECT_EQ(100, wide.media[0].availableDuration);
    EXPECT_EQ("/media/harbour/wide.mov", wide.targetUrl);
    EXPECT_FALSE(wide.offline);
    ASSERT_EQ(2u, wide.effects.size());
    EXPECT_EQ(TimelineEffect::Kind::Look, wide.effects[0].kind);
    EXPECT_EQ("CDL", wide.effects[0].name);
    EXPECT_TRUE(wide.effects[0].muted);
    EXPECT_EQ("Comp", wide.effects[1].name);
    EXPECT_FALSE(wide.effects[1].muted); // compositing is never muted
    EXPECT_TRUE(wide.notes.empty());
    EXPECT_FALSE(wide.hasPaint());

    const TimelineItem& gap = picture.items[1];
    EXPECT_TRUE(gap.isGap());
    EXPECT_EQ("shot to come", gap.name);
    EXPECT_EQ(0, gap.source.start);
    EXPECT_EQ((FrameCount{12, 1}), gap.source.duration);
    EXPECT_TRUE(gap.media.empty());
    EXPECT_FALSE(gap.offline);
    ASSERT_EQ(1u, gap.effects.size());
    EXPECT_EQ(TimelineEffect::Kind::Annotation, gap.effects[0].kind);
    ASSERT_EQ(1u, gap.notes.size());
    EXPECT_EQ("Insert goes here", gap.notes[0].text);
    EXPECT_EQ((FrameRange{3650, 6}), gap.notes[0].range);
    EXPECT_TRUE(gap.notes[0].ownRange);
    EXPECT_FLOAT_EQ(1.0f, gap.notes[0].colour.red);
    EXPECT_FLOAT_EQ(0.5f, gap.notes[0].colour.green);
    EXPECT_FLOAT_EQ(0.0f, gap.notes[0].colour.blue);
    EXPECT_TRUE(gap.notes[0].visible);
    // A paint layer without a range of its own shows over the whole gap.
    ASSERT_EQ(1u, gap.paint.size());
    EXPECT_EQ(gap.record, gap.paint[0].range);
    EXPECT_FALSE(gap.paint[0].ownRange);
    EXPECT_EQ(1u, gap.paint[0].strokes);
    EXPECT_EQ(2u, gap.paint[0].points);
    EXPECT_FALSE(gap.paint[0].visible);
    EXPECT_TRUE(gap.hasPaint());

    // 48 composition frames of 25 fps media are 50 media frames.
    const TimelineItem& pier = picture.items[2];
    EXPECT_EQ(100, pier.source.start);
    EXPECT_EQ((FrameCount{50, 1}), pier.source.duration);
    EXPECT_EQ(Rational(25, 1), pier.source.rate);
    EXPECT_EQ(std::vector<std::string>{"/media/pier/pier.%04d.dpx"}, pathsOf(pier));
    EXPECT_EQ(40, pier.media[0].availableStart);

    // 24 composition frames of 23.976 media are 24000/1001 media frames, kept exact.
    const TimelineItem& boat = picture.items[3];
    EXPECT_EQ(2000, boat.source.start);
    EXPECT_EQ((FrameCount{24000, 1001}), boat.source.duration);
    EXPECT_FALSE(boat.source.duration.isWhole());
    EXPECT_EQ(Rational(24000, 1001), boat.source.rate);

    const TimelineTrack& dialogue = view.tracks[1];
    EXPECT_EQ("Dialogue", dialogue.name);
    EXPECT_EQ(TimelineTrack::Kind::Audio, dialogue.kind);
    ASSERT_EQ(2u, dialogue.items.size());
    EXPECT_EQ((FrameRange{3600, 24}), dialogue.items[0].record);
    EXPECT_EQ((FrameRange{3624, 72}), dialogue.items[1].record);
    EXPECT_EQ(240, dialogue.items[1].source.start);
}

TEST(TimelineView, StartAndDurationAreTheTimingQueries) {
    for (const char* name :
         {"short-cut.otio.json", "review-notes.otio.json", "graded-shot.otio.json"}) {
        const SharedPtr<Composition> composition = otioComposition(readExample(name));
        const TimelineView view = viewOf(*composition);
        Time start;
        Time duration;
        ASSERT_TRUE(composition->getStartTime(start));
        ASSERT_TRUE(composition->getDuration(duration));
        EXPECT_EQ(start.getNbTicks(), view.start) << name;
        EXPECT_EQ(duration.getNbTicks(), view.duration) << name;
        EXPECT_EQ(start.getRate(), view.rate) << name;
    }
}

/// A number of the exported document: a RationalTime member's value or rate.
double timeMember(const rapidjson::Value& time, const char* member) {
    return time.HasMember(member) ? time[member].GetDouble() : NAN;
}

// OTIO places an item of a track at the timeline's global start plus the
// durations of the items before it, and reads what a clip plays from its
// "source_range". The view must say the same of the document the library
// exports, for every clip and gap.
TEST(TimelineView, AgreesWithTheExportedDocument) {
    const std::vector<std::string> documents = {
        readExample("short-cut.otio.json"), readExample("review-notes.otio.json"),
        readExample("graded-shot.otio.json"), readTestData("view/mixed_rates.json")};
    for (const std::string& text : documents) {
        const SharedPtr<Composition> composition = otioComposition(text);
        const TimelineView view = viewOf(*composition);
        // Exported from a composition holding the tree, not the text it was read from.
        String exported;
        Status status;
        const SharedPtr<Composition> fresh =
            Composition::create(String("fresh"), composition->getTree(status));
        ASSERT_TRUE(fresh->getJson(Composition::JsonType::Otio, exported));

        rapidjson::Document document;
        document.Parse(exported.c_str());
        ASSERT_FALSE(document.HasParseError());
        const double rate = timeMember(document["global_start_time"], "rate");
        const double globalStart = timeMember(document["global_start_time"], "value");
        const rapidjson::Value& tracks = document["tracks"]["children"];
        ASSERT_EQ(tracks.Size(), view.tracks.size()) << view.name;

        for (rapidjson::SizeType t = 0; t < tracks.Size(); ++t) {
            const TimelineTrack& track = view.tracks[t];
            const rapidjson::Value& items = tracks[t]["children"];
            EXPECT_EQ(std::string(tracks[t]["name"].GetString()), track.name);
            ASSERT_EQ(items.Size(), track.items.size()) << track.name;
            double position = globalStart;
            for (rapidjson::SizeType i = 0; i < items.Size(); ++i) {
                const TimelineItem& item = track.items[i];
                const rapidjson::Value& range = items[i]["source_range"];
                const double sourceRate = timeMember(range["duration"], "rate");
                const double sourceFrames = timeMember(range["duration"], "value");
                const double recordFrames = sourceFrames / sourceRate * rate;

                EXPECT_EQ(std::string(items[i]["name"].GetString()), item.name);
                EXPECT_NEAR(position, static_cast<double>(item.record.start), 1e-6) << item.name;
                EXPECT_NEAR(recordFrames, static_cast<double>(item.record.duration), 1e-6)
                    << item.name;
                EXPECT_NEAR(sourceFrames, item.source.duration.toDouble(), 1e-9) << item.name;
                EXPECT_DOUBLE_EQ(sourceRate, item.source.rate.getValue()) << item.name;
                EXPECT_DOUBLE_EQ(timeMember(range["start_time"], "value"),
                                 static_cast<double>(*item.source.start))
                    << item.name;
                if (item.isClip()) {
                    EXPECT_EQ(std::string(items[i]["media_reference"]["target_url"].GetString()),
                              item.targetUrl);
                }
                const rapidjson::Value& effects = items[i]["effects"];
                ASSERT_EQ(effects.Size(), item.effects.size()) << item.name;
                for (rapidjson::SizeType e = 0; e < effects.Size(); ++e)
                    EXPECT_EQ(std::string(effects[e]["effect_name"].GetString()),
                              item.effects[e].name);
                position += recordFrames;
            }
        }
    }
}

TEST(TimelineView, ReviewNotesExampleShowsItsNotes) {
    const TimelineView view = viewOf(*otioComposition(readExample("review-notes.otio.json")));
    ASSERT_EQ(1u, view.tracks.size());
    std::vector<std::string> texts;
    for (const TimelineItem& item : view.tracks[0].items)
        for (const TimelineNote& note : item.notes)
            texts.push_back(note.text);
    EXPECT_EQ((std::vector<std::string>{"Boat wake too bright, bring down 1/2 stop",
                                        "sh025 goes here (in progress)"}),
              texts);
    EXPECT_EQ((FrameRange{1010, 24}), view.tracks[0].items[0].notes[0].range);
    EXPECT_TRUE(view.tracks[0].items[0].hasPaint());
    EXPECT_TRUE(view.tracks[0].items[1].hasPaint()); // the gap's paint
    EXPECT_FALSE(view.tracks[0].items[2].hasPaint());
}

// A clip that names no media is not imported, but the clips after it keep
// their place: the records agree with the document as read, not shifted up.
TEST(TimelineView, ClipWithoutMediaLeavesItsPlace) {
    const std::string document = R"({"OTIO_SCHEMA":"Timeline.1","name":"holes",
      "global_start_time":{"OTIO_SCHEMA":"RationalTime.1","value":100.0,"rate":25.0},
      "tracks":{"OTIO_SCHEMA":"Stack.1","children":[{"OTIO_SCHEMA":"Track.1","name":"V",
        "kind":"Video","children":[
        {"OTIO_SCHEMA":"Clip.1","name":"nothing","source_range":{"OTIO_SCHEMA":"TimeRange.1",
          "start_time":{"OTIO_SCHEMA":"RationalTime.1","value":0.0,"rate":25.0},
          "duration":{"OTIO_SCHEMA":"RationalTime.1","value":10.0,"rate":25.0}}},
        {"OTIO_SCHEMA":"Clip.1","name":"after","source_range":{"OTIO_SCHEMA":"TimeRange.1",
          "start_time":{"OTIO_SCHEMA":"RationalTime.1","value":5.0,"rate":25.0},
          "duration":{"OTIO_SCHEMA":"RationalTime.1","value":20.0,"rate":25.0}},
         "media_reference":{"OTIO_SCHEMA":"ExternalReference.1","target_url":"/a.mov"}}]}]}})";
    const TimelineView view = viewOf(*otioComposition(document));
    ASSERT_EQ(1u, view.tracks.size());
    ASSERT_EQ(1u, view.tracks[0].items.size());
    const TimelineItem& after = view.tracks[0].items[0];
    EXPECT_EQ("after", after.name);
    EXPECT_EQ((FrameRange{110, 20}), after.record);
    EXPECT_EQ(Rational(25, 1), view.rate);
    // No "available_range": the media's start is not known, so neither is the
    // clip's; only a "target_url" names the media.
    EXPECT_FALSE(after.source.start.has_value());
    ASSERT_EQ(1u, after.media.size());
    EXPECT_EQ(TimelineMedia::Kind::Other, after.media[0].kind);
    EXPECT_EQ("/a.mov", after.media[0].path);
    EXPECT_FALSE(after.media[0].availableStart.has_value());
}

TEST(TimelineView, DocumentsWithoutATimelineOrThatFail) {
    // No timeline: an empty view, and success, as the timing queries' import.
    TimelineView view;
    view.name = "before";
    ASSERT_TRUE(TimelineView::build(*otioComposition(R"({"OTIO_SCHEMA":"Stack.1"})"), view));
    EXPECT_FALSE(view.hasTimeline);
    EXPECT_TRUE(view.name.empty());
    EXPECT_TRUE(view.tracks.empty());

    // Not JSON, or no content at all: the composition's failure, view untouched.
    view.name = "before";
    EXPECT_EQ(Status::OtioImportFailed,
              TimelineView::build(*otioComposition("{\"tracks\":"), view).getType());
    EXPECT_EQ("before", view.name);
    SharedPtr<Composition> empty;
    ASSERT_TRUE(Composition::create(empty, String("e"), "e", Rational(24, 1)));
    empty->setJson(Composition::JsonType::DmTree, String(""));
    EXPECT_EQ(Status::NoData, TimelineView::build(*empty, view).getType());
    EXPECT_EQ("before", view.name);
}

/// An edit tree with one composition "Edit" at `fcm` starting at `start`, with
/// one track of one layer.
struct HandTree {
    explicit HandTree(const char* fcm, double start = 0.0) : root(DmRoot::create()) {
        DmReelNode* reel = DmReelNode::create();
        root->addReel(reel);
        composition = DmCompositionNode::create(DmString("Edit"), DmString(fcm), nullptr);
        composition->setStartTC(start, DmString(fcm));
        reel->addComposition(composition);
        DmTrackNode* track = DmTrackNode::create(0, eDmMediaVideo);
        composition->addChild(track);
        layer = DmLayerNode::create(0, eDmMediaAudio, 0, true);
        layer->setName(DmString("A9"));
        track->addChild(layer);
    }

    TimelineView view() const {
        TimelineView result;
        EXPECT_TRUE(TimelineView::build(*root, result));
        return result;
    }

    CoSharedPtr<DmRoot> root;
    DmCompositionNode* composition;
    DmLayerNode* layer;
};

/// A media input at `fcm` whose source information names `path`; without source
/// information when `path` is null.
DmSourceNode::MediaInput* input(const char* fcm, const char* path, double availIn = 0.0) {
    DmSourceInfo* info = nullptr;
    if (path) {
        info = DmSourceInfo::create();
        info->addSequence(DmString(path));
        info->setSourceType(DmSourceInfo::kSourceTypeFile);
        info->setFileType(DmSourceInfo::kFileTypeMovie);
    }
    return DmSourceNode::MediaInput::create(availIn, 100.0, info, DmString(fcm), eDmMediaVideo,
                                            true);
}

TEST(TimelineView, SourcesWithoutUsableMediaAreOffline) {
    HandTree tree("24");
    tree.layer->addChild(DmSourceNode::create(nullptr, 0, 10, 0, true, false));
    tree.layer->addChild(DmSourceNode::create(input("24", ""), 10, 10, 0, true, false));
    tree.layer->addChild(DmSourceNode::create(input("24", nullptr), 20, 10, 0, true, false));
    tree.layer->addChild(DmSourceNode::create(input("24", "/m.mov"), 30, 10, 0, true, false));
    const TimelineView view = tree.view();
    ASSERT_EQ(1u, view.tracks.size());
    EXPECT_EQ("A9", view.tracks[0].name);
    EXPECT_EQ(TimelineTrack::Kind::Audio, view.tracks[0].kind);
    const std::vector<TimelineItem>& items = view.tracks[0].items;
    ASSERT_EQ(4u, items.size());
    EXPECT_TRUE(items[0].offline);
    EXPECT_TRUE(items[0].media.empty());
    EXPECT_EQ(Rational(0, 1), items[0].source.rate); // no input, no rate
    EXPECT_TRUE(items[1].offline);
    EXPECT_TRUE(items[2].offline);
    ASSERT_EQ(1u, items[2].media.size());
    EXPECT_TRUE(items[2].media[0].path.empty());
    EXPECT_FALSE(items[3].offline);
    EXPECT_EQ(TimelineMedia::Kind::Movie, items[3].media[0].kind);
}

TEST(TimelineView, RatesAndPositionsTheTreeCannotGive) {
    // An unreadable composition rate: rate 0/1, source frames = record frames.
    HandTree odd("fast");
    odd.layer->addChild(DmSourceNode::create(input("25", "/a"), 0, 48, 2, true, false));
    TimelineView view = odd.view();
    EXPECT_EQ(Rational(0, 1), view.rate);
    EXPECT_EQ((FrameCount{48, 1}), view.tracks[0].items[0].source.duration);
    EXPECT_EQ(2, view.tracks[0].items[0].source.start);

    // An unreadable source rate: no source frames, as the export writes them.
    HandTree unknownSource("24");
    unknownSource.layer->addChild(DmSourceNode::create(input("slow", "/a"), 0, 48, 0, true, false));
    view = unknownSource.view();
    EXPECT_EQ((FrameCount{0, 1}), view.tracks[0].items[0].source.duration);

    // The importer's mark of an unknown start, in the media's start or the
    // clip's relative in, is no position; every other value is one, of any
    // size: 48 kHz sound at 12:25:35:04 counts 2147520000 samples, and one a
    // sample short of the mark, 2147483646, is as known.
    HandTree unknownStart("24");
    const double marks[][2] = {{2147483647.0, 0}, {0, 2147483647.0},       {-21474836.0, 0},
                               {2147520000.0, 0}, {2147483646.0, 0},       {0, -3e15},
                               {0, 9007199254740992.0}};
    for (std::size_t i = 0; i < std::size(marks); ++i)
        unknownStart.layer->addChild(DmSourceNode::create(input("24", "/a", marks[i][0]),
                                                          48.0 * i, 48, marks[i][1], true, false));
    view = unknownStart.view();
    const std::optional<std::int64_t> starts[] = {std::nullopt, std::nullopt, -21474836,
                                                  2147520000,   2147483646,   -3000000000000000,
                                                  std::nullopt};
    for (std::size_t i = 0; i < std::size(marks); ++i)
        EXPECT_EQ(view.tracks[0].items[i].source.start, starts[i]) << i;
    EXPECT_FALSE(view.tracks[0].items[0].media[0].availableStart.has_value());
    EXPECT_EQ(view.tracks[0].items[3].media[0].availableStart, 2147520000);

    // 29.97 media under a 30 fps composition: 30 frames play 30000/1001.
    HandTree ntsc("30", 1e300);
    ntsc.layer->addChild(DmSourceNode::create(input("29.97", "/a"), 0, 30, 0, true, false));
    view = ntsc.view();
    EXPECT_EQ(INT64_MAX, view.start);
    EXPECT_EQ((FrameCount{30000, 1001}), view.tracks[0].items[0].source.duration);
}

TEST(TimelineView, SourceFramesAreRecordFramesAtTheSourceRateInLowestTerms) {
    struct Case {
        const char* composition;
        const char* source;
        std::int64_t record;
        FrameCount played; ///< record x source rate / composition rate
    };
    const Case cases[] = {
        {"24", "24", 7, {7, 1}},
        {"24", "48", 3, {6, 1}},
        {"48", "24", 3, {3, 2}},
        {"24", "25", 24, {25, 1}},
        {"24", "25", 2, {25, 12}}, // 50/24, halved
        {"24", "25", 3, {25, 8}},  // 75/24, a third off
        {"25", "24", 5, {24, 5}},  // 120/25, a fifth off
        {"24", "23.976", 48, {48000, 1001}},
        {"23.976", "24", 1, {1001, 1000}},
        {"30", "29.97", 30, {30000, 1001}},
    };
    for (const Case& c : cases) {
        HandTree tree(c.composition);
        tree.layer->addChild(
            DmSourceNode::create(input(c.source, "/a"), 0, c.record, 0, true, false));
        const FrameCount played = tree.view().tracks[0].items[0].source.duration;
        EXPECT_EQ(played, c.played) << c.record << " at " << c.composition << " of " << c.source
                                    << ": " << played.numerator << "/" << played.denominator;
    }
}

TEST(TimelineView, ATimelineTimedAtItsSoundsRateHasItsPicturesRate) {
    const auto clipAt = [](const char* fcm, double recIn) {
        return DmSourceNode::create(input(fcm, "/a"), recIn, 48000, 0, true, false);
    };
    // Sound first (its own layer holds a clip at 25 as well), picture second:
    // the video layer's first clip at a picture's rate gives the rate.
    HandTree mixed("48000");
    mixed.layer->addChild(clipAt("48000", 0));
    mixed.layer->addChild(clipAt("25", 48000));
    DmLayerNode* video = DmLayerNode::create(1, eDmMediaVideo, 0, false);
    mixed.composition->getChild(0)->addChild(video);
    video->addChild(clipAt("48000/1", 0));
    video->addChild(clipAt("23.976", 48000));
    TimelineView view = mixed.view();
    EXPECT_EQ(Rational(48000, 1), view.rate);
    EXPECT_EQ(Rational(24000, 1001), view.pictureRate);

    // Without a video layer, the first clip of any layer at a picture's rate.
    HandTree sound("48000");
    sound.layer->addChild(clipAt("48000", 0));
    sound.layer->addChild(clipAt("25", 48000));
    EXPECT_EQ(Rational(25, 1), sound.view().pictureRate);

    // Nothing but samples: the timeline's own rate.
    HandTree samples("44100");
    samples.layer->addChild(clipAt("44100", 0));
    EXPECT_EQ(Rational(44100, 1), samples.view().pictureRate);

    // A timeline at a picture's rate, 1000 frames a second included, keeps it
    // whatever its clips run at.
    for (const char* fcm : {"24", "100", "1000"}) {
        HandTree picture(fcm);
        picture.layer->addChild(clipAt("29.97", 0));
        view = picture.view();
        EXPECT_EQ(view.rate, view.pictureRate) << fcm;
    }
    EXPECT_TRUE(TimelineView::isSampleRate(Rational(1001, 1)));
    EXPECT_TRUE(TimelineView::isSampleRate(Rational(96000, 2)));
    EXPECT_FALSE(TimelineView::isSampleRate(Rational(120000, 1001)));
    EXPECT_FALSE(TimelineView::isSampleRate(Rational(0, 1)));
    EXPECT_FALSE(TimelineView::isSampleRate(Rational(48000, 0)));
}

TEST(TimelineView, OnlyTheFirstCompositionsLayersAreTracks) {
    HandTree tree("24");
    // A second edit-tree track: its layer follows, counted in stack 1.
    DmTrackNode* second = DmTrackNode::create(1, eDmMediaVideo);
    tree.composition->addChild(second);
    DmLayerNode* layer = DmLayerNode::create(0, eDmMediaVideo, 0, true);
    second->addChild(layer);
    // Segments in a container of the layer are the layer's; a segment straight
    // under a track belongs to no layer.
    DmContainerNode* container = DmContainerNode::create();
    container->addChild(DmGapNode::create(5, 7, eDmMediaVideo, DmString()));
    layer->addChild(container);
    second->addChild(DmGapNode::create(0, 3, eDmMediaVideo, DmString()));
    // A second composition in the reel is not the view's.
    DmCompositionNode* other =
        DmCompositionNode::create(DmString("Other"), DmString("25"), nullptr);
    DmTrackNode* otherTrack = DmTrackNode::create(0, eDmMediaVideo);
    otherTrack->addChild(DmLayerNode::create(0, eDmMediaVideo, 0, true));
    other->addChild(otherTrack);
    dynamic_cast<DmReelNode*>(tree.root->getChild(0))->addComposition(other);

    const TimelineView view = tree.view();
    EXPECT_EQ("Edit", view.name);
    ASSERT_EQ(2u, view.tracks.size());
    EXPECT_EQ(0, view.tracks[0].stack);
    EXPECT_EQ(1, view.tracks[1].stack);
    EXPECT_EQ(TimelineTrack::Kind::Video, view.tracks[1].kind);
    ASSERT_EQ(1u, view.tracks[1].items.size());
    EXPECT_EQ((FrameRange{5, 7}), view.tracks[1].items[0].record);
    EXPECT_EQ(Rational(24, 1), view.tracks[1].items[0].source.rate);
}

TEST(TimelineView, MutedAnnotationsHideTheirNotes) {
    HandTree tree("24");
    DmGapNode* gap = DmGapNode::create(0, 24, eDmMediaVideo, DmString());
    tree.layer->addChild(gap);
    DmAnnotationSettings* annotation = DmAnnotationSettings::create();
    DmTextLayer* text = DmTextLayer::create();
    DmTextParagraph* first = DmTextParagraph::create();
    first->setTextStr(DmString("one"));
    DmTextParagraph* second = DmTextParagraph::create();
    second->setTextStr(DmString("two"));
    text->addParagraph(first);
    text->addParagraph(second);
    text->setFrameRange(4, 8);
    annotation->addLayer(text);
    annotation->setMuted(true);
    gap->addEffect(annotation);
    gap->addEffect(DmLookSettings::create());

    const TimelineView view = tree.view();
    const TimelineItem& item = view.tracks[0].items[0];
    ASSERT_EQ(2u, item.notes.size());
    EXPECT_EQ("one", item.notes[0].text);
    EXPECT_EQ("two", item.notes[1].text);
    EXPECT_EQ((FrameRange{4, 8}), item.notes[1].range);
    EXPECT_FALSE(item.notes[0].visible);
    // Without colour channels, the export's defaults: opaque black.
    EXPECT_FLOAT_EQ(0.0f, item.notes[0].colour.red);
    EXPECT_FLOAT_EQ(1.0f, item.notes[0].colour.alpha);
    ASSERT_EQ(2u, item.effects.size());
    EXPECT_TRUE(item.effects[0].muted);
    EXPECT_EQ("CDL", item.effects[1].name);
    EXPECT_FALSE(item.hasPaint());
}

} // namespace
} // namespace ZEM_0_81::test
