// Reads one document that uses every schema and field and checks the node tree.

#include "rapidotio/AngularMaskNode.h"
#include "rapidotio/AnnotationNode.h"
#include "rapidotio/CDLNode.h"
#include "rapidotio/ClipNode.h"
#include "rapidotio/CompNode.h"
#include "rapidotio/GapNode.h"
#include "rapidotio/PaintNode.h"
#include "rapidotio/RootNode.h"
#include "rapidotio/StackNode.h"
#include "rapidotio/TextNode.h"
#include "rapidotio/TimelineNode.h"
#include "rapidotio/TrackNode.h"

#include "tests/rapidotio/OtioTestSupport.h"
#include "tests/support/TestData.h"

#include <gtest/gtest.h>

namespace ZEM_0_81::rapidotio {
namespace {

class FullDocument : public testing::Test {
protected:
    void SetUp() override {
        doc = test::parse(ZEM_0_81::test::readTestData("rapidotio/full_timeline.json"));
        root = SharedPtr<Node>(new RootNode(*doc, nullptr));
        root->traverse(visitor);
        ASSERT_EQ(1u, root->children.size());
        timeline = dynamic_cast<TimelineNode*>(root->children[0].get());
        ASSERT_NE(nullptr, timeline);
        ASSERT_EQ(1u, timeline->children.size());
        Node* stack = timeline->children[0].get();
        ASSERT_EQ(2u, stack->children.size());
        video = dynamic_cast<TrackNode*>(stack->children[0].get());
        audio = dynamic_cast<TrackNode*>(stack->children[1].get());
        ASSERT_TRUE(video && audio);
        ASSERT_EQ(2u, video->children.size()) << "the transition is dropped";
        clip = dynamic_cast<ClipNode*>(video->children[0].get());
        gap = dynamic_cast<GapNode*>(video->children[1].get());
        tracked = dynamic_cast<ClipNode*>(audio->children.at(0).get());
        ASSERT_TRUE(clip && gap && tracked);
        ASSERT_EQ(4u, clip->children.size());
    }

    template <class T> T* effect(std::size_t i) {
        return dynamic_cast<T*>(clip->children[i].get());
    }

