#include "tests/json/ImportTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace ZEM_0_81::test {
namespace {

/// A clip named "c" with the given members after its name.
std::string clipWith(const std::string& members) {
    return R"({"OTIO_SCHEMA":"Clip.1","name":"c",)" + members + "}";
}

/// A "media_reference" member with an available range, a target URL and the
/// given members of its "metadata" → "zem".
std::string mediaReference(const std::string& available, const std::string& targetUrl,
                           const std::string& zem = R"("pixel_resolution":[1920,1080])") {
    std::string text = R"("media_reference":{"OTIO_SCHEMA":"ExternalReference.1",)";
    if (!available.empty())
        text += R"("available_range":)" + available + ",";
    return text + R"("target_url":")" + targetUrl + R"(","metadata":{"zem":{)" + zem + "}}}";
}

/// The clip's "metadata" → "zem" member with paths and an identity.
std::string clipMetadata(const std::string& paths) {
    return R"("metadata":{"zem":{"id":"uid-7","entity":{"id":42,"type":"Version"},"paths":{)" +
           paths + "}}}";
}

/// The source made of a lone clip (the first segment of the only layer).
DmSourceNode* importLoneClip(CoSharedPtr<DmRoot>& root, const std::string& clipText) {
    root = importDocument(timeline(track(clipText)));
    return childAs<DmSourceNode>(layerOf(root, 0, 0), 0);
}

std::vector<std::string> sequencesOf(const DmSourceNode& source) {
    std::vector<std::string> sequences;
    for (std::uint32_t i = 0; i < source.getNbMultiInputs(); ++i)
        sequences.push_back(text(source.getMultiInput(i)->getSrcInfo()->getSequence(0)));
    return sequences;
}

TEST(ClipImport, SourceInCountsFromTheStartOfTheAvailableRange) {
    CoSharedPtr<DmRoot> root;
    const std::string paths = clipMetadata(R"("movie":"/m/a.mov")");
    const DmSourceNode* source =
        importLoneClip(root, clipWith(R"("source_range":)" + timeRange(10, 48, 24) + "," +
                                      mediaReference(timeRange(0, 100, 24), "") + "," + paths));
    ASSERT_NE(nullptr, source);
    EXPECT_EQ(0.0, source->getRecIn());
    EXPECT_EQ(48.0, source->getRecLength());
    EXPECT_EQ(10.0, source->getRelIn());
    EXPECT_EQ(0.0, source->getSrcIn());
    EXPECT_EQ(100.0, source->getSrcLength());
    EXPECT_EQ("uid-7", text(source->getSegmentId()));
    EXPECT_EQ("c", text(source->getName()));
    EXPECT_TRUE(source->getFlag1());
    EXPECT_FALSE(source->getFlag2());

    source =
        importLoneClip(root, clipWith(R"("source_range":)" + timeRange(10, 48, 24) + "," +
                                      mediaReference(timeRange(5, 100, 24), "") + "," + paths));
    EXPECT_EQ(5.0, source->getRelIn());
    EXPECT_EQ(5.0, source->getSrcIn());
}

/// A "TimeRange.1" whose start and duration have rates of their own.
std::string rangeAt(double start, double startRate, double duration, double durationRate) {
    return R"({"OTIO_SCHEMA":"TimeRange.1","start_time":)" + rationalTime(start, startRate) +
           R"(,"duration":)" + rationalTime(duration, durationRate) + "}";
}

TEST(ClipImport, UnknownStartsStayUnconverted) {
    CoSharedPtr<DmRoot> root;
    const std::string movie = clipMetadata(R"("movie":"/m/a.mov")");
    // Without an available range: 10 frames at 49 fps would be 5 at the 24 fps source.
    const DmSourceNode* source = importLoneClip(
        root, clipWith(R"("source_range":)" + rangeAt(10, 49, 48, 24) + "," + movie));
    ASSERT_NE(nullptr, source);
    EXPECT_EQ(10.0, source->getRelIn());
    EXPECT_EQ(2147483647.0, source->getSrcIn());
    EXPECT_EQ(1.0, source->getSrcLength());
    EXPECT_EQ("24", text(source->getInput()->getFcm()));
    EXPECT_EQ(48.0, source->getRecLength());

    // The default available length is one frame at 24 fps, counted at the source rate.
    source = importLoneClip(root,
                            clipWith(R"("source_range":)" + rangeAt(10, 60, 48, 60) + "," + movie));
    EXPECT_EQ("60", text(source->getInput()->getFcm()));
    EXPECT_EQ(3.0, source->getSrcLength());  // 2.5 frames
    EXPECT_EQ(19.0, source->getRecLength()); // 48 frames at 60 fps on a 24 fps record

    // Without a source start: the default start itself, whatever the available range.
    source =
        importLoneClip(root, clipWith(R"("source_range":{"OTIO_SCHEMA":"TimeRange.1","duration":)" +
                                      rationalTime(48, 24) + "}," +
                                      mediaReference(timeRange(5, 100, 24), "") + "," + movie));
    EXPECT_EQ(2147483647.0, source->getRelIn());
    EXPECT_EQ(5.0, source->getSrcIn());
}

TEST(ClipImport, SourceRateIsTheSnappedStartRate) {
    CoSharedPtr<DmRoot> root;
    const std::string range = R"({"OTIO_SCHEMA":"TimeRange.1","start_time":)" +
                              rationalTime(1000, 23.976) + R"(,"duration":)" +
                              rationalTime(48, 24) + "}";
    const DmSourceNode* source =
        importLoneClip(root, clipWith(R"("source_range":)" + range + "," +
                                      mediaReference(timeRange(0, 2000, 23.976), "") + "," +
                                      clipMetadata(R"("movie":"/m/a.mov")")));
    ASSERT_NE(nullptr, source);
    EXPECT_EQ("23.976", text(source->getInput()->getFcm()));
    EXPECT_EQ(1000.0, source->getRelIn());
    EXPECT_EQ(2000.0, source->getSrcLength());
}

TEST(ClipImport, InputsFollowThePathsWithTheTargetUrlFirst) {
    CoSharedPtr<DmRoot> root;
    const DmSourceNode* source = importLoneClip(
        root, clipWith(R"("source_range":)" + timeRange(0, 10, 24) + "," +
                       mediaReference(timeRange(0, 10, 24), "/f/seq.####.exr") + "," +
                       clipMetadata(R"("mp4":"/p/a.mp4","file":"/f/seq.####.exr",)"
                                    R"("movie":"/m/a.mov")")));
    ASSERT_NE(nullptr, source);
    EXPECT_EQ((std::vector<std::string>{"/f/seq.####.exr", "/p/a.mp4", "/m/a.mov"}),
              sequencesOf(*source));

    const DmSourceInfo* file = source->getMultiInput(0)->getSrcInfo();
    EXPECT_EQ(DmSourceInfo::kSourceTypeFile, file->getSourceType());
    EXPECT_EQ(DmSourceInfo::kFileTypeFile, file->getFileType());
    EXPECT_EQ("/f", text(file->getPath()));
    EXPECT_EQ(R"({"entity":{"id":42,"type":"Version"}})", text(file->getOriginalSourceUID()));
    const DmSourceInfo* mp4 = source->getMultiInput(1)->getSrcInfo();
    EXPECT_EQ(DmSourceInfo::kSourceTypeMovie, mp4->getSourceType());
    EXPECT_EQ(DmSourceInfo::kFileTypeMovie, mp4->getFileType());
    EXPECT_EQ("", text(mp4->getPath()));
    EXPECT_EQ(text(file->getOriginalSourceUID()), text(mp4->getOriginalSourceUID()));
    const DmSourceInfo* movie = source->getMultiInput(2)->getSrcInfo();
    EXPECT_EQ(DmSourceInfo::kSourceTypeFile, movie->getSourceType());
    EXPECT_EQ(DmSourceInfo::kFileTypeMovie, movie->getFileType());
    EXPECT_EQ("/m", text(movie->getPath()));

    // Only the primary input gets the pixel size; all share the media type.
    std::int32_t width = 0;
    EXPECT_EQ(eDmSuccess, source->getMultiInput(0)->getPrimaryRes()->getWidth(width));
    EXPECT_EQ(1920, width);
    EXPECT_NE(eDmSuccess, source->getMultiInput(1)->getPrimaryRes()->getWidth(width));
    EXPECT_EQ(eDmMediaVideo, source->getMultiInput(2)->getMediaType());
}

TEST(ClipImport, TargetUrlAloneMakesTheOnlyInput) {
    CoSharedPtr<DmRoot> root;
    const DmSourceNode* source =
        importLoneClip(root, clipWith(R"("source_range":)" + timeRange(0, 10, 24) + "," +
                                      mediaReference(timeRange(0, 10, 24), "https://host/a.mov")));
    ASSERT_NE(nullptr, source);
    ASSERT_EQ(1u, source->getNbMultiInputs());
    const DmSourceInfo* info = source->getSrcInfo();
    EXPECT_EQ("https://host/a.mov", text(info->getSequence(0)));
    EXPECT_EQ(DmSourceInfo::kSourceTypeNone, info->getSourceType());
    EXPECT_EQ(DmSourceInfo::kFileTypeNone, info->getFileType());
    EXPECT_EQ(R"({"entity":{"id":0,"type":""}})", text(info->getOriginalSourceUID()));
}

TEST(ClipImport, FolderOfAPath) {
    const auto folderOfMovie = [](const std::string& path) {
        CoSharedPtr<DmRoot> root;
        const DmSourceNode* source =
            importLoneClip(root, clipWith(R"("source_range":)" + timeRange(0, 1, 24) + "," +
                                          clipMetadata(R"("movie":")" + path + R"(")")));
        return text(source->getSrcInfo()->getPath());
    };
    EXPECT_EQ("/show/sq", folderOfMovie("/show/sq/a.mov"));
    EXPECT_EQ("C:\\media", folderOfMovie(R"(C:\\media\\a.mov)"));
    EXPECT_EQ("", folderOfMovie("/a.mov"));
    EXPECT_EQ("", folderOfMovie("a.mov"));
    EXPECT_EQ("rel", folderOfMovie("rel/a.mov"));
}

/// The primary input of a lone clip on a "/m/a.mov" movie with the given media
/// metadata ("metadata" → "zem" members of its media reference).
DmSourceNode::Input* primaryWith(CoSharedPtr<DmRoot>& root, const std::string& zem) {
    DmSourceNode* source =
        importLoneClip(root, clipWith(R"("source_range":)" + timeRange(0, 10, 24) + "," +
                                      mediaReference(timeRange(0, 10, 24), "", zem) + "," +
                                      clipMetadata(R"("movie":"/m/a.mov")")));
    return source ? source->getInput() : nullptr;
}

TEST(ClipImport, PrimaryResolutionTakesBoundsPixelsDepthAndFrameRatio) {
    CoSharedPtr<DmRoot> root;
    const DmSourceNode::Input* input =
        primaryWith(root, R"("bounds":{"center":[0.5,-0.5],"size":[2.0,1.0]},)"
                          R"("pixel_resolution":[1920,1080],"pixel_aspect":1.0,)"
                          R"("data_type":"half","num_video_channels":4)");
    ASSERT_NE(nullptr, input);
    const DmFrameResolution* res = input->getPrimaryRes();
    double centerX = 0, centerY = 0, sizeX = 0, sizeY = 0;
    res->getCenterX(centerX);
    res->getCenterY(centerY);
    res->getSizeX(sizeX);
    res->getSizeY(sizeY);
    EXPECT_EQ(0.5, centerX);
    EXPECT_EQ(-0.5, centerY);
    EXPECT_EQ(2.0, sizeX);
    EXPECT_EQ(1.0, sizeY);
    std::int32_t bits = 0, channels = 0;
    bool isFloat = false, flag = true;
    ASSERT_EQ(eDmSuccess, res->getDepth(bits, channels, isFloat, flag));
    EXPECT_EQ(16, bits);
    EXPECT_EQ(4, channels);
    EXPECT_TRUE(isFloat);
    EXPECT_FALSE(flag);
    float ratio = 0;
    ASSERT_EQ(eDmSuccess, res->getFrameRatio(ratio));
    EXPECT_EQ(1920.0f / 1080.0f, ratio);
}

TEST(ClipImport, FrameRatioFallsBackToZeroWhenItCannotBeComputed) {
    const char* cases[] = {
        R"("pixel_resolution":[1920,1080],"pixel_aspect":0.0)",
        R"("pixel_aspect":1.0)", // no resolution: -1 x -1
        R"("pixel_resolution":[1920,0],"pixel_aspect":2.0)",
        R"("pixel_resolution":[1920,1],"pixel_aspect":1e300)",
    };
    for (const char* zem : cases) {
        CoSharedPtr<DmRoot> root;
        const DmSourceNode::Input* input = primaryWith(root, zem);
        ASSERT_NE(nullptr, input);
        float ratio = -1;
        ASSERT_EQ(eDmSuccess, input->getPrimaryRes()->getFrameRatio(ratio)) << zem;
        EXPECT_EQ(0.0f, ratio) << zem;
    }
}

TEST(ClipImport, DepthOnlyForKnownDataTypes) {
    const struct {
        const char* dataType;
        std::int32_t bits;
        bool isFloat;
    } known[] = {
        {"bit", 1, false},           {"unsigned char", 8, false}, {"unsigned short", 16, false},
        {"unsigned int", 32, false}, {"float", 32, true},         {"double", 64, true}};
    for (const auto& type : known) {
        CoSharedPtr<DmRoot> root;
        const auto* input =
            primaryWith(root, R"("data_type":")" + std::string(type.dataType) + "\"");
        std::int32_t bits = 0, channels = 0;
        bool isFloat = !type.isFloat, flag = false;
        ASSERT_EQ(eDmSuccess, input->getPrimaryRes()->getDepth(bits, channels, isFloat, flag));
        EXPECT_EQ(type.bits, bits) << type.dataType;
        EXPECT_EQ(type.isFloat, isFloat) << type.dataType;
        EXPECT_EQ(-1, channels) << type.dataType;
    }
    for (const char* other : {"Float", "", "int"}) {
        CoSharedPtr<DmRoot> root;
        const auto* input = primaryWith(root, R"("data_type":")" + std::string(other) + "\"");
        std::int32_t bits = 0, channels = 0;
        bool isFloat = false, flag = false;
        EXPECT_NE(eDmSuccess, input->getPrimaryRes()->getDepth(bits, channels, isFloat, flag));
    }
}

