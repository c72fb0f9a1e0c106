#include "rapidotio/ClipNode.h"
#include "rapidotio/CompNode.h"

#include "tests/rapidotio/OtioTestSupport.h"

#include <gtest/gtest.h>

namespace ZEM_0_81::rapidotio {
namespace {

using test::elementText;
using test::parse;

/// A clip whose media reference metadata "zem" holds `media`.
std::unique_ptr<Document> clipWithMedia(const std::string& media) {
    return parse(R"({"OTIO_SCHEMA":"Clip.1","name":"c","media_reference":{"metadata":{"zem":)" +
                 media + "}}}");
}

TEST(ClipNode, WrongTypesAndCountsKeepDefaults) {
    auto doc = clipWithMedia(R"({"pixel_resolution":[1920,1080,1],"frame_rate":24,
        "file_size_in_bytes":2147483648,"num_video_channels":3.0,"has_audio":1,
        "pixel_aspect":"1.0","audio_sample_rate":48000,"num_audio_channels":-2,
        "video_codec":5,"bounds":{"center":[1.0],"size":[18446744073709551615,"w"]},
        "extra_data":[]})");
    ClipNode clip(*doc, nullptr);
    EXPECT_EQ(-1, clip.pixel_resolution_width);
    EXPECT_EQ(-1, clip.pixel_resolution_height);
    EXPECT_EQ(0.0, clip.frame_rate);
    EXPECT_EQ(-1, clip.file_size_in_bytes);
    EXPECT_EQ(-1, clip.num_video_channels);
    EXPECT_FALSE(clip.has_audio);
    EXPECT_EQ(0.0, clip.pixel_aspect);
    EXPECT_EQ(0.0, clip.audio_sample_rate);
    EXPECT_EQ(-2, clip.num_audio_channels);
    EXPECT_EQ("Unknown", clip.video_codec);
    EXPECT_EQ(0.0, clip.bounds_center_x);
    EXPECT_EQ(0.0, clip.bounds_size_width) << "only double or int32 elements count";
    EXPECT_EQ(0.0, clip.bounds_size_height);
    EXPECT_TRUE(clip.extra_data.empty());

    doc = clipWithMedia(R"({"pixel_resolution":[1920.0,1080],"bounds":{"center":[0,0.5]}})");
    ClipNode other(*doc, nullptr);
    EXPECT_EQ(-1, other.pixel_resolution_width);
    EXPECT_EQ(1080, other.pixel_resolution_height);
    EXPECT_EQ(0.5, other.bounds_center_y);
}

TEST(ClipNode, ExtraDataKeepsOrderAndTakesScalarsAsJsonText) {
    auto doc = clipWithMedia(R"({"extra_data":{"z":"1","a":"2","n":null,"o":{"k":[1,2.5]},
        "d":-2.5,"l":["x"],"t":true,"z":"again"}})");
    ClipNode clip(*doc, nullptr);
    using Pair = std::pair<std::string, std::string>;
    EXPECT_EQ(
        (std::vector<Pair>{
            {"z", "1"}, {"a", "2"}, {"n", "null"}, {"d", "-2.5"}, {"t", "true"}, {"z", "again"}}),
        clip.extra_data);
}

TEST(ClipNode, ClipMetadataWithoutZemLevelAndWithMistypedParts) {
    auto doc = parse(R"({"OTIO_SCHEMA":"Clip.1","metadata":{"id":"u1",
        "paths":{"mp4":"m","file":7,"movie":"v"},"entity":{"id":2.0,"type":"Asset"}}})");
    ClipNode clip(*doc, nullptr);
    EXPECT_EQ("u1", clip.clip_uid);
    EXPECT_EQ("m", clip.path_mp4);
    EXPECT_EQ("", clip.path_file);
    EXPECT_EQ("v", clip.path_movie);
    EXPECT_EQ(0, clip.entity_id);
    EXPECT_EQ("Asset", clip.entity_type);

    doc = parse(R"({"metadata":{"zem":"not an object","id":"outer"},"media_reference":[]})");
    ClipNode fallback(*doc, nullptr);
    EXPECT_EQ("outer", fallback.clip_uid);
}

TEST(ClipNode, TrackingEntityTextSplitsOnSlashes) {
    struct Case {
        const char* entity;
        const char* type;
        std::int32_t id;
    } cases[] = {{"/Version/1234", "Version", 1234},
                 {"/Shot/abc", "Shot", 0},
                 {"/Shot/12x", "Shot", 12},
                 {"x/Plate/5", "", 0},
                 {"/Shot", "", 0},
                 {"/", "", 0},
                 {"", "", 0},
                 {"//7", "", 7},
                 {"/Big/99999999999", "Big", 2147483647}};
    for (const Case& c : cases) {
        auto doc = parse(std::string(R"({"media_reference":{"metadata":{"zm":{"entity":")") +
                         c.entity + R"("}}}})");
        ClipNode clip(*doc, nullptr);
        EXPECT_EQ(c.type, clip.entity_type) << c.entity;
        EXPECT_EQ(c.id, clip.entity_id) << c.entity;
    }
}

