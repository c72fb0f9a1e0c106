#include "rapidotio/GapNode.h"

#include "rapidotio/NodeVisitor.h"

namespace ZEM_0_81::rapidotio {

using keys::GapKeys;
using keys::ObjectKeys;

GapNode::GapNode(const Value& json, Node* parent) : Node(json, parent) {
    const Value* range = nullptr;
    if (getObject(json, GapKeys::sourceRange, range))
        parseTimeRange(*range, source_range);
}

GapNode::GapNode(const std::string& name) : Node(name) {}

void GapNode::accept(NodeVisitor& visitor) {
    visitor.visitGap(this);
}

void GapNode::leave(NodeVisitor& visitor) {
    visitor.leaveGap(this);
}

const char* GapNode::childrenKey() const {
    return GapKeys::effects;
}

void GapNode::toJson(Value& target, Allocator& allocator) const {
    Value gap(rapidjson::kObjectType);
    addMember(gap, GapKeys::name, name, allocator);
    addMember(gap, ObjectKeys::schema, schema, allocator);
    Value effects(rapidjson::kArrayType);
    childrenToJson(effects, allocator);
    addMember(gap, GapKeys::effects, effects, allocator);
    Value range(rapidjson::kObjectType);
    writeTimeRange(source_range, range, allocator);
    addMember(gap, GapKeys::sourceRange, range, allocator);
    Value metadata(rapidjson::kObjectType);
    addMember(gap, GapKeys::metadata, metadata, allocator);
    appendTo(target, gap, allocator);
}

} // namespace ZEM_0_81::rapidotio
