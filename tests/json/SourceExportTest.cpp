// Export of source segments as OTIO clips.

#include "tests/json/ExportTrees.h"
#include "json/OtioExport.h"

#include <rapidjson/document.h>
#include <rapidjson/pointer.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace ZEM_0_81::test {
namespace {

using Source = DmSourceInfo::SourceType;
using File = DmSourceInfo::FileType;

/// The exported document of `tree`, parsed, for tests that look at a few members.
struct Exported {
    explicit Exported(const OneLayerTree& tree) : text(tree.exported()) {
        document.Parse<rapidjson::kParseFullPrecisionFlag>(text.c_str());
        EXPECT_FALSE(document.HasParseError()) << text;
    }
    /// The member at `path` below the first clip, e.g. "/media_reference/target_url".
    const rapidjson::Value& clip(const std::string& path) const {
        const std::string full = "/tracks/children/0/children/0" + path;
        const rapidjson::Value* value = rapidjson::Pointer(full.c_str()).Get(document);
        static const rapidjson::Value missing;
        EXPECT_NE(value, nullptr) << full << " in " << text;
        return value ? *value : missing;
    }
    const rapidjson::Value& media(const std::string& key) const {
        return clip("/media_reference/metadata/zem" + key);
    }
    std::string string(const rapidjson::Value& value) const {
        return value.IsString() ? value.GetString() : "<not a string>";
    }

    std::string text;
    rapidjson::Document document;
};

/// A source with one media-file input at 24 frames per second and no resolution.
DmSourceNode* plainSource(double recLength = 24.0) {
    return sourceOver(mediaInput(0.0, 100.0, "24", Source::kSourceTypeMovie, File::kFileTypeMovie,
                                 "/media/a.mp4"),
                      recLength);
}

TEST(SourceExport, FullyDescribedSourceWritesEveryClipMember) {
    OneLayerTree tree("24");

    DmSourceNode::MediaInput* primary =
        mediaInput(100.0, 200.0, "48", Source::kSourceTypeMovie, File::kFileTypeMovie,
                   "/show/a.mp4", R"({"entity":{"id":42,"type":"Version"}})");
    DmFrameResolution* res = DmFrameResolution::create();
    res->setCenterX(0.0);
    res->setCenterY(0.5);
    res->setSizeX(1920.0);
    res->setSizeY(1080.0);
    res->setWidth(1920);
    res->setHeight(1080);
    res->setDepth(16, 3, true, false);
    res->setFrameRatio(1.7777778f);
    primary->setPrimaryRes(res);
    DmAudioProperties* audio = DmAudioProperties::create();
    audio->setNbChannels(2);
    audio->setSamplingRate(48000.0);
    primary->setAudioProperties(audio);
    primary->addExtraData(DmSourceNode::DictionaryEntry::create("ZEM_VIDEO_CODEC", "h264"));
    primary->addExtraData(DmSourceNode::DictionaryEntry::create("ZEM_AUDIO_CODEC", "aac"));
    primary->addExtraData(DmSourceNode::DictionaryEntry::create("shot", "sh010"));
    primary->addExtraData(
        DmSourceNode::DictionaryEntry::create("ZEM_FILE_SIZE_IN_BYTES", "1048576"));
    primary->addExtraData(DmSourceNode::DictionaryEntry::create("ZEM_FRAME_RATE", "48.000000"));
    primary->addExtraData(DmSourceNode::DictionaryEntry::create("lens", "35mm"));

    DmSourceNode* source = DmSourceNode::create(primary, 0.0, 24.0, 10.0, true, false);
    source->setName("shot");
    source->setSegmentId("uid-1");
    source->addMultiInput(mediaInput(100.0, 200.0, "48", Source::kSourceTypeFile,
                                     File::kFileTypeFile, "/show/frames/a.####.exr"));
    source->addMultiInput(mediaInput(100.0, 200.0, "48", Source::kSourceTypeFile,
                                     File::kFileTypeMovie, "/show/a.mov"));
    tree.add(source);

    // 24 record frames at 24 fps are 48 source frames at 48 fps; the clip starts
    // at the relative in-point plus the media's in-point.
    const std::string clip = R"({"name": "shot", "OTIO_SCHEMA": "Clip.1", "effects": [],
        "source_range": )" + timeRange("110.0", "48.0", "48.0") +
                             R"(,
        "media_reference": {
            "OTIO_SCHEMA": "ExternalReference.1",
            "available_range": )" +
                             timeRange("100.0", "200.0", "48.0") + R"(,
            "metadata": {"zem": {
                "ZEM_SCHEMA": "ClipNodeMediaReferenceMetadata.1",
                "bounds": {"center": [0.0, 0.5], "size": [1920.0, 1080.0]},
                "pixel_resolution": [1920, 1080],
                "data_type": "half",
                "num_video_channels": 3,
                "pixel_aspect": 1.0,
                "frame_rate": 48.0,
                "has_audio": true,
                "audio_sample_rate": 48000.0,
                "num_audio_channels": 2,
                "video_codec": "h264",
                "audio_codec": "aac",
                "file_size_in_bytes": 1048576,
                "extra_data": {"shot": "sh010", "lens": "35mm"}}},
            "target_url": "/show/a.mp4"},
        "metadata": {"zem": {
            "ZEM_SCHEMA": "ClipMetadata.1",
            "entity": {"id": 42, "type": "Version"},
            "paths": {"mp4": "/show/a.mp4", "file": "/show/frames/a.####.exr",
                      "movie": "/show/a.mov"},
            "id": "uid-1"}}})";
    EXPECT_EQ(tree.exported(), oneLayerDocument(clip));
}

