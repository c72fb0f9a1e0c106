// zemcomp list, several files at once, timecode and completion, as a user
// meets them.
#include "tests/support/OtioText.h"
#include "tests/tools/ToolTest.h"

#include <gtest/gtest.h>

#include <rapidjson/document.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace fs = std::filesystem;
using zemcomp::test::ToolRun;
using ZEM_0_81::test::rationalTime;
using ZEM_0_81::test::timeRange;

namespace {

class ZemcompList : public zemcomp::test::ToolTest {};

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

/// A number of an OTIO RationalTime object.
double timeValue(const rapidjson::Value& time, const char* member) {
    return time[member].GetDouble();
}

/// A one-track timeline at `rate` starting at `start`, holding one clip of
/// `frames` frames read from /a.mov at frame 0.
std::string oneClipTimeline(double rate, double start, double frames) {
    return R"({"OTIO_SCHEMA":"Timeline.1","name":"one","global_start_time":)" +
           rationalTime(start, rate) +
           R"(,"tracks":{"OTIO_SCHEMA":"Stack.1","children":[{"OTIO_SCHEMA":"Track.1","name":"V",)"
           R"("kind":"Video","children":[{"OTIO_SCHEMA":"Clip.1","name":"c","source_range":)" +
           timeRange(0, frames, rate) +
           R"(,"media_reference":{"OTIO_SCHEMA":"ExternalReference.1","target_url":"/a.mov",)"
           R"("available_range":)" +
           timeRange(0, frames, rate) + "}}]}]}}";
}

} // namespace

// OTIO places an item at the timeline's global start plus the durations of the
// items before it in its track, and a clip plays its "source_range". The list
// says the same of each document as it is written.
TEST_F(ZemcompList, ClipsJsonAgreesWithTheDocument) {
    for (const std::string& path :
         {example("short-cut.otio.json"), example("review-notes.otio.json"),
          example("graded-shot.otio.json"), testData("view/mixed_rates.json")}) {
        const ToolRun result = run("list --clips --json " + path);
        ASSERT_EQ(result.exitCode, 0) << result.err;
        rapidjson::Document listed;
        listed.Parse(result.out.c_str());
        ASSERT_TRUE(listed.IsObject()) << result.out;

        std::ifstream in(path);
        std::stringstream text;
        text << in.rdbuf();
        rapidjson::Document original;
        original.Parse(text.str().c_str());
        const rapidjson::Value& timeline =
            original.HasMember("timeline") ? original["timeline"] : original;
        const double rate = timeValue(timeline["global_start_time"], "rate");
        const double start = timeValue(timeline["global_start_time"], "value");

        EXPECT_EQ(listed["file"].GetString(), path);
        EXPECT_STREQ(listed["dialect"].GetString(), "otio");
        EXPECT_EQ(listed["rate"][0].GetInt() / listed["rate"][1].GetDouble(), rate);
        EXPECT_EQ(listed["start"].GetInt64(), static_cast<std::int64_t>(start));
        const rapidjson::Value& tracks = timeline["tracks"]["children"];
        ASSERT_EQ(listed["tracks"].Size(), tracks.Size()) << path;
        for (rapidjson::SizeType t = 0; t < tracks.Size(); ++t) {
            const rapidjson::Value& track = listed["tracks"][t];
            EXPECT_STREQ(track["name"].GetString(), tracks[t]["name"].GetString());
            std::string kind = tracks[t]["kind"].GetString();
            kind[0] = static_cast<char>(std::tolower(kind[0]));
            EXPECT_EQ(track["kind"].GetString(), kind);

            const rapidjson::Value& children = tracks[t]["children"];
            ASSERT_EQ(track["items"].Size(), children.Size()) << path;
            double position = start;
            for (rapidjson::SizeType i = 0; i < children.Size(); ++i) {
                const rapidjson::Value& item = track["items"][i];
                const rapidjson::Value& range = children[i]["source_range"];
                const double sourceRate = timeValue(range["duration"], "rate");
                const double sourceFrames = timeValue(range["duration"], "value");
                const std::string where = path + " " + item["name"].GetString();

                EXPECT_STREQ(item["name"].GetString(), children[i]["name"].GetString());
                EXPECT_STREQ(item["type"].GetString(),
                             std::string(children[i]["OTIO_SCHEMA"].GetString()) == "Gap.1"
                                 ? "gap"
                                 : "clip");
                EXPECT_NEAR(item["record"]["start"].GetDouble(), position, 1e-9) << where;
                const double recordFrames = std::round(sourceFrames / sourceRate * rate);
                EXPECT_EQ(item["record"]["duration"].GetDouble(), recordFrames) << where;
                if (std::string(item["type"].GetString()) == "clip") {
                    const rapidjson::Value& source = item["source"];
                    EXPECT_EQ(source["start"].GetDouble(), timeValue(range["start_time"], "value"))
                        << where;
                    // The document's rate, as the library names it exactly.
                    EXPECT_NEAR(source["rate"][0].GetInt() / source["rate"][1].GetDouble(),
                                sourceRate, 1e-3)
                        << where;
                    // What the record plays at the source rate: the document's own
                    // duration, within the rounding of the record to whole frames.
                    EXPECT_NEAR(source["duration"].GetDouble(), sourceFrames, 0.5) << where;
                    const rapidjson::Value& reference = children[i]["media_reference"];
                    ASSERT_GT(item["media"].Size(), 0u) << where;
                    EXPECT_STREQ(item["media"][0].GetString(), reference["target_url"].GetString());
                }
                position += recordFrames;
            }
        }
    }
}

