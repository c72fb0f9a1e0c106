// The import reads its DOM once, front to back, and hands back what the walk has
// left while the edit tree grows: what it builds must be what a walk over a DOM
// kept whole builds.

#include "composition/OtioImport.h"
#include "outside/dmtree/DmRoot.h"
#include "outside/dmtree/DmTreeJsonBuilder.h"
#include "rapidotio/RootNode.h"
#include "json/DmTreeImporter.h"

#include "tests/rapidotio/OtioTestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace ZEM_0_81::rapidotio {
namespace {

/// A timeline of `clips` clips on two tracks, each clip with a Comp, and every
/// third one with an annotation of a 40-point stroke: several megabytes. With
/// `childrenFirst`, each track and clip lists its children before its other
/// members, so that what a node reads of itself lies after its children's text.
std::string longTimeline(int clips, bool childrenFirst) {
    // An object of `members` and a `children` member, in the order asked for.
    auto object = [childrenFirst](const std::string& members, const std::string& children) {
        return "{" + (childrenFirst ? children + "," + members : members + "," + children) + "}";
    };
    std::string tracks;
    for (int track = 0; track < 2; ++track) {
        std::string clipTexts;
        for (int c = 0; c < clips / 2; ++c) {
            const std::string n = std::to_string(track * clips + c);
            std::string effects = R"("effects":[{"OTIO_SCHEMA":"Comp.1","blend_mode":"multiply_)" +
                                  n + R"(","opacity":0.5})";
            if (c % 3 == 0) {
                effects += R"(,{"OTIO_SCHEMA":"Annotation.1","layers":[{"OTIO_SCHEMA":"Paint.1",)"
                           R"("points":[)";
                for (int p = 0; p < 40; ++p)
                    effects += std::string(p ? "," : "") + R"({"OTIO_SCHEMA":"Point.1","x":)" +
                               std::to_string(p) + R"(.5,"y":)" + n + R"(.25,"width":2.0})";
                effects += R"(],"rgba":[1,0,0,1]}]})";
            }
            effects += "]";
            const std::string members =
                R"("OTIO_SCHEMA":"Clip.1","name":"clip )" + n +
                R"(","source_range":{"OTIO_SCHEMA":"TimeRange.1","start_time":)"
                R"({"OTIO_SCHEMA":"RationalTime.1","rate":24.0,"value":)" +
                n +
                R"(.0},"duration":{"OTIO_SCHEMA":"RationalTime.1","rate":24.0,)"
                R"("value":12.0}},"media_reference":{"OTIO_SCHEMA":)"
                R"("ExternalReference.1","target_url":"/media/shot_)" +
                n +
                R"(_with_a_long_enough_path.mov","metadata":{"zem":{)"
                R"("extra_data":{"camera_of_clip_)" +
                n + R"(":"an A camera with a long name"}}}})";
            clipTexts += std::string(c ? "," : "") + object(members, effects);
        }
        tracks += std::string(track ? "," : "") +
                  object(R"("OTIO_SCHEMA":"Track.1","name":"V)" + std::to_string(track + 1) +
                             R"(","kind":"Video")",
                         R"("children":[)" + clipTexts + "]");
    }
    return R"({"OTIO_SCHEMA":"Timeline.1","name":"long","global_start_time":)"
           R"({"OTIO_SCHEMA":"RationalTime.1","rate":24.0,"value":0.0},)"
           R"("tracks":{"OTIO_SCHEMA":"Stack.1","children":[)" +
           tracks + "]}}";
}

std::string editTreeText(const CoSharedPtr<DmRoot>& tree) {
    DmString out;
    EXPECT_TRUE(DmTreeJsonBuilder::generateStr(tree.get(), out).ok());
    return out.str();
}

TEST(OtioImport, HandingTheDomBackWhileWalkingBuildsWhatAWholeDomBuilds) {
    for (const bool childrenFirst : {false, true}) {
        SCOPED_TRACE(childrenFirst ? "children before the other members" : "children last");
        const std::string text = longTimeline(6000, childrenFirst);
        ASSERT_GT(text.size(), std::size_t(6) << 20) << "long enough to hand pages back";

        // The import driver: its DOM is handed back as the walk leaves each node.
        CoSharedPtr<DmRoot> streamed(DmRoot::create());
        ASSERT_TRUE(importOtioJson(text.c_str(), streamed));

        // The same walk over a DOM kept whole.
        auto document = test::parse(text);
        CoSharedPtr<DmRoot> kept(DmRoot::create());
        {
            SharedPtr<Node> root(new RootNode(*document, nullptr));
            Json::DmTreeImporter importer(kept);
            root->traverse(importer);
        }
        const std::string expected = editTreeText(kept);
        EXPECT_EQ(expected, editTreeText(streamed));
        EXPECT_NE(std::string::npos, expected.find("clip 8999"));
        EXPECT_NE(std::string::npos, expected.find("multiply_8999"));
    }
}

} // namespace
} // namespace ZEM_0_81::rapidotio