TEST(SourceExport, SourceWithoutResolutionOrExtraDataWritesTheDefaults) {
    OneLayerTree tree("24");
    DmSourceNode::MediaInput* input =
        DmSourceNode::MediaInput::create(0.0, 50.0, nullptr, "24", eDmMediaVideo, true);
    tree.add(sourceOver(input, 24.0));

    const std::string clip = R"({"name": "clip", "OTIO_SCHEMA": "Clip.1", "effects": [],
        "source_range": )" + timeRange("0.0", "24.0", "24.0") +
                             R"(,
        "media_reference": {
            "OTIO_SCHEMA": "ExternalReference.1",
            "available_range": )" +
                             timeRange("0.0", "50.0", "24.0") + R"(,
            "metadata": {"zem": {
                "ZEM_SCHEMA": "ClipNodeMediaReferenceMetadata.1",
                "bounds": {"center": [0.0, 0.0], "size": [0.0, 0.0]},
                "pixel_resolution": [-1, -1],
                "data_type": "",
                "num_video_channels": -1,
                "pixel_aspect": 0.0,
                "frame_rate": 0.0,
                "has_audio": false,
                "audio_sample_rate": 0.0,
                "num_audio_channels": -1,
                "video_codec": "Unknown",
                "audio_codec": "Unknown",
                "file_size_in_bytes": -1,
                "extra_data": {}}},
            "target_url": ""},
        "metadata": {"zem": {
            "ZEM_SCHEMA": "ClipMetadata.1",
            "entity": {"id": 0, "type": ""},
            "paths": {"mp4": "", "file": "", "movie": ""},
            "id": ""}}})";
    EXPECT_EQ(tree.exported(), oneLayerDocument(clip));
}

TEST(SourceExport, SourceWithoutInputsWritesNothingNotEvenItsEffects) {
    OneLayerTree tree("24");
    DmSourceNode* empty = DmSourceNode::create(nullptr, 0.0, 10.0, 0.0, true, false);
    empty->addEffect(DmCompSettings::create());
    tree.add(empty);
    tree.add(DmGapNode::create(10.0, 5.0, eDmMediaVideo, "after"));
    EXPECT_EQ(tree.exported(),
              oneLayerDocument(R"({"name":"after","OTIO_SCHEMA":"Gap.1","effects":[],)"
                               R"("source_range":)" +
                               timeRange("0.0", "5.0", "24.0") + R"(,"metadata":{}})"));
}