    std::unique_ptr<Document> doc;
    SharedPtr<Node> root;
    test::RecordingVisitor visitor;
    TimelineNode* timeline = nullptr;
    TrackNode* video = nullptr;
    TrackNode* audio = nullptr;
    ClipNode* clip = nullptr;
    GapNode* gap = nullptr;
    ClipNode* tracked = nullptr;
};

TEST_F(FullDocument, VisitsInDocumentOrder) {
    EXPECT_EQ((std::vector<std::string>{
                  "visitTimeline:Edit A",  "visitStack:stack",      "visitTrack:V1",
                  "visitClip:shot010",     "visitEffect:comp",      "leaveEffect:comp",
                  "visitEffect:mask",      "leaveEffect:mask",      "visitEffect:grade",
                  "leaveEffect:grade",     "visitEffect:notes",     "visitEffect:stroke",
                  "leaveEffect:stroke",    "visitEffect:caption",   "leaveEffect:caption",
                  "leaveEffect:notes",     "leaveClip:shot010",     "visitGap:gap",
                  "visitEffect:gap grade", "leaveEffect:gap grade", "leaveGap:gap",
                  "leaveTrack:V1",         "visitTrack:A1",         "visitClip:tracked",
                  "leaveClip:tracked",     "leaveTrack:A1",         "leaveStack:stack",
                  "leaveTimeline:Edit A"}),
              visitor.events);
}

TEST_F(FullDocument, ContainersReadTheirFields) {
    EXPECT_EQ(86400.0, timeline->global_start_time.value);
    EXPECT_EQ(24.0, timeline->global_start_time.rate);
    EXPECT_EQ("0.79", timeline->version) << "read whatever ZEM_SCHEMA says";
    EXPECT_EQ(Video, video->kind);
    EXPECT_EQ(Audio, audio->kind) << "kind words in any letter case";
    EXPECT_EQ(12.0, gap->source_range.duration.value);
    EXPECT_EQ(0.0, gap->source_range.start_time.value);
    EXPECT_EQ(Audio, tracked->trackKind());
}

TEST_F(FullDocument, ClipReadsZemMetadata) {
    EXPECT_EQ(10.0, clip->source_range.start_time.value);
    EXPECT_EQ(24.0, clip->source_range.start_time.rate);
    EXPECT_EQ(48.0, clip->source_range.duration.value);
    EXPECT_DOUBLE_EQ(23.976, clip->source_range.duration.rate);
    EXPECT_EQ(240.0, clip->available_range.duration.value);
    EXPECT_EQ("file:///media/shot010.mov", clip->target_url);
    EXPECT_EQ(0.0, clip->bounds_center_x);
    EXPECT_EQ(0.5, clip->bounds_center_y);
    EXPECT_EQ(1920.0, clip->bounds_size_width);
    EXPECT_EQ(1080.0, clip->bounds_size_height);
    EXPECT_EQ(1920, clip->pixel_resolution_width);
    EXPECT_EQ(1080, clip->pixel_resolution_height);
    EXPECT_EQ("unsigned short", clip->data_type);
    EXPECT_EQ(3, clip->num_video_channels);
    EXPECT_EQ(1.0, clip->pixel_aspect);
    EXPECT_EQ(24.0, clip->frame_rate);
    EXPECT_TRUE(clip->has_audio);
    EXPECT_EQ(48000.0, clip->audio_sample_rate);
    EXPECT_EQ(2, clip->num_audio_channels);
    EXPECT_EQ("prores", clip->video_codec);
    EXPECT_EQ("pcm", clip->audio_codec);
    EXPECT_EQ(123456789, clip->file_size_in_bytes);
    using Pair = std::pair<std::string, std::string>;
    EXPECT_EQ((std::vector<Pair>{{"b_key", "second"}, {"a_key", "first"}, {"count", "5"}}),
              clip->extra_data);
    EXPECT_EQ("uid-010", clip->clip_uid);
    EXPECT_EQ("/p/010.mp4", clip->path_mp4);
    EXPECT_EQ("/p/010.%04d.exr", clip->path_file);
    EXPECT_EQ("/p/010.mov", clip->path_movie);
    EXPECT_EQ(77, clip->entity_id);
    EXPECT_EQ("Shot", clip->entity_type);
}

TEST_F(FullDocument, ClipReadsTrackingRecords) {
    EXPECT_EQ("Version", tracked->entity_type);
    EXPECT_EQ(1234, tracked->entity_id);
    EXPECT_EQ("https://tracker/1234.mp4", tracked->path_mp4);
    EXPECT_EQ("/frames/1234.####.exr", tracked->path_file);
    EXPECT_EQ("/movies/1234.mov", tracked->path_movie);
    EXPECT_EQ(4.0, tracked->bounds_center_x);
    EXPECT_EQ(640.0, tracked->bounds_size_width);
    EXPECT_EQ(480.0, tracked->bounds_size_height);
    EXPECT_EQ("tracked-uid", tracked->clip_uid) << "zm wins over zem";
    EXPECT_EQ("Unknown", tracked->video_codec);
    EXPECT_EQ(-1, tracked->pixel_resolution_width);
    EXPECT_TRUE(tracked->children.empty()) << "Comp.2 is dropped";
}

TEST_F(FullDocument, EffectsReadTheirFields) {
    auto* comp = effect<CompNode>(0);
    ASSERT_TRUE(comp);
    EXPECT_EQ("multiply", comp->blend_mode);
    EXPECT_EQ(0.75f, comp->opacity);
    EXPECT_FALSE(comp->visible);
    EXPECT_EQ("Comp", comp->effect_name);
    EXPECT_FALSE(comp->isNested());

    auto* mask = effect<AngularMaskNode>(1);
    ASSERT_TRUE(mask);
    EXPECT_EQ(1.0, mask->pivot_x);
    EXPECT_EQ(2.5, mask->pivot_y);
    EXPECT_EQ(0.5f, mask->angle_in_radians);
    EXPECT_TRUE(mask->visible);
    EXPECT_EQ("", mask->effect_name);

    auto* cdl = effect<CDLNode>(2);
    ASSERT_TRUE(cdl);
    EXPECT_EQ((std::array<double, 3>{2, 1, 1}), cdl->slope);
    EXPECT_EQ((std::array<double, 3>{0.1, 0.2, 0.3}), cdl->offset);
    EXPECT_EQ((std::array<double, 3>{1, 1, 1}), cdl->power) << "two values keep the identity";
    EXPECT_EQ(0.8, cdl->saturation);

    auto* gapGrade = dynamic_cast<CDLNode*>(gap->children.at(0).get());
    ASSERT_TRUE(gapGrade);
    EXPECT_EQ(1.0, gapGrade->saturation);
}

TEST_F(FullDocument, AnnotationLayersReadTheirFields) {
    auto* notes = effect<AnnotationNode>(3);
    ASSERT_TRUE(notes);
    ASSERT_EQ(2u, notes->children.size());
    auto* stroke = dynamic_cast<PaintNode*>(notes->children[0].get());
    auto* caption = dynamic_cast<TextNode*>(notes->children[1].get());
    ASSERT_TRUE(stroke && caption);

    EXPECT_TRUE(stroke->isNested());
    EXPECT_TRUE(stroke->hold);
    EXPECT_TRUE(stroke->ghost);
    EXPECT_EQ(1u, stroke->ghost_before);
    EXPECT_EQ(2u, stroke->ghost_after);
    EXPECT_EQ(5.0, stroke->layer_range.start_time.value);
    ASSERT_EQ(4u, stroke->points.size()) << "malformed points keep their place";
    EXPECT_EQ(0.25, stroke->points[0].x);
    EXPECT_EQ(2.0, stroke->points[0].width);
    EXPECT_EQ(0.0, stroke->points[1].x) << "integer x rejected";
    EXPECT_EQ(1.5, stroke->points[1].y);
    EXPECT_EQ(0.0, stroke->points[2].x);
    EXPECT_EQ(0.0, stroke->points[3].width);
    EXPECT_EQ((std::vector<float>{1, 0, 0.5f, 1}), stroke->rgba);
    EXPECT_EQ("color", stroke->type);
    EXPECT_EQ("circle", stroke->brush);

    EXPECT_EQ("Fix this", caption->text);
    EXPECT_EQ("center", caption->justification);
    EXPECT_EQ("Sans", caption->fontName);
    EXPECT_EQ(36.0, caption->fontSize);
    EXPECT_EQ(200.0, caption->width);
    EXPECT_EQ(90.0, caption->orientation);
    EXPECT_EQ(10.0, caption->position_x);
    EXPECT_EQ(20.5, caption->position_y);
    EXPECT_EQ((std::vector<float>{0, 1, 0, 1}), caption->rgba);
    EXPECT_FALSE(caption->hold);
    EXPECT_EQ(3u, caption->ghost_before);
}

} // namespace
} // namespace ZEM_0_81::rapidotio
