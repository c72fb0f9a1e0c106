// A document as Premiere Pro writes one: its own attributes on the sequence,
// tracks and clips, exploded stereo tracks, links, master clip ids, logging
// and labels; read as the cut it holds, and written back as it came.

#include "interchange/TimelineView.h"
#include "tests/interchange/xmeml/XmemlTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ZEM_0_81::test::xmeml {
namespace {

using Lines = std::vector<std::string>;

const char* const kNtsc24 = "<rate><timebase>24</timebase><ntsc>TRUE</ntsc></rate>";

std::string link(const char* clip, const char* mediaType, int track) {
    return std::string("<link><linkclipref>") + clip + "</linkclipref><mediatype>" + mediaType +
           "</mediatype><trackindex>" + std::to_string(track) +
           "</trackindex><clipindex>1</clipindex></link>";
}

/// A sequence at 23.976 from 00:59:50:00 (frame 86160 at timebase 24) of one
/// clip of A001C003.mov, whose media starts at 14:22:10:05 (frame 1241045 =
/// 14 x 86400 + 22 x 1440 + 10 x 24 + 5), playing 240..360 of it, on V1 and
/// on both channels of an exploded stereo track, and a second clip on V1.
std::string premiereDocument() {
    const std::string file =
        std::string("<file id=\"file-1\"><name>A001C003.mov</name>"
                    "<pathurl>file://localhost/Volumes/RAID/Day%2001/A001C003.mov</pathurl>") +
        kNtsc24 + "<duration>2400</duration><timecode>" + kNtsc24 +
        "<string>14:22:10:05</string><frame>1241045</frame><displayformat>NDF</displayformat>"
        "<reel><name>A001</name></reel></timecode><media><video><samplecharacteristics>" +
        kNtsc24 +
        "<width>3840</width><height>2160</height><anamorphic>FALSE</anamorphic>"
        "<pixelaspectratio>square</pixelaspectratio></samplecharacteristics></video><audio>"
        "<samplecharacteristics><depth>16</depth><samplerate>48000</samplerate>"
        "</samplecharacteristics><channelcount>2</channelcount></audio></media></file>";
    const auto clip = [&](const char* id, const char* attributes, const std::string& fileElement,
                          const std::string& more) {
        return std::string("<clipitem id=\"") + id + "\"" + attributes +
               "><masterclipid>masterclip-1</masterclipid><name>A001C003.mov</name>"
               "<enabled>TRUE</enabled><duration>2400</duration>" +
               kNtsc24 +
               "<start>0</start><end>120</end><in>240</in><out>360</out>"
               "<pproTicksIn>2543102208000</pproTicksIn><pproTicksOut>3814653312000</"
               "pproTicksOut>" +
               fileElement + more + link("clipitem-1", "video", 1) +
               link("clipitem-3", "audio", 1) + link("clipitem-4", "audio", 2) +
               "<logginginfo><description/><scene/><shottake/><lognote/></logginginfo>"
               "<labels><label2>Iris</label2></labels></clipitem>";
    };
    const std::string levels =
        "<filter><effect><name>Audio Levels</name><effectid>audiolevels</effectid>"
        "<effectcategory>audiolevels</effectcategory><effecttype>audiolevels</effecttype>"
        "<mediatype>audio</mediatype><parameter authoringApp=\"PremierePro\">"
        "<parameterid>level</parameterid><name>Level</name><valuemin>0</valuemin>"
        "<valuemax>3.98109</valuemax><value>1</value></parameter></effect></filter>";
    const auto audioTrack = [&](const char* id, int index) {
        return std::string("<track TL.SQTrackAudioKeyframeStyle=\"0\" TL.SQTrackShy=\"0\" "
                           "PannerCurrentValue=\"0.5\" PannerName=\"Balance\" "
                           "currentExplodedTrackIndex=\"") +
               std::to_string(index) +
               "\" totalExplodedTrackCount=\"2\" premiereTrackType=\"Stereo\">" +
               clip(id, " premiereChannelType=\"stereo\"", "<file id=\"file-1\"/>",
                    "<sourcetrack><mediatype>audio</mediatype><trackindex>" +
                        std::to_string(index + 1) + "</trackindex></sourcetrack>" + levels) +
               "<enabled>TRUE</enabled><locked>FALSE</locked><outputchannelindex>" +
               std::to_string(index + 1) + "</outputchannelindex></track>";
    };
    return std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE xmeml>\n"
                       "<xmeml version=\"4\">\n<sequence id=\"sequence-2\" "
                       "TL.SQAudioVisibleBase=\"0\" TL.SQVideoVisibleBase=\"0\" "
                       "MZ.Sequence.PreviewFrameSizeHeight=\"1080\" "
                       "MZ.Sequence.PreviewFrameSizeWidth=\"1920\" MZ.EditLine=\"0\" "
                       "explodedTracks=\"true\">\n"
                       "<uuid>5f2ad04e-0a3e-4cde-9c43-6f1f2b7e8a10</uuid>\n"
                       "<duration>240</duration>\n") +
           kNtsc24 +
           "\n<name>Assembly v3</name>\n<media>\n<video>\n<format>"
           "<samplecharacteristics>" +
           kNtsc24 +
           "<width>1920</width><height>1080</height><anamorphic>FALSE</anamorphic>"
           "<pixelaspectratio>square</pixelaspectratio><fielddominance>none</fielddominance>"
           "<colordepth>24</colordepth></samplecharacteristics></format>\n"
           "<track TL.SQTrackShy=\"0\" TL.SQTrackExpandedHeight=\"25\" MZ.TrackTargeted=\"1\">" +
           clip("clipitem-1", "", file,
                "<filter><effect><name>Gaussian Blur</name><effectid>AE.ADBE Gaussian "
                "Blur 2</effectid><effectcategory>Blur &amp; Sharpen</effectcategory>"
                "<effecttype>filter</effecttype><mediatype>video</mediatype></effect>"
                "</filter>") +
           "<clipitem id=\"clipitem-2\"><name>B002C001.mov</name><enabled>TRUE</enabled>" +
           kNtsc24 +
           "<start>120</start><end>240</end><in>0</in><out>120</out><file id=\"file-2\">"
           "<name>B002C001.mov</name><pathurl>file://localhost/Volumes/RAID/B002C001.mov"
           "</pathurl>" +
           kNtsc24 + "<duration>600</duration><timecode>" + kNtsc24 +
           "<frame>0</frame><displayformat>NDF</displayformat></timecode></file></clipitem>"
           "<enabled>TRUE</enabled><locked>FALSE</locked></track>\n</video>\n<audio>\n"
           "<numOutputChannels>2</numOutputChannels><format><samplecharacteristics><depth>16"
           "</depth><samplerate>48000</samplerate></samplecharacteristics></format><outputs>"
           "<group><index>1</index><numchannels>1</numchannels><downmix>0</downmix><channel>"
           "<index>1</index></channel></group></outputs>\n" +
           audioTrack("clipitem-3", 0) + "\n" + audioTrack("clipitem-4", 1) +
           "\n</audio>\n</media>\n<timecode>" + kNtsc24 +
           "<string>00:59:50:00</string><frame>86160</frame><displayformat>NDF</displayformat>"
           "</timecode>\n<labels><label2>Forest</label2></labels>\n"
           "<logginginfo><description/><scene/><shottake/><lognote/><good/></logginginfo>\n"
           "</sequence>\n</xmeml>\n";
}