TEST(SourceExport, RecordLengthIsConvertedToSourceFrames) {
    struct Case {
        const char* compositionFcm;
        const char* sourceFcm;
        double recLength;
        double expected;
    };
    const Case cases[] = {
        {"24", "48", 10.0, 20.0},
        {"48", "24", 10.0, 5.0},
        // Divided first, then multiplied, in double precision: the fraction stays.
        {"25", "25", 7.0, 7.000000000000001},
        {"24", "23.976", 24.0, 24000.0 / 1001.0},
        // Without a composition rate the record length is taken as it is.
        {"none", "48", 10.0, 10.0},
    };
    for (const Case& c : cases) {
        OneLayerTree tree(c.compositionFcm);
        tree.add(sourceOver(mediaInput(0.0, 100.0, c.sourceFcm, Source::kSourceTypeMovie,
                                       File::kFileTypeMovie, "/a.mp4"),
                            c.recLength));
        Exported out(tree);
        EXPECT_EQ(out.clip("/source_range/duration/value").GetDouble(), c.expected)
            << c.compositionFcm << " to " << c.sourceFcm;
    }

    OneLayerTree fraction("25");
    fraction.add(sourceOver(
        mediaInput(0.0, 100.0, "25", Source::kSourceTypeMovie, File::kFileTypeMovie, "/a.mp4"),
        7.0));
    EXPECT_NE(fraction.exported().find(R"("value":7.000000000000001,"rate":25.0})"),
              std::string::npos);
}

TEST(SourceExport, InPointsOutsideTheValidWindowAreUnset) {
    struct Case {
        double availIn;
        double relIn;
        bool availableStartSet;
        bool sourceStartSet;
    };
    const Case cases[] = {
        {21474836.0, 0.0, true, true},     {-21474836.0, 0.0, true, true},
        {21474837.0, 0.0, false, false},   {2147483647.0, -5.0, false, false},
        {10.0, 21474837.0, true, false},   {10.0, -21474836.5, true, false},
        {std::nan(""), 0.0, false, false},
    };
    for (const Case& c : cases) {
        OneLayerTree tree("24");
        tree.add(sourceOver(mediaInput(c.availIn, 100.0, "24", Source::kSourceTypeMovie,
                                       File::kFileTypeMovie, "/a.mp4"),
                            24.0, c.relIn));
        Exported out(tree);
        const auto& available = out.clip("/media_reference/available_range/start_time");
        const auto& start = out.clip("/source_range/start_time");
        EXPECT_EQ(available.HasMember("value"), c.availableStartSet) << c.availIn;
        EXPECT_EQ(start.HasMember("value"), c.sourceStartSet) << c.availIn << " " << c.relIn;
        EXPECT_TRUE(available.HasMember("rate"));
        EXPECT_TRUE(start.HasMember("rate"));
        if (c.sourceStartSet) {
            EXPECT_EQ(start["value"].GetDouble(), c.availIn + c.relIn);
        }
    }
}

TEST(SourceExport, ResolutionValuesAreTakenOnlyAsWholeGroups) {
    OneLayerTree tree("24");
    DmSourceNode* source = plainSource();
    DmFrameResolution* res = DmFrameResolution::create();
    // Three of the four bounds values, and a width without a height.
    res->setCenterX(1.0);
    res->setCenterY(2.0);
    res->setSizeX(3.0);
    res->setWidth(1920);
    res->setFrameRatio(1.5f);
    source->getInput()->setPrimaryRes(res);
    tree.add(source);

    Exported out(tree);
    EXPECT_EQ(out.media("/bounds/center/0").GetDouble(), 0.0);
    EXPECT_EQ(out.media("/bounds/size/0").GetDouble(), 0.0);
    EXPECT_EQ(out.media("/pixel_resolution/0").GetInt(), -1);
    EXPECT_EQ(out.media("/pixel_resolution/1").GetInt(), -1);
    // No depth read: the video-channel count and data type keep their defaults.
    EXPECT_EQ(out.media("/num_video_channels").GetInt(), -1);
    EXPECT_EQ(out.string(out.media("/data_type")), "");
    // The frame ratio needs both dimensions.
    EXPECT_EQ(out.media("/pixel_aspect").GetDouble(), 0.0);
}