TEST_F(ZemcompList, TablesShowTimecodeAndFrames) {
    const ToolRun clips = run("list " + example("short-cut.otio.json"));
    ASSERT_EQ(clips.exitCode, 0) << clips.err;
    // The headline, then one row per clip and gap with record and source ranges.
    EXPECT_TRUE(contains(clips.out, "\"Short cut\" at 24 fps, start 01:00:00:00")) << clips.out;
    EXPECT_TRUE(contains(clips.out, "sh010_comp_v003  01:00:00:00  01:00:02:00    86400+48  "
                                    "00:00:42:01  00:00:44:01     1009+48  24"))
        << clips.out;
    EXPECT_TRUE(contains(clips.out, "gap   Gap              01:00:05:00  01:00:05:12    86520+12"))
        << clips.out;

    const ToolRun tracks = run("list --tracks " + testData("view/mixed_rates.json"));
    ASSERT_EQ(tracks.exitCode, 0) << tracks.err;
    EXPECT_TRUE(contains(tracks.out, "1  Picture   video      3     1  00:02:30:00  00:02:35:12"))
        << tracks.out;
    EXPECT_TRUE(contains(tracks.out, "2  Dialogue  audio      1     1")) << tracks.out;

    // A fractional source length is shown rounded, its end marked as reached.
    const ToolRun mixed = run("list --clips " + testData("view/mixed_rates.json"));
    EXPECT_TRUE(contains(mixed.out, "~00:01:24:08  2000+23.976  23.976")) << mixed.out;
    EXPECT_TRUE(contains(mixed.out, "CDL (off),Comp")) << mixed.out;

    const ToolRun media = run("list --media " + testData("view/mixed_rates.json"));
    EXPECT_TRUE(contains(media.out, "harbour wide    primary  movie  /media/harbour/wide.mov"))
        << media.out;
    EXPECT_TRUE(
        contains(media.out, "harbour wide    2        mp4    /media/harbour/wide_proxy.mp4"))
        << media.out;

    const ToolRun notes = run("list --notes " + example("review-notes.otio.json"));
    EXPECT_TRUE(contains(notes.out, "note   00:00:42:02  00:00:43:02  1010+24  #ffff00  Boat wake"))
        << notes.out;
    EXPECT_TRUE(contains(notes.out, "paint  00:00:42:02  00:00:42:14  1010+12  -        1 stroke, "
                                    "4 points"))
        << notes.out;

    EXPECT_EQ(run("list --tracks --notes").exitCode, 2); // one table at a time
}

