#pragma once

// Small helpers shared by the rapidotio tests: parsing documents, writing nodes
// and recording what a traversal visits.

#include "rapidotio/DocumentWriter.h"
#include "rapidotio/JsonAccess.h"
#include "rapidotio/MemberWriter.h"
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

/// The text that `write` streams into a writer, given the writer.
template <class Write> std::string streamedText(Write write) {
    TextOutput output;
    JsonTextWriter writer(output);
    write(writer);
    return output.copyText();
}

/// What a node that appends itself to its owner's array writes there: the text
/// of that one element.
inline std::string elementText(const Node& node) {
    const std::string array = streamedText([&](JsonTextWriter& writer) {
        writer.StartArray();
        writeTree(node, writer, WriteTarget::Array);
        writer.EndArray();
    });
    EXPECT_GT(array.size(), 2u) << "the node wrote nothing";
    return array.size() > 2 ? array.substr(1, array.size() - 2) : std::string();
}

/// The object that `write` fills with members through a MemberWriter.
template <class Write> std::string objectText(Write write) {
    return streamedText([&](JsonTextWriter& writer) {
        writer.StartObject();
        MemberWriter members(writer, MemberWriter::Part::Whole);
        write(members);
        writer.EndObject();
    });
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