TEST(SourceExport, PixelAspectIsComputedInSinglePrecision) {
    struct Case {
        std::int32_t width;
        std::int32_t height;
        float ratio;
        double expected;
    };
    const Case cases[] = {
        {1920, 1080, 1.7777778f, 1.0},
        // 1080 × 1.5 ÷ 1440 = 1.125 exactly.
        {1440, 1080, 1.5f, 1.125},
        // 720 × (4 ÷ 3) ÷ 720 in floats: the float nearest to 4/3.
        {720, 720, 4.0f / 3.0f, static_cast<double>(4.0f / 3.0f)},
        {1920, 1080, 1e-8f, 0.0},
        {-1, 1080, 1.5f, 0.0},
        {1920, -1, 1.5f, 0.0},
        {0, 1080, 1.5f, 0.0},
        {-4, 1080, 1.5f, 0.0},
        {1920, 1080, -0.5f, static_cast<double>(1080.0f * -0.5f / 1920.0f)},
    };
    for (const Case& c : cases) {
        OneLayerTree tree("24");
        DmSourceNode* source = plainSource();
        DmFrameResolution* res = DmFrameResolution::create();
        res->setWidth(c.width);
        res->setHeight(c.height);
        res->setFrameRatio(c.ratio);
        source->getInput()->setPrimaryRes(res);
        tree.add(source);
        Exported out(tree);
        EXPECT_EQ(out.media("/pixel_aspect").GetDouble(), c.expected)
            << c.width << "x" << c.height << " ratio " << c.ratio;
        EXPECT_EQ(out.media("/pixel_resolution/0").GetInt(), c.width);
    }
}

TEST(SourceExport, DepthGivesChannelsAndDataType) {
    struct Case {
        std::int32_t bits;
        bool isFloat;
        const char* expected;
    };
    const Case cases[] = {
        {1, false, "bit"},           {1, true, "Unknown"},          {8, false, "unsigned char"},
        {8, true, "Unknown"},        {16, false, "unsigned short"}, {16, true, "half"},
        {32, false, "unsigned int"}, {32, true, "float"},           {64, false, "Unknown"},
        {64, true, "double"},        {10, false, "Unknown"},        {0, true, "Unknown"},
    };
    for (const Case& c : cases) {
        OneLayerTree tree("24");
        DmSourceNode* source = plainSource();
        DmFrameResolution* res = DmFrameResolution::create();
        res->setDepth(c.bits, 4, c.isFloat, true);
        source->getInput()->setPrimaryRes(res);
        tree.add(source);
        Exported out(tree);
        EXPECT_EQ(out.string(out.media("/data_type")), c.expected) << c.bits << " " << c.isFloat;
        EXPECT_EQ(out.media("/num_video_channels").GetInt(), 4);
    }
}

TEST(SourceExport, ReservedExtraDataKeysFillTheirMembers) {
    OneLayerTree tree("24");
    DmSourceNode* source = plainSource();
    auto* input = dynamic_cast<DmSourceNode::MediaInput*>(source->getInput());
    ASSERT_NE(input, nullptr);
    const std::pair<const char*, const char*> entries[] = {
        {"ZEM_FRAME_RATE", "25"},
        {"colour", "rec709"},
        {"ZEM_FRAME_RATE", "23.976"}, // a later entry overwrites an earlier one
        {"ZEM_FILE_SIZE_IN_BYTES", "12abc"},
        {"ZEM_VIDEO_CODEC", ""},
        {"zem_audio_codec", "lower case is not reserved"},
        {"colour", "again"},
    };
    for (const auto& [key, value] : entries)
        input->addExtraData(DmSourceNode::DictionaryEntry::create(key, value));
    tree.add(source);

    Exported out(tree);
    EXPECT_EQ(out.media("/frame_rate").GetDouble(), 23.976);
    EXPECT_EQ(out.media("/file_size_in_bytes").GetInt(), 12);
    EXPECT_EQ(out.string(out.media("/video_codec")), "");
    EXPECT_EQ(out.string(out.media("/audio_codec")), "Unknown");
    // Every other entry is kept in order, repeated keys included.
    EXPECT_NE(out.text.find(R"("extra_data":{"colour":"rec709",)"
                            R"("zem_audio_codec":"lower case is not reserved","colour":"again"}})"),
              std::string::npos)
        << out.text;

    OneLayerTree unreadable("24");
    DmSourceNode* other = plainSource();
    auto* otherInput = dynamic_cast<DmSourceNode::MediaInput*>(other->getInput());
    otherInput->addExtraData(DmSourceNode::DictionaryEntry::create("ZEM_FRAME_RATE", "fast"));
    otherInput->addExtraData(DmSourceNode::DictionaryEntry::create("ZEM_FILE_SIZE_IN_BYTES", "-"));
    unreadable.add(other);
    Exported zero(unreadable);
    EXPECT_EQ(zero.media("/frame_rate").GetDouble(), 0.0);
    EXPECT_EQ(zero.media("/file_size_in_bytes").GetInt(), 0);
}

