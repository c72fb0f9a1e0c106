#include "rapidotio/TimelineNode.h"

#include "rapidotio/MemberWriter.h"
#include "rapidotio/NodeVisitor.h"

namespace ZEM_0_81::rapidotio {

using keys::MetadataKeys;
using keys::ObjectKeys;
using keys::TimelineKeys;
using keys::TimelineMetadataKeys;

TimelineNode::TimelineNode(const Value& json, Node* parent) : Node(json, parent) {
    const Value* member = nullptr;
    if (getObject(json, TimelineKeys::globalStartTime, member))
        parseRationalTime(*member, global_start_time);

    const Value* metadata = nullptr;
    const Value* zem = nullptr;
    if (getObject(json, TimelineKeys::metadata, metadata) &&
        getObject(*metadata, MetadataKeys::zem, zem))
        getString(*zem, TimelineMetadataKeys::version, version);
}

TimelineNode::TimelineNode(const std::string& name) : Node(name), version(writtenVersion) {}

void TimelineNode::accept(NodeVisitor& visitor) {
    visitor.visitTimeline(this);
}

void TimelineNode::leave(NodeVisitor& visitor) {
    visitor.leaveTimeline(this);
}

void TimelineNode::parseChildren() {
    const Value* tracks = nullptr;
    if (getObject(*json, TimelineKeys::tracks, tracks))
        addParsedChild(*tracks);
    else
        debugPrint("%s\n", "No tracks found in timeline");
}

Node::Placement TimelineNode::placement() const {
    return Placement::ObjectMembers;
}

void TimelineNode::toJson(MemberWriter& writer) const {
    // The stack adds "tracks" first, so it leads the timeline object.
    writer.children();
    writer.member(TimelineKeys::name, name);
    writer.member(ObjectKeys::schema, schema);
    writer.beginObject(TimelineKeys::metadata);
    writer.beginObject(MetadataKeys::zem);
    writer.member(MetadataKeys::zemSchema, TimelineMetadataKeys::zemSchema);
    writer.member(TimelineMetadataKeys::version, writtenVersion);
    writer.endObject();
    writer.endObject();
    writer.member(TimelineKeys::globalStartTime, global_start_time);
}

} // namespace ZEM_0_81::rapidotio