// Transitions of standard OTIO tracks take no track time and the edit tree does
// not play them, but the list shows each where it sits: across its cut, before
// the item it leads into, or at the track's end after the last one.
TEST_F(ZemcompList, TransitionsOfStandardOtioSitAcrossTheirCuts) {
    const auto time = [](double value) { return rationalTime(value, 24); };
    const auto clip = [&](const char* name, double frames) {
        return std::string(R"({"OTIO_SCHEMA":"Clip.2","name":")") + name +
               R"(","source_range":)" + timeRange(0, frames, 24) + "}";
    };
    const auto transition = [&](const char* name, double in, double out) {
        return std::string(R"({"OTIO_SCHEMA":"Transition.1","name":")") + name +
               R"(","transition_type":"SMPTE_Dissolve","in_offset":)" + time(in) +
               R"(,"out_offset":)" + time(out) + "}";
    };
    const fs::path path = scratchFile(
        "dissolves.otio",
        R"({"OTIO_SCHEMA":"Timeline.1","name":"mix","global_start_time":)" + time(86400) +
            R"(,"tracks":{"OTIO_SCHEMA":"Stack.1","children":[)"
            R"({"OTIO_SCHEMA":"Track.1","name":"V1","kind":"Video","children":[)" +
            clip("a", 48) + "," + transition("mix", 6, 6) + "," + clip("b", 24) + "," +
            transition("out", 12, 0) +
            R"(]},{"OTIO_SCHEMA":"Track.1","name":"A1","kind":"Audio","children":[)" +
            transition("in", 0, 4) + "," + clip("c", 24) + "]}]}}");

    const ToolRun table = run("list " + path.string());
    ASSERT_EQ(table.exitCode, 0) << table.err;
    const std::vector<std::string> rows = {
        "V1     1  clip        a     01:00:00:00  01:00:02:00    86400+48",
        "V1        transition  mix   01:00:01:18  01:00:02:06    86442+12",
        "V1     2  clip        b     01:00:02:00  01:00:03:00    86448+24",
        "V1        transition  out   01:00:02:12  01:00:03:00    86460+12",
        "A1        transition  in    01:00:00:00  01:00:00:04     86400+4",
        "A1     1  clip        c     01:00:00:00  01:00:01:00    86400+24"};
    std::size_t at = 0;
    for (const std::string& row : rows) {
        const std::size_t found = table.out.find(row, at);
        ASSERT_NE(found, std::string::npos) << row << "\n" << table.out;
        at = found + row.size();
    }
    EXPECT_TRUE(contains(table.out, "SMPTE_Dissolve")) << table.out;
    // info counts them beside what the timeline plays.
    const ToolRun info = run("info " + path.string());
    EXPECT_TRUE(contains(info.out, "3 clips, 0 gaps, 0 effects, 0 notes, 3 transitions (kept, "
                                   "not played)"))
        << info.out;
    EXPECT_FALSE(contains(run("info " + example("short-cut.otio.json")).out, "transition"));

    const ToolRun json = run("list --json " + path.string());
    ASSERT_EQ(json.exitCode, 0) << json.err;
    rapidjson::Document listed;
    listed.Parse(json.out.c_str());
    ASSERT_TRUE(listed.IsObject()) << json.out;
    const rapidjson::Value& video = listed["tracks"][0]["transitions"];
    ASSERT_EQ(video.Size(), 2u);
    EXPECT_STREQ(video[0]["name"].GetString(), "mix");
    EXPECT_STREQ(video[0]["type"].GetString(), "SMPTE_Dissolve");
    EXPECT_EQ(video[0]["cut"].GetInt64(), 86448);
    EXPECT_EQ(video[0]["in_offset"].GetInt64(), 6);
    EXPECT_EQ(video[0]["out_offset"].GetInt64(), 6);
    EXPECT_EQ(video[0]["record"]["start"].GetInt64(), 86442);
    EXPECT_EQ(video[1]["cut"].GetInt64(), 86472);
    EXPECT_EQ(listed["tracks"][1]["transitions"][0]["cut"].GetInt64(), 86400);
    // A document without transitions lists none.
    const ToolRun plain = run("list --json " + example("short-cut.otio.json"));
    listed.Parse(plain.out.c_str());
    ASSERT_TRUE(listed.IsObject()) << plain.out;
    EXPECT_FALSE(listed["tracks"][0].HasMember("transitions"));
}

