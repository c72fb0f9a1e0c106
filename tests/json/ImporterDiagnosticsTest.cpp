#include "tests/json/ImportTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ZEM_0_81::test {
namespace {

/// Everything printed to standard error while `text` is imported.
std::string diagnosticsOf(const std::string& text) {
    testing::internal::CaptureStderr();
    importDocument(text);
    return testing::internal::GetCapturedStderr();
}

/// Checks that `messages` appear in `printed` whole and in this order, with any
/// other output between them.
void expectInOrder(const std::string& printed, const std::vector<std::string>& messages) {
    std::string::size_type from = 0;
    for (const std::string& message : messages) {
        const std::string::size_type at = printed.find(message, from);
        ASSERT_NE(std::string::npos, at) << "missing or out of order: " << message << "in:\n"
                                         << printed;
        from = at + message.size();
    }
}

const char* const kNoMedia = R"("metadata":{"zem":{"paths":{"movie":"/m/a.mov"}}})";

TEST(ImporterDiagnosticsDebugOn, TimelineDefaultsAreAnnounced) {
    expectInOrder(diagnosticsOf(timeline(track(gap(1)), "")),
                  {"timeline global start time not found, using default value 0.000000\n",
                   "timeline global start time rate not found, using default value 24.000000\n"});
}

TEST(ImporterDiagnosticsDebugOn, GapDefaultsAreAnnounced) {
    expectInOrder(diagnosticsOf(timeline(track(R"({"OTIO_SCHEMA":"Gap.1"})"))),
                  {"OTIO SrcLength not found, using default 1.000000\n",
                   "Source frame rate not found, using default 24.000000\n"});
}

TEST(ImporterDiagnosticsDebugOn, ClipDefaultsAreAnnouncedInOrder) {
    const std::string bare =
        std::string(
            R"({"OTIO_SCHEMA":"Clip.1","media_reference":{"metadata":{"zem":{"has_audio":true}}},)") +
        kNoMedia + "}";
    expectInOrder(diagnosticsOf(timeline(track(bare))),
                  {"OTIO SrcIn not found, using default 2147483647.000000\n",
                   "OTIO SrcLength not found, using default 1.000000\n",
                   "OTIO Available SrcIn not found, using default 2147483647.000000\n",
                   "OTIO Available SrcLength not found, using default 1.000000\n",
                   "SrcIn frame rate not found, using default 24.000000\n",
                   "SrcLength frame rate not found, using default 24.000000\n",
                   "Available SrcIn frame rate not found, using default 24.000000\n",
                   "Available SrcLength frame rate not found, using default 24.000000\n",
                   "Can't convert pixel aspect ratio to frame ratio, using default.\n",
                   "OTIO has_audio(1) and num_audio_channels(-1) don't match, using "
                   "num_audio_channels.\n"});
}

TEST(ImporterDiagnosticsDebugOn, CompleteClipNeedsNoDefaults) {
    const std::string complete =
        clip("a", 0, 10,
             R"(,"media_reference":{"available_range":)" + timeRange(0, 10, 24) +
                 R"(,"metadata":{"zem":{"pixel_resolution":[16,9],"pixel_aspect":1.0,)"
                 R"("has_audio":true,"num_audio_channels":2}}})");
    const std::string printed = diagnosticsOf(timeline(track(complete)));
    EXPECT_NE(std::string::npos, printed.find("Found Clip Clip.1\n")); // the reader's own
    EXPECT_EQ(std::string::npos, printed.find("using default")) << printed;
    EXPECT_EQ(std::string::npos, printed.find("don't match")) << printed;
}

TEST(ImporterDiagnostics, NothingIsPrintedWithoutTheSwitch) {
    const std::string bare = std::string(R"({"OTIO_SCHEMA":"Clip.1",)") + kNoMedia + "}";
    EXPECT_EQ("", diagnosticsOf(timeline(track(bare + "," + R"({"OTIO_SCHEMA":"Gap.1"})"), "")));
}

} // namespace
} // namespace ZEM_0_81::test