TEST(ClipImport, AudioPropertiesFollowTheChannelCount) {
    CoSharedPtr<DmRoot> root;
    const auto* input =
        primaryWith(root, R"("has_audio":true,"num_audio_channels":0,"audio_sample_rate":48000.0)");
    const CoSharedPtr<DmAudioProperties> audio = input->getAudioProperties();
    ASSERT_TRUE(audio);
    EXPECT_EQ(0, audio->getNbChannels());
    EXPECT_EQ(48000.0, audio->getSamplingRate());
}

TEST(ClipImport, ExtraDataHoldsCodecsSizeRateThenTheClipsOwn) {
    CoSharedPtr<DmRoot> root;
    const auto* input = dynamic_cast<const DmSourceNode::MediaInput*>(
        primaryWith(root, R"("video_codec":"prores","file_size_in_bytes":-5,"frame_rate":25.0,)"
                          R"("extra_data":{"zeta":"1","alpha":"two"})"));
    ASSERT_NE(nullptr, input);
    std::vector<std::string> entries;
    for (std::uint32_t i = 0; i < input->getNbExtraData(); ++i)
        entries.push_back(text(input->getExtraData(i)->getKey()) + "=" +
                          text(input->getExtraData(i)->getValue()));
    EXPECT_EQ((std::vector<std::string>{"ZEM_VIDEO_CODEC=prores", "ZEM_AUDIO_CODEC=Unknown",
                                        "ZEM_FILE_SIZE_IN_BYTES=-5", "ZEM_FRAME_RATE=25.000000",
                                        "zeta=1", "alpha=two"}),
              entries);
}

TEST(ClipImport, FrameRateEntryIsWrittenAsPrintfWritesSixDecimals) {
    // Ties at the seventh decimal go to even; long and tiny rates keep every digit.
    for (const char* rate : {"23.976", "24.0078125", "24.0234375", "0.0000025", "1e300",
                             "29.97002997002997", "123456789.1234567"}) {
        CoSharedPtr<DmRoot> root;
        const auto* input = dynamic_cast<const DmSourceNode::MediaInput*>(
            primaryWith(root, std::string(R"("frame_rate":)") + rate));
        ASSERT_NE(nullptr, input) << rate;
        char expected[400];
        std::snprintf(expected, sizeof expected, "%f", std::strtod(rate, nullptr));
        ASSERT_GE(input->getNbExtraData(), 4u) << rate;
        EXPECT_EQ("ZEM_FRAME_RATE", text(input->getExtraData(3)->getKey())) << rate;
        EXPECT_EQ(expected, text(input->getExtraData(3)->getValue())) << rate;
    }
}

} // namespace
} // namespace ZEM_0_81::test