TEST_F(ZemcompList, NoteColoursAreTheNearestBytes) {
    struct Case {
        const char* colour; // a marker's "color" member
        const char* shown;
    };
    // Orange is 1, 0.5, 0: 127.5 is shown as 0x80. 0.1 x 255 = 25.5 is 0x1a.
    const Case cases[] = {
        {R"("ORANGE")", "#ff8000"},
        {R"("PURPLE")", "#800080"},
        {"null", "#00ff00"}, // none: green
        {R"({"OTIO_SCHEMA":"Color.1","r":0.1,"g":0.2,"b":1.0,"a":1.0})", "#1a33ff"},
    };
    for (const Case& c : cases) {
        const fs::path path = scratchFile(
            "marker.otio",
            R"({"OTIO_SCHEMA":"Timeline.1","name":"m","tracks":{"OTIO_SCHEMA":"Stack.1",)"
            R"("children":[{"OTIO_SCHEMA":"Track.1","kind":"Video","children":[{"OTIO_SCHEMA":)"
            R"("Clip.2","name":"c","source_range":{"OTIO_SCHEMA":"TimeRange.1","start_time":)"
            R"({"OTIO_SCHEMA":"RationalTime.1","rate":24.0,"value":0.0},"duration":)"
            R"({"OTIO_SCHEMA":"RationalTime.1","rate":24.0,"value":10.0}},"markers":[{)"
            R"("OTIO_SCHEMA":"Marker.2","name":"look","color":)" +
                std::string(c.colour) +
                R"(,"marked_range":{"OTIO_SCHEMA":"TimeRange.1","start_time":{"OTIO_SCHEMA":)"
                R"("RationalTime.1","rate":24.0,"value":2.0},"duration":{"OTIO_SCHEMA":)"
                R"("RationalTime.1","rate":24.0,"value":0.0}}}]}]}]}})");
        const ToolRun notes = run("list --notes " + path.string());
        ASSERT_EQ(notes.exitCode, 0) << notes.err;
        EXPECT_TRUE(contains(notes.out, std::string("  ") + c.shown + "  look")) << notes.out;
    }
}

TEST_F(ZemcompList, DropFrameRatesAndLongTimelines) {
    // 29.97 drop-frame: frame 107892 is one hour on the clock.
    const fs::path ntsc = scratchFile("ntsc.json", oneClipTimeline(29.97, 107892, 1800));
    const ToolRun info = run("info " + ntsc.string());
    ASSERT_EQ(info.exitCode, 0) << info.err;
    EXPECT_TRUE(
        contains(info.out, "start     01:00:00;00 (107892 frames at 29.97 fps, 3599.996 s)"))
        << info.out;
    EXPECT_TRUE(contains(info.out, "duration  00:01:00;02 (1800 frames at 29.97 fps, 60.060 s)"))
        << info.out;

    // Past 24 hours the hours keep counting.
    const fs::path day = scratchFile("day.json", oneClipTimeline(25, 25 * 90000, 250));
    const ToolRun list = run("list " + day.string());
    EXPECT_TRUE(contains(list.out, "25:00:00:00  25:00:10:00")) << list.out;
}

