#include "rapidotio/StackNode.h"

#include "rapidotio/NodeVisitor.h"

namespace ZEM_0_81::rapidotio {

StackNode::StackNode(const Value& json, Node* parent) : Node(json, parent) {}

StackNode::StackNode(const std::string& name) : Node(name) {}

void StackNode::accept(NodeVisitor& visitor) {
    visitor.visitStack(this);
}

void StackNode::leave(NodeVisitor& visitor) {
    visitor.leaveStack(this);
}

void StackNode::toJson(Value& target, Allocator& allocator) const {
    if (!target.IsObject())
        return;
    Value stack(rapidjson::kObjectType);
    addMember(stack, "OTIO_SCHEMA", schema, allocator);
    Value tracks(rapidjson::kArrayType);
    childrenToJson(tracks, allocator);
    addMember(stack, "children", tracks, allocator);
    addMember(target, "tracks", stack, allocator);
}

} // namespace ZEM_0_81::rapidotio