TEST(ClipNode, EntityReader) {
    auto doc = parse(R"({"entity":{"id":42,"type":"Shot"}})");
    ClipNode clip("c");
    clip.readEntity(*doc);
    EXPECT_EQ(42, clip.entity_id);
    EXPECT_EQ("Shot", clip.entity_type);
    auto none = parse(R"({"entity":"Shot/3"})");
    clip.readEntity(*none);
    EXPECT_EQ(42, clip.entity_id);
}

TEST(ClipNode, WritesEveryMemberEvenAtDefaults) {
    ClipNode clip("c");
    EXPECT_EQ(R"({"name":"c","OTIO_SCHEMA":"Clip.1","effects":[],)"
              R"("source_range":{"start_time":{"OTIO_SCHEMA":"RationalTime.1"},)"
              R"("duration":{"OTIO_SCHEMA":"RationalTime.1"},"OTIO_SCHEMA":"TimeRange.1"},)"
              R"("media_reference":{"OTIO_SCHEMA":"ExternalReference.1",)"
              R"("available_range":{"start_time":{"OTIO_SCHEMA":"RationalTime.1"},)"
              R"("duration":{"OTIO_SCHEMA":"RationalTime.1"},"OTIO_SCHEMA":"TimeRange.1"},)"
              R"("metadata":{"zem":{"ZEM_SCHEMA":"ClipNodeMediaReferenceMetadata.1",)"
              R"("bounds":{"center":[0.0,0.0],"size":[0.0,0.0]},"pixel_resolution":[-1,-1],)"
              R"("data_type":"","num_video_channels":-1,"pixel_aspect":0.0,"frame_rate":0.0,)"
              R"("has_audio":false,"audio_sample_rate":0.0,"num_audio_channels":-1,)"
              R"("video_codec":"Unknown","audio_codec":"Unknown","file_size_in_bytes":-1,)"
              R"("extra_data":{}}},"target_url":""},)"
              R"("metadata":{"zem":{"ZEM_SCHEMA":"ClipMetadata.1","entity":{"id":0,"type":""},)"
              R"("paths":{"mp4":"","file":"","movie":""},"id":""}}})",
              elementText(clip));
}

TEST(ClipNode, TrackingFormIsWrittenInZemForm) {
    auto doc = parse(R"({"OTIO_SCHEMA":"Clip.1","name":"t","source_range":{
        "start_time":{"OTIO_SCHEMA":"RationalTime.1","rate":24,"value":0},
        "duration":{"OTIO_SCHEMA":"RationalTime.1","rate":24.0,"value":48.0}},
        "media_reference":{"target_url":"u","metadata":{"zem":{"extra_data":{"k2":"v2","k1":"v1"},
        "pixel_resolution":[64,32],"has_audio":true,"file_size_in_bytes":12},
        "zm":{"entity":"/Version/9","entity_metadata":{"zm_uploaded_movie_mp4":{"url":"m"},
        "zm_path_to_frames":"f","zm_path_to_movie":"v"},"bounds":{"center":[1.5,2],"size":[3,4]}}}},
        "metadata":{"zm":{"clip_uid":"uid"}}})");
    ClipNode clip(*doc, nullptr);
    clip.addChild(SharedPtr<Node>(new CompNode("fx")));
    EXPECT_EQ(
        R"({"name":"t","OTIO_SCHEMA":"Clip.1","effects":[{"OTIO_SCHEMA":"Comp.1",)"
        R"("blend_mode":"","opacity":0.0,"visible":true,"name":"fx","effect_name":"Comp"}],)"
        R"("source_range":{"start_time":{"OTIO_SCHEMA":"RationalTime.1","value":0.0,"rate":24.0},)"
        R"("duration":{"OTIO_SCHEMA":"RationalTime.1","value":48.0,"rate":24.0},)"
        R"("OTIO_SCHEMA":"TimeRange.1"},)"
        R"("media_reference":{"OTIO_SCHEMA":"ExternalReference.1",)"
        R"("available_range":{"start_time":{"OTIO_SCHEMA":"RationalTime.1"},)"
        R"("duration":{"OTIO_SCHEMA":"RationalTime.1"},"OTIO_SCHEMA":"TimeRange.1"},)"
        R"("metadata":{"zem":{"ZEM_SCHEMA":"ClipNodeMediaReferenceMetadata.1",)"
        R"("bounds":{"center":[1.5,2.0],"size":[3.0,4.0]},"pixel_resolution":[64,32],)"
        R"("data_type":"","num_video_channels":-1,"pixel_aspect":0.0,"frame_rate":0.0,)"
        R"("has_audio":true,"audio_sample_rate":0.0,"num_audio_channels":-1,)"
        R"("video_codec":"Unknown","audio_codec":"Unknown","file_size_in_bytes":12,)"
        R"("extra_data":{"k2":"v2","k1":"v1"}}},"target_url":"u"},)"
        R"("metadata":{"zem":{"ZEM_SCHEMA":"ClipMetadata.1","entity":{"id":9,"type":"Version"},)"
        R"("paths":{"mp4":"m","file":"f","movie":"v"},"id":"uid"}}})",
        elementText(clip));
}

} // namespace
} // namespace ZEM_0_81::rapidotio