TEST_F(ZemcompList, TimelinesTimedAtTheSoundsRateShowThePicturesTimecode) {
    // 2 s of sound beside 48 frames at 23.976: the sound ends between two
    // frames, so the timeline is read at 48000, 2002 samples a frame.
    const auto clip = [&](const char* name, const char* rate, const char* frames) {
        return std::string(R"({"OTIO_SCHEMA":"Clip.2","name":")") + name +
               R"(","source_range":)" + timeRange("0", frames, rate) + "}";
    };
    const char* film = "23.976023976023978";
    const fs::path path = scratchFile(
        "sound.otio", R"({"OTIO_SCHEMA":"Timeline.1","name":"mix","global_start_time":)" +
                          rationalTime("86313", film) +
                          R"(,"tracks":{"OTIO_SCHEMA":"Stack.1","children":[)"
                          R"({"OTIO_SCHEMA":"Track.1","name":"V1","kind":"Video","children":[)" +
                          clip("pic", film, "48") +
                          R"(]},{"OTIO_SCHEMA":"Track.1","name":"A1","kind":"Audio","children":[)" +
                          clip("snd", "48000", "96000") + "]}]}}");

    const ToolRun list = run("list " + path.string());
    ASSERT_EQ(list.exitCode, 0) << list.err;
    EXPECT_TRUE(contains(list.out, "at 48000/1 fps (timecode at 23.976 fps), start 00:59:56:09"))
        << list.out;
    // Frame counts stay in samples; the sound's end falls between two frames.
    EXPECT_TRUE(contains(list.out, "pic   00:59:56:09  00:59:58:09   172798626+96096")) << list.out;
    EXPECT_TRUE(contains(list.out, "snd   00:59:56:09  ~00:59:58:09  172798626+96000")) << list.out;
    EXPECT_FALSE(contains(list.out, "00:59:59:46626")) << list.out;
    // As JSON: frames and both rates, for a reader to make the same timecode.
    rapidjson::Document listed;
    listed.Parse(run("list --json " + path.string()).out.c_str());
    ASSERT_TRUE(listed.IsObject());
    EXPECT_EQ(listed["rate"][0].GetInt(), 48000);
    EXPECT_EQ(listed["picture_rate"][0].GetInt(), 24000);
    EXPECT_EQ(listed["picture_rate"][1].GetInt(), 1001);
    EXPECT_EQ(listed["start"].GetInt64(), 172798626);

    const ToolRun info = run("info " + path.string());
    EXPECT_TRUE(contains(info.out, "start     00:59:56:09 (172798626 frames at 48000/1 fps"))
        << info.out;
    EXPECT_TRUE(contains(info.out, "timecode  at 23.976 fps")) << info.out;
    EXPECT_TRUE(contains(info.out, "bounds    at 00:59:56:09 (frame 172798626)")) << info.out;
    // A timeline at a picture's rate says nothing of it.
    EXPECT_FALSE(contains(run("info " + example("short-cut.otio.json")).out, "timecode  "));

    // The picture's ruler counts frames, and --range takes its timecode.
    const ToolRun drawn = run("draw --range 00:59:57:00-00:59:58:00 " + path.string());
    ASSERT_EQ(drawn.exitCode, 0) << drawn.err;
    EXPECT_TRUE(contains(drawn.out, "drawn: 00:59:57:00 for 48048 frames (172828656 to"))
        << drawn.out;
    EXPECT_TRUE(contains(drawn.out, ">00:59:57:00<")) << drawn.out;
}

