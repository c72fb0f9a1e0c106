#include "rapidotio/TimelineNode.h"

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

void TimelineNode::toJson(Value& target, Allocator& allocator) const {
    if (!target.IsObject())
        return;
    // The stack adds "tracks" first, so it leads the timeline object.
    childrenToJson(target, allocator);
    addMember(target, TimelineKeys::name, name, allocator);
    addMember(target, ObjectKeys::schema, schema, allocator);

    Value zem(rapidjson::kObjectType);
    addMember(zem, MetadataKeys::zemSchema, TimelineMetadataKeys::zemSchema, allocator);
    addMember(zem, TimelineMetadataKeys::version, writtenVersion, allocator);
    Value metadata(rapidjson::kObjectType);
    addMember(metadata, MetadataKeys::zem, zem, allocator);
    addMember(target, TimelineKeys::metadata, metadata, allocator);

    Value start(rapidjson::kObjectType);
    writeRationalTime(global_start_time, start, allocator);
    addMember(target, TimelineKeys::globalStartTime, start, allocator);
}

} // namespace ZEM_0_81::rapidotio