TEST(SourceExport, PathsFollowSourceAndFileTypesAndTargetUrlTheFirstInput) {
    OneLayerTree tree("24");
    DmSourceNode* source = sourceOver(
        mediaInput(0.0, 10.0, "24", Source::kSourceTypeNone, File::kFileTypeNone, "/url/first"),
        5.0);
    source->addMultiInput(mediaInput(0.0, 10.0, "24", Source::kSourceTypeFile, File::kFileTypeNone,
                                     "/ignored/file-type-0"));
    source->addMultiInput(
        mediaInput(0.0, 10.0, "24", Source::kSourceTypeMovie, File::kFileTypeFile, "/m/one.mp4"));
    source->addMultiInput(
        mediaInput(0.0, 10.0, "24", Source::kSourceTypeFile, File::kFileTypeMovie, "/m/one.mov"));
    source->addMultiInput(
        mediaInput(0.0, 10.0, "24", Source::kSourceTypeMovie, File::kFileTypeMovie, "/m/two.mp4"));
    source->addMultiInput(mediaInput(0.0, 10.0, "24", static_cast<Source>(7), File::kFileTypeFile,
                                     "/ignored/source-type-7"));
    tree.add(source);

    Exported out(tree);
    EXPECT_EQ(out.string(out.clip("/media_reference/target_url")), "/url/first");
    EXPECT_EQ(out.string(out.clip("/metadata/zem/paths/mp4")), "/m/two.mp4");
    EXPECT_EQ(out.string(out.clip("/metadata/zem/paths/file")), "");
    EXPECT_EQ(out.string(out.clip("/metadata/zem/paths/movie")), "/m/one.mov");

    // A primary input without source information gives no target URL, even when
    // later inputs have one.
    OneLayerTree noInfo("24");
    DmSourceNode* bare = sourceOver(
        DmSourceNode::MediaInput::create(0.0, 10.0, nullptr, "24", eDmMediaVideo, true), 5.0);
    bare->addMultiInput(
        mediaInput(0.0, 10.0, "24", Source::kSourceTypeFile, File::kFileTypeFile, "/f/a.####.dpx"));
    noInfo.add(bare);
    Exported second(noInfo);
    EXPECT_EQ(second.string(second.clip("/media_reference/target_url")), "");
    EXPECT_EQ(second.string(second.clip("/metadata/zem/paths/file")), "/f/a.####.dpx");
}