TEST_F(ZemcompList, SoundStampedWithATimeOfDayKeepsItsSourceTimecode) {
    // A second of picture at 24 beside sound of the same second, its source
    // stamped with a time of day: SAMPLES = RATE x seconds since midnight.
    struct Case {
        const char* rate;
        const char* samples;
        const char* timecode;
    };
    const Case cases[] = {
        {"48000", "172800000", "01:00:00:00"},   // 48000 x 3600
        {"96000", "4320000000", "12:30:00:00"},  // 96000 x 45000
        {"192000", "4147200000", "06:00:00:00"}, // 192000 x 21600
    };
    for (const Case& c : cases) {
        const std::string second = std::to_string(std::stoll(c.rate));
        const fs::path path = scratchFile(
            "sound.otio",
            R"({"OTIO_SCHEMA":"Timeline.1","name":"stamped","global_start_time":)" +
                rationalTime("0", "24") +
                R"(,"tracks":{"OTIO_SCHEMA":"Stack.1","children":[)"
                R"({"OTIO_SCHEMA":"Track.1","name":"V1","kind":"Video","children":[)"
                R"({"OTIO_SCHEMA":"Clip.2","name":"pic","source_range":)" +
                timeRange("0", "24", "24") +
                R"(}]},{"OTIO_SCHEMA":"Track.1","name":"A1","kind":"Audio","children":[)"
                R"({"OTIO_SCHEMA":"Clip.2","name":"snd","source_range":)" +
                timeRange(c.samples, second, c.rate) + "}]}]}}");
        // The sound's row: record frames 0+24, then its source in.
        const ToolRun list = run("list " + path.string());
        EXPECT_TRUE(contains(list.out, std::string("0+24  ") + c.timecode))
            << c.rate << "\n"
            << list.out;

        // Written as standard OTIO and read back: the same samples.
        const fs::path back = scratch / "back.otio";
        ASSERT_EQ(run("convert " + path.string() + " --to otio-std -o " + back.string()).exitCode,
                  0);
        rapidjson::Document listed;
        listed.Parse(run("list --json " + back.string()).out.c_str());
        ASSERT_TRUE(listed.IsObject()) << c.rate;
        EXPECT_EQ(listed["tracks"][1]["items"][0]["source"]["start"].GetInt64(),
                  std::stoll(c.samples))
            << c.rate;

        // Written to an EDL, the event's source in is that time of day, and
        // it reads back so.
        const fs::path edl = scratch / "sound.edl";
        ASSERT_EQ(run("convert " + path.string() + " --to edl -o " + edl.string()).exitCode, 0);
        std::ifstream in(edl);
        const std::string list2((std::istreambuf_iterator<char>(in)), {});
        EXPECT_TRUE(contains(list2, std::string("A     C        ") + c.timecode)) << list2;
        EXPECT_TRUE(contains(run("list " + edl.string()).out, c.timecode)) << c.rate;
    }
}

