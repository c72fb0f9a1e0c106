#include "rapidotio/TimelineNode.h"

#include "rapidotio/NodeVisitor.h"

namespace ZEM_0_81::rapidotio {

TimelineNode::TimelineNode(const Value& json, Node* parent) : Node(json, parent) {
    const Value* member = nullptr;
    if (getObject(json, "global_start_time", member))
        parseRationalTime(*member, global_start_time);

    const Value* metadata = nullptr;
    const Value* zem = nullptr;
    if (getObject(json, "metadata", metadata) && getObject(*metadata, "zem", zem))
        getString(*zem, "version", version);
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
    if (getObject(*json, "tracks", tracks))
        addParsedChild(*tracks);
    else
        debugPrint("%s\n", "No tracks found in timeline");
}

void TimelineNode::toJson(Value& target, Allocator& allocator) const {
    if (!target.IsObject())
        return;
    // The stack adds "tracks" first, so it leads the timeline object.
    childrenToJson(target, allocator);
    addMember(target, "name", name, allocator);
    addMember(target, "OTIO_SCHEMA", schema, allocator);

    Value zem(rapidjson::kObjectType);
    addMember(zem, "ZEM_SCHEMA", "TimelineMetadata.1", allocator);
    addMember(zem, "version", writtenVersion, allocator);
    Value metadata(rapidjson::kObjectType);
    addMember(metadata, "zem", zem, allocator);
    addMember(target, "metadata", metadata, allocator);

    Value start(rapidjson::kObjectType);
    writeRationalTime(global_start_time, start, allocator);
    addMember(target, "global_start_time", start, allocator);
}

} // namespace ZEM_0_81::rapidotio
