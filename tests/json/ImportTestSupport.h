#pragma once

// Helpers of the importer tests: small OTIO documents, importing them through the
// node tree, and finding things in the resulting edit tree.

#include "outside/dmtree/DmTree.h"
#include "rapidotio/RootNode.h"
#include "json/DmTreeImporter.h"
#include "tests/support/OtioText.h"

#include <gtest/gtest.h>
#include <rapidjson/document.h>

#include <string>

namespace ZEM_0_81::test {

/// A "Gap.1" of `frames` at `rate`, with optional extra members.
inline std::string gap(double frames, double rate = 24.0, const std::string& more = "") {
    return R"({"OTIO_SCHEMA":"Gap.1","name":"gap","source_range":)" + timeRange(0, frames, rate) +
           more + "}";
}

/// A "Clip.1" named `name` playing [start, start + frames) at 24 fps from a movie
/// at /media/<name>.mov, with optional extra members.
inline std::string clip(const std::string& name, double start, double frames,
                        const std::string& more = "") {
    return R"({"OTIO_SCHEMA":"Clip.1","name":")" + name + R"(","source_range":)" +
           timeRange(start, frames, 24.0) + R"(,"metadata":{"zem":{"paths":{"movie":"/media/)" +
           name + R"(.mov"}}})" + more + "}";
}

/// A "Clip.1" of `frames` at 24 fps that names no media: it yields no source but
/// takes its place on the record. Optional extra members.
inline std::string clipWithoutMedia(double frames, const std::string& more = "") {
    return R"({"OTIO_SCHEMA":"Clip.1","name":"nomedia","source_range":)" +
           timeRange(0, frames, 24.0) + more + "}";
}

/// A "Track.1" of the given kind holding `children` (a comma-separated list).
inline std::string track(const std::string& children, const std::string& kind = "Video") {
    return R"({"OTIO_SCHEMA":"Track.1","name":"track","kind":")" + kind + R"(","children":[)" +
           children + "]}";
}

/// A "Timeline.1" document whose stack holds `tracks`, starting at `start`
/// ("" for no "global_start_time").
inline std::string timeline(const std::string& tracks,
                            const std::string& start = rationalTime(0, 24)) {
    std::string text = R"({"OTIO_SCHEMA":"Timeline.1","name":"edit",)";
    if (!start.empty())
        text += R"("global_start_time":)" + start + ",";
    return text + R"("tracks":{"OTIO_SCHEMA":"Stack.1","name":"stack","children":[)" + tracks +
           "]}}";
}

/// Imports an OTIO document as the import driver does it, through a RootNode
/// traversed by a DmTreeImporter, into a new root.
inline CoSharedPtr<DmRoot> importDocument(const std::string& text) {
    rapidotio::Document document;
    document.Parse(text.c_str());
    EXPECT_FALSE(document.HasParseError()) << text;
    CoSharedPtr<DmRoot> root(DmRoot::create());
    const SharedPtr<rapidotio::Node> node(new rapidotio::RootNode(document, nullptr));
    Json::DmTreeImporter importer(root);
    node->traverse(importer);
    return root;
}

/// The child `index` of `node` as a `T`, or null.
template <class T> T* childAs(const DmTreeNode* node, std::uint32_t index) {
    return node ? dynamic_cast<T*>(node->getChild(index)) : nullptr;
}

/// The composition node of an imported tree.
inline DmCompositionNode* compositionOf(const CoSharedPtr<DmRoot>& root) {
    return childAs<DmCompositionNode>(childAs<DmReelNode>(root.get(), 0), 0);
}

/// Layer `layer` of track `track` of the imported composition.
inline DmLayerNode* layerOf(const CoSharedPtr<DmRoot>& root, std::uint32_t track,
                            std::uint32_t layer) {
    return childAs<DmLayerNode>(childAs<DmTrackNode>(compositionOf(root), track), layer);
}

inline std::string text(const DmString& value) {
    return DmStr2CStr(value).c_str();
}

/// The value of the only key frame of a constant channel; fails the test when the
/// channel is missing or holds another number of keys.
inline float constantOf(const CoSharedPtr<DmAnimationChannel>& channel) {
    EXPECT_TRUE(channel);
    if (!channel)
        return -1.0f;
    EXPECT_EQ(1u, channel->getNbKeyFrames());
    const CoSharedPtr<DmKeyFrame> key = channel->getKeyFrame(0);
    EXPECT_TRUE(key);
    return key ? key->getValue() : -1.0f;
}

} // namespace ZEM_0_81::test