TEST(SourceExport, EntityIsReadBackFromTheSourceUid) {
    struct Case {
        const char* uid;
        std::int32_t id;
        const char* type;
    };
    const Case cases[] = {
        {R"({"entity":{"id":1234,"type":"Version"}})", 1234, "Version"},
        {R"({"entity":{"type":"Shot","id":-7}})", -7, "Shot"},
        {R"({"entity":{"id":1.5,"type":"Shot"}})", 0, "Shot"},
        {R"({"entity":{"id":4294967295,"type":"Shot"}})", 0, "Shot"},
        {R"({"entity":{"id":"12","type":5}})", 0, ""},
        {R"({"entity":"Version/12"})", 0, ""},
        {R"({"other":{"id":3,"type":"Shot"}})", 0, ""},
        {R"({"entity":{"id":3,"type":"Shot"})", 0, ""}, // not closed: not JSON
        {R"({'entity':{}})", 0, ""},
        {"12", 0, ""},
        {R"(["entity"])", 0, ""},
        {"", 0, ""},
    };
    for (const Case& c : cases) {
        OneLayerTree tree("24");
        tree.add(sourceOver(mediaInput(0.0, 10.0, "24", Source::kSourceTypeMovie,
                                       File::kFileTypeMovie, "/a.mp4", c.uid),
                            5.0));
        Exported out(tree);
        EXPECT_EQ(out.clip("/metadata/zem/entity/id").GetInt(), c.id) << c.uid;
        EXPECT_EQ(out.string(out.clip("/metadata/zem/entity/type")), c.type) << c.uid;
    }
}

TEST(SourceExport, DeeplyNestedSourceUidIsReadWithoutExhaustingTheStack) {
    // A UID comes from whatever tree the host or edit-tree JSON supplied; its
    // nesting must not be able to overflow the call stack.
    const std::size_t depth = 1u << 20;
    const std::string uid = R"({"entity":{"id":8,"type":"Shot"},"deep":)" +
                            std::string(depth, '[') + std::string(depth, ']') + "}";
    OneLayerTree tree("24");
    tree.add(sourceOver(mediaInput(0.0, 10.0, "24", Source::kSourceTypeMovie, File::kFileTypeMovie,
                                   "/a.mp4", uid.c_str()),
                        5.0));
    Exported out(tree);
    EXPECT_EQ(out.clip("/metadata/zem/entity/id").GetInt(), 8);
    EXPECT_EQ(out.string(out.clip("/metadata/zem/entity/type")), "Shot");
}

/// An input kind of a host's own: not a media input, with its source
/// information found through the virtual accessor.
class HostInput : public DmSourceNode::Input {
public:
    HostInput(double availIn, double availLength, DmSourceInfo* info, const char* fcm)
        : Input(availIn, availLength, info, fcm, eDmMediaVideo, true) {}
    CoSharedPtr<DmPropertySet> clone() const override {
        return CoSharedPtr<DmPropertySet>(new HostInput(*this));
    }
};

TEST(SourceExport, InputOfAnotherKindKeepsTheExtraDataDefaults) {
    OneLayerTree tree("24");
    DmSourceInfo* info = DmSourceInfo::create();
    info->addSequence("/host/a.mov");
    info->setSourceType(Source::kSourceTypeFile);
    info->setFileType(File::kFileTypeMovie);
    tree.add(sourceOver(new HostInput(5.0, 20.0, info, "30"), 10.0));

    Exported out(tree);
    EXPECT_EQ(out.string(out.media("/video_codec")), "Unknown");
    EXPECT_EQ(out.media("/file_size_in_bytes").GetInt(), -1);
    EXPECT_EQ(out.media("/extra_data").MemberCount(), 0u);
    EXPECT_EQ(out.string(out.clip("/metadata/zem/paths/movie")), "/host/a.mov");
    EXPECT_EQ(out.string(out.clip("/media_reference/target_url")), "/host/a.mov");
    EXPECT_EQ(out.clip("/source_range/duration/value").GetDouble(), 12.5);
    EXPECT_EQ(out.clip("/source_range/duration/rate").GetDouble(), 30.0);
}

TEST(SourceExport, NonFiniteMediaValueFailsTheExport) {
    OneLayerTree tree("24");
    DmSourceNode* source = plainSource();
    dynamic_cast<DmSourceNode::MediaInput*>(source->getInput())
        ->addExtraData(DmSourceNode::DictionaryEntry::create("ZEM_FRAME_RATE", "nan"));
    tree.add(source);
    DmString out;
    EXPECT_EQ(exportOtioJson(tree.root, out).getCode(), Status::JsonConversionFailed);
    EXPECT_TRUE(out.empty());
}

} // namespace
} // namespace ZEM_0_81::test