TEST_F(ZemcompList, TheTimelineOfACollectionIsPickedByNameOrNumber) {
    const auto timeline = [](const char* name, const char* frames) {
        return std::string(R"({"OTIO_SCHEMA":"Timeline.1","name":")") + name +
               R"(","tracks":{"OTIO_SCHEMA":"Stack.1","children":[{"OTIO_SCHEMA":"Track.1",)"
               R"("kind":"Video","children":[{"OTIO_SCHEMA":"Clip.2","name":"c","source_range":)" +
               timeRange("0", frames, "24") + "}]}]}}";
    };
    const fs::path path =
        scratchFile("two.otio", R"({"OTIO_SCHEMA":"SerializableCollection.1","children":[)" +
                                    timeline("reel 1", "24") + "," + timeline("reel 2", "48") +
                                    "]}");
    // --timeline and --sequence are one option: by name, else by number.
    const std::pair<const char*, const char*> picks[] = {
        {"", "\"reel 1\" at 24 fps"},
        {" --sequence 'reel 2'", "\"reel 2\" at 24 fps"},
        {" --timeline 2", "\"reel 2\" at 24 fps"},
    };
    for (const auto& [option, shown] : picks) {
        const ToolRun list = run("list " + path.string() + option);
        EXPECT_EQ(list.exitCode, 0) << option << list.err;
        EXPECT_TRUE(contains(list.out, shown)) << option << "\n" << list.out;
    }
    const ToolRun missing = run("info --timeline 3 " + path.string());
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(contains(missing.err, path.string() + R"(: no timeline "3": the document holds )"
                                                      R"(2: 1 "reel 1", 2 "reel 2")"))
        << missing.err;
}

TEST_F(ZemcompList, SeveralFilesGoOnPastABadOne) {
    const fs::path bad = scratchFile("bad.json", "{\"tracks\": [1, 2");
    const std::string files = example("short-cut.otio.json") + " " + bad.string() + " " +
                              (scratch / "absent.json").string() + " " +
                              example("graded-shot.otio.json");
    for (const char* command : {"check", "info", "list"}) {
        const ToolRun serial = run(std::string(command) + " " + files);
        EXPECT_EQ(serial.exitCode, 1) << command;
        EXPECT_TRUE(contains(serial.out, "short-cut.otio.json")) << serial.out;
        EXPECT_TRUE(contains(serial.out, "graded-shot.otio.json")) << serial.out;
        EXPECT_LT(serial.out.find("short-cut"), serial.out.find("graded-shot"));
        EXPECT_TRUE(contains(serial.err, bad.string() + ":1:17:")) << serial.err;
        EXPECT_TRUE(contains(serial.err, "absent.json: cannot open")) << serial.err;

        // In parallel: the same output, in the same order.
        const ToolRun parallel = run(std::string(command) + " -j 3 " + files);
        EXPECT_EQ(parallel.exitCode, 1);
        EXPECT_EQ(parallel.out, serial.out) << command;
        EXPECT_EQ(parallel.err, serial.err) << command;
    }

    // All good: exit 0, each file once.
    const ToolRun good = run("check -j 2 " + example("short-cut.otio.json") + " " +
                             example("review-notes.otio.json"));
    EXPECT_EQ(good.exitCode, 0) << good.err;
    EXPECT_EQ(std::count(good.out.begin(), good.out.end(), '\n'), 2);

    // Standard input, but only once.
    const ToolRun piped = shell("cat " + example("graded-shot.otio.json") + " | " + ZEMCOMP +
                                " check - " + example("short-cut.otio.json"));
    EXPECT_EQ(piped.exitCode, 0) << piped.err;
    EXPECT_EQ(piped.out.rfind("<stdin>: OK, \"Graded shot\"", 0), 0u) << piped.out;
    EXPECT_EQ(run("check - -").exitCode, 2);
    EXPECT_EQ(run("check -j 0 x").exitCode, 2);
}

TEST_F(ZemcompList, SeveralFilesAsJsonMakeAnArray) {
    const fs::path bad = scratchFile("bad.json", "not json");
    const ToolRun result = run("list --json " + example("graded-shot.otio.json") + " " +
                               bad.string() + " " + example("review-notes.otio.json"));
    EXPECT_EQ(result.exitCode, 1);
    rapidjson::Document json;
    json.Parse(result.out.c_str());
    ASSERT_TRUE(json.IsArray()) << result.out;
    ASSERT_EQ(json.Size(), 3u);
    EXPECT_STREQ(json[0]["name"].GetString(), "Graded shot");
    EXPECT_EQ(json[1]["file"].GetString(), bad.string());
    // Not the product's marker: read as standard OTIO, which says the text is not JSON.
    EXPECT_EQ(json[1]["status"].GetInt(), 775);
    EXPECT_TRUE(json[1].HasMember("error"));
    EXPECT_STREQ(json[2]["name"].GetString(), "Review notes");
    const rapidjson::Value& gap = json[2]["tracks"][0]["items"][1];
    EXPECT_STREQ(gap["type"].GetString(), "gap");
    ASSERT_EQ(gap["notes"].Size(), 1u);
    EXPECT_STREQ(gap["notes"][0]["text"].GetString(), "sh025 goes here (in progress)");
    EXPECT_EQ(gap["notes"][0]["start"].GetInt64(), 1048);
    EXPECT_TRUE(gap["paint"].GetBool());

    const ToolRun info = run("info --json " + example("graded-shot.otio.json") + " " +
                             example("short-cut.otio.json"));
    json.Parse(info.out.c_str());
    ASSERT_TRUE(json.IsArray()) << info.out;
    ASSERT_EQ(json.Size(), 2u);
    EXPECT_STREQ(json[1]["name"].GetString(), "Short cut");
}

TEST_F(ZemcompList, DocumentsWithoutATimeline) {
    const fs::path empty =
        scratchFile("empty.json", R"({"OTIO_SCHEMA":"SerializableCollection.1"})");
    // Read as the product dialect: an empty composition.
    const ToolRun check = run("check --from otio " + empty.string());
    EXPECT_EQ(check.exitCode, 1);
    EXPECT_EQ(check.err, "zemcomp: " + empty.string() + ": no timeline\n");
    const ToolRun list = run("list --from otio " + empty.string());
    EXPECT_EQ(list.exitCode, 0) << list.err;
    EXPECT_EQ(list.out, empty.string() + ": no timeline\n");
    const ToolRun info = run("info --from otio " + empty.string());
    EXPECT_EQ(info.exitCode, 0) << info.err;
    EXPECT_TRUE(contains(info.out, "none: the document holds no timeline")) << info.out;
    // Read as standard OTIO (detected), which has no document without a timeline.
    for (const char* command : {"check ", "list ", "info "}) {
        const ToolRun standard = run(command + empty.string());
        EXPECT_EQ(standard.exitCode, 1) << command;
        EXPECT_TRUE(contains(standard.err, empty.string() + ": no timeline: ")) << standard.err;
    }
}

TEST_F(ZemcompList, FramesOutsideTheCompositionGetANote) {
    const std::string file = example("short-cut.otio.json");
    const ToolRun result = run("info --at 0 --at 86400 --at 86568 " + file);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(contains(result.out, "at 00:00:00:00 (frame 0), outside the composition:"))
        << result.out;
    EXPECT_TRUE(contains(result.out, "at 01:00:00:00 (frame 86400): centre")) << result.out;
    EXPECT_EQ(result.err, "zemcomp: " + file +
                              ": note: frame 0 is outside the composition (frames 86400 to "
                              "86567)\nzemcomp: " +
                              file +
                              ": note: frame 86568 is outside the composition (frames 86400 to "
                              "86567)\n");
}

TEST_F(ZemcompList, BashCompletionKnowsTheCommandLine) {
    const ToolRun script = run("completion bash");
    ASSERT_EQ(script.exitCode, 0) << script.err;
    const fs::path file = scratchFile("zemcomp.bash", script.out);
    ASSERT_EQ(shell("bash -n " + file.string()).exitCode, 0);

    // What bash offers after the words typed so far.
    const auto complete = [&](const std::string& words) {
        const ToolRun result =
            shell("bash -c 'source " + file.string() + "; COMP_WORDS=(" + words +
                  "); COMP_CWORD=$((${#COMP_WORDS[@]} - 1)); _zemcomp; echo \"${COMPREPLY[*]}\"'");
        return result.out;
    };
    EXPECT_EQ(complete("zemcomp l"), "list looks\n");
    EXPECT_EQ(complete("zemcomp looks \"\""), "apply extract\n");
    EXPECT_EQ(complete("zemcomp looks extract x --form c"), "cc ccc cdl\n");
    EXPECT_EQ(complete("zemcomp list --t"), "--timeline --tracks\n");
    EXPECT_EQ(complete("zemcomp info --seq"), "--sequence\n");
    EXPECT_EQ(complete("zemcomp convert x --to \"\""), "otio otio-std dmtree edl xmeml fcpxml\n");
    EXPECT_EQ(complete("zemcomp convert x --fcpxml-version 1.1"), "1.10 1.11 1.12 1.13\n");
    EXPECT_EQ(complete("zemcomp info --from d"), "dmtree\n");
    EXPECT_EQ(complete("zemcomp completion b"), "bash\n");
    EXPECT_EQ(run("completion zsh").exitCode, 2);
}