TEST(XmemlPremiere, ReadsAsTheCutItHolds) {
    const XmemlRead read = readXmeml(premiereDocument());
    ASSERT_TRUE(read.composition) << read.message;
    TimelineView view;
    ASSERT_TRUE(TimelineView::build(*read.composition, view));
    EXPECT_EQ(view.name, "Assembly v3");
    EXPECT_EQ(view.rate.getNumerator(), 24000);
    EXPECT_EQ(view.rate.getDenominator(), 1001u);
    EXPECT_EQ(view.start, 86160);
    EXPECT_EQ(view.duration, 240);
    // 1241045 + 240 = 1241285.
    const std::string a001 = " clip A001C003.mov src 1241285@24000/1001 "
                             "/Volumes/RAID/Day 01/A001C003.mov";
    EXPECT_EQ(itemsOf(*read.composition),
              (Lines{"V1 86160+120" + a001,
                     "V1 86280+120 clip B002C001.mov src 0@24000/1001 /Volumes/RAID/B002C001.mov",
                     "A1 86160+120" + a001, "A2 86160+120" + a001}));
    // Only the blur does not play as the document says.
    EXPECT_EQ(read.losses,
              Lines{"/xmeml/sequence/media/video/track/clipitem[1]/filter | filter | filter "
                    "\"Gaussian Blur\" not applied: the edit tree has no such effect (kept, and "
                    "written back as it came)"});
    // The picture size of its format and of the clip's media.
    Bounds bounds;
    ASSERT_TRUE(read.composition->getOutputBounds(Time(86160, Rational(1, 1)), bounds));
    EXPECT_EQ(bounds.getSizeX(), 3840.0);
    EXPECT_EQ(bounds.getSizeY(), 2160.0);
}

