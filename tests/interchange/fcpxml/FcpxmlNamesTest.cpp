// The names FCPXML gives things a user passes in or gets out: the versions it
// is written at, and the URLs of media written for media paths.

#include "interchange/Documents.h"
#include "interchange/Fcpxml.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ZEM_0_81::test::fcpx {
namespace {

TEST(FcpxmlNames, VersionsAreOneEightToOneThirteenWrittenWhole) {
    struct Case {
        const char* text;
        bool known;
        std::int32_t minor;
    };
    const Case cases[] = {
        {"1.8", true, 8},   {"1.13", true, 13},  {"1.10", true, 10},
        {"1.7", false, 0},  {"1.14", false, 0}, // outside what is written
        {"2.8", false, 0},  {"0.8", false, 0},  // another major version
        {"1.8x", false, 0}, {"1.", false, 0},    {"18", false, 0},
        {"", false, 0},     {nullptr, false, 0},
    };
    for (const Case& c : cases) {
        std::int32_t minor = -1;
        EXPECT_EQ(Fcpxml::versionFromText(c.text, minor), c.known) << (c.text ? c.text : "null");
        if (c.known) {
            EXPECT_EQ(minor, c.minor) << c.text;
        }
    }
}

std::string clip(const std::string& name, const std::string& url) {
    return R"({"OTIO_SCHEMA": "Clip.2", "name": ")" + name +
           R"(", "source_range": {"OTIO_SCHEMA": "TimeRange.1", "start_time": )"
           R"({"OTIO_SCHEMA": "RationalTime.1", "rate": 24.0, "value": 0.0}, "duration": )"
           R"({"OTIO_SCHEMA": "RationalTime.1", "rate": 24.0, "value": 24.0}}, )"
           R"("media_references": {"DEFAULT_MEDIA": {"OTIO_SCHEMA": "ExternalReference.1", )"
           R"("target_url": ")" +
           url + R"("}}, "active_media_reference_key": "DEFAULT_MEDIA"})";
}

TEST(FcpxmlNames, MediaPathsAreWrittenAsTheUrlsTheyName) {
    // An absolute path becomes a file URL, its space percent-encoded; a text
    // naming its scheme (file: with or without "//", http://) is written as it
    // stands, escapes included; a relative path stays a relative URL.
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"/m/a b.mov", "file:///m/a%20b.mov"},          {"file:/m/c%20d.mov", "file:/m/c%20d.mov"},
        {"http://h/d.mov", "http://h/d.mov"},           {"rel/e.mov", "rel/e.mov"},
        {"file:///m/f%20g.mov", "file:///m/f%20g.mov"},
    };
    std::string clips;
    for (std::size_t i = 0; i < cases.size(); ++i)
        clips += (i ? "," : "") + clip("c" + std::to_string(i), cases[i].first);
    const std::string text =
        R"({"OTIO_SCHEMA": "Timeline.1", "name": "t", "tracks": {"OTIO_SCHEMA": "Stack.1", )"
        R"("children": [{"OTIO_SCHEMA": "Track.1", "kind": "Video", "name": "V1", "children": [)" +
        clips + "]}]}}";
    DocumentReadOptions options;
    options.dialect = Dialect::OtioStandard;
    const DocumentReading reading = Documents::read(text.c_str(), text.size(), "t", options);
    ASSERT_TRUE(reading.status) << reading.where;
    String written;
    LossReport losses;
    ASSERT_TRUE(Documents::write(*reading.composition, Dialect::Fcpxml, written, losses));
    const std::string xml = written.c_str();
    std::vector<std::string> sources;
    for (std::size_t at = xml.find("src=\""); at != std::string::npos;
         at = xml.find("src=\"", at + 1)) {
        const std::size_t end = xml.find('"', at + 5);
        sources.push_back(xml.substr(at + 5, end - at - 5));
    }
    std::vector<std::string> expected;
    for (const auto& c : cases)
        expected.push_back(c.second);
    EXPECT_EQ(sources, expected) << xml;
}

} // namespace
} // namespace ZEM_0_81::test::fcpx
