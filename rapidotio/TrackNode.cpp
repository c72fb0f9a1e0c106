#include "rapidotio/TrackNode.h"

#include "rapidotio/MemberWriter.h"
#include "rapidotio/NodeVisitor.h"

#include <cctype>
#include <string>

namespace ZEM_0_81::rapidotio {

using keys::ObjectKeys;
using keys::TrackKeys;

namespace {

/// ASCII comparison ignoring letter case.
bool equalsIgnoringCase(const std::string& text, const char* word) {
    std::size_t i = 0;
    for (; i < text.size() && word[i] != '\0'; ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) !=
            std::tolower(static_cast<unsigned char>(word[i])))
            return false;
    }
    return i == text.size() && word[i] == '\0';
}

} // namespace

TrackNode::TrackNode(const Value& json, Node* parent) : Node(json, parent) {
    std::string text;
    if (getString(json, TrackKeys::kind, text)) {
        if (equalsIgnoringCase(text, TrackKeys::video))
            kind = Video;
        else if (equalsIgnoringCase(text, TrackKeys::audio))
            kind = Audio;
    }
}

TrackNode::TrackNode(const std::string& name) : Node(name) {}

void TrackNode::accept(NodeVisitor& visitor) {
    visitor.visitTrack(this);
}

void TrackNode::leave(NodeVisitor& visitor) {
    visitor.leaveTrack(this);
}

TrackKind TrackNode::trackKind() const {
    return kind;
}

const char* TrackNode::kindText(TrackKind kind) {
    switch (kind) {
    case Video:
        return TrackKeys::video;
    case Audio:
        return TrackKeys::audio;
    default:
        return "";
    }
}

Node::Placement TrackNode::placement() const {
    return Placement::Element;
}

void TrackNode::toJson(MemberWriter& writer) const {
    writer.beginObject();
    writer.member(TrackKeys::name, name);
    writer.member(ObjectKeys::schema, schema);
    writer.children(TrackKeys::children);
    const char* text = kindText(kind);
    if (*text != '\0')
        writer.member(TrackKeys::kind, text);
    writer.endObject();
}

} // namespace ZEM_0_81::rapidotio