TEST(XmemlPremiere, WrittenBackAsItCame) {
    const XmemlRead read = readXmeml(premiereDocument());
    ASSERT_TRUE(read.composition) << read.message;
    std::vector<std::string> losses;
    const std::string written = writeXmeml(*read.composition, &losses);
    EXPECT_TRUE(losses.empty()) << losses.front();
    const std::string compact = withoutLayout(written);
    // The attributes of each element, in their order, and the children the
    // edit tree has no place for.
    for (const char* kept : {
             "<sequence id=\"sequence-2\" TL.SQAudioVisibleBase=\"0\" TL.SQVideoVisibleBase=\"0\" "
             "MZ.Sequence.PreviewFrameSizeHeight=\"1080\" MZ.Sequence.PreviewFrameSizeWidth="
             "\"1920\" MZ.EditLine=\"0\" explodedTracks=\"true\">",
             "<uuid>5f2ad04e-0a3e-4cde-9c43-6f1f2b7e8a10</uuid>",
             "<labels><label2>Forest</label2></labels>",
             "<track TL.SQTrackShy=\"0\" TL.SQTrackExpandedHeight=\"25\" MZ.TrackTargeted=\"1\">",
             "<enabled>TRUE</enabled><locked>FALSE</locked></track>",
             "currentExplodedTrackIndex=\"1\" totalExplodedTrackCount=\"2\" "
             "premiereTrackType=\"Stereo\">",
             "<clipitem id=\"clipitem-3\" premiereChannelType=\"stereo\">",
             "<masterclipid>masterclip-1</masterclipid>",
             "<pproTicksIn>2543102208000</pproTicksIn>",
             "<link><linkclipref>clipitem-4</linkclipref><mediatype>audio</mediatype>",
             "<sourcetrack><mediatype>audio</mediatype><trackindex>2</trackindex></sourcetrack>",
             "<parameter authoringApp=\"PremierePro\"><parameterid>level</parameterid>",
             "<effectcategory>Blur &amp; Sharpen</effectcategory>",
             "<numOutputChannels>2</numOutputChannels>",
             "<outputchannelindex>2</outputchannelindex>",
             "<reel><name>A001</name></reel>",
             "<colordepth>24</colordepth>",
         })
        EXPECT_NE(compact.find(kept), std::string::npos) << kept;
    // Each file in full once, then by its id.
    const std::size_t full = compact.find("<file id=\"file-1\"><name>A001C003.mov</name>");
    ASSERT_NE(full, std::string::npos);
    EXPECT_EQ(compact.find("<file id=\"file-1\"><name>", full + 1), std::string::npos);
    std::size_t references = 0;
    for (std::size_t at = compact.find("<file id=\"file-1\"/>"); at != std::string::npos;
         at = compact.find("<file id=\"file-1\"/>", at + 1))
        ++references;
    EXPECT_EQ(references, 2u);
    // Read back: the same cut, the same losses, the same text written again.
    const XmemlRead again = readXmeml(written);
    ASSERT_TRUE(again.composition) << again.message;
    EXPECT_EQ(itemsOf(*again.composition), itemsOf(*read.composition));
    EXPECT_EQ(again.losses, read.losses);
    EXPECT_EQ(writeXmeml(*again.composition), written);
}

} // namespace
} // namespace ZEM_0_81::test::xmeml
