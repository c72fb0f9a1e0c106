#pragma once

// Small helpers shared by the rapidotio tests: parsing documents, writing nodes
// and recording what a traversal visits.

#include "rapidotio/JsonAccess.h"
#include "rapidotio/Node.h"
#include "rapidotio/NodeVisitor.h"

#include <gtest/gtest.h>
#include <rapidjson/error/en.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <memory>
#include <string>
#include <vector>

namespace ZEM_0_81::rapidotio::test {

/// Parses `text` strictly; a syntax error fails the calling test.
inline std::unique_ptr<Document> parse(const std::string& text) {
    auto document = std::make_unique<Document>();
    document->Parse(text.c_str());
    EXPECT_FALSE(document->HasParseError())
        << rapidjson::GetParseError_En(document->GetParseError()) << " in " << text;
    return document;
}

/// The compact JSON text of a value.
inline std::string toText(const Value& value) {
    rapidjson::StringBuffer buffer;
    rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
    value.Accept(writer);
    return std::string(buffer.GetString(), buffer.GetSize());
}

/// What a node that appends itself to its owner's array writes: the text of
/// that one element.
inline std::string elementText(const Node& node) {
    Document document;
    Value array(rapidjson::kArrayType);
    node.toJson(array, document.GetAllocator());
    EXPECT_EQ(1u, array.Size());
    return array.Empty() ? std::string() : toText(array[0]);
}

/// Records each visit and leave as "visitClip:name" in order.
struct RecordingVisitor : NodeVisitor {
    std::vector<std::string> events;

    void record(const char* what, Node* node) {
        events.push_back(std::string(what) + ":" + node->name);
    }
    void visitTimeline(Node* n) override { record("visitTimeline", n); }
    void leaveTimeline(Node* n) override { record("leaveTimeline", n); }
    void visitStack(Node* n) override { record("visitStack", n); }
    void leaveStack(Node* n) override { record("leaveStack", n); }
    void visitTrack(Node* n) override { record("visitTrack", n); }
    void leaveTrack(Node* n) override { record("leaveTrack", n); }
    void visitClip(Node* n) override { record("visitClip", n); }
    void leaveClip(Node* n) override { record("leaveClip", n); }
    void visitEffect(Node* n) override { record("visitEffect", n); }
    void leaveEffect(Node* n) override { record("leaveEffect", n); }
    void visitGap(Node* n) override { record("visitGap", n); }
    void leaveGap(Node* n) override { record("leaveGap", n); }
};

/// Everything printed to standard error while `read` runs.
template <class Read> std::string stderrOf(Read read) {
    testing::internal::CaptureStderr();
    read();
    return testing::internal::GetCapturedStderr();
}

} // namespace ZEM_0_81::rapidotio::test
