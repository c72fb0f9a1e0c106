#include "rapidotio/StackNode.h"

#include "rapidotio/keys/TimelineKeys.h"

#include "rapidotio/NodeVisitor.h"

namespace ZEM_0_81::rapidotio {

using keys::ObjectKeys;
using keys::StackKeys;
using keys::TimelineKeys;

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
    addMember(stack, ObjectKeys::schema, schema, allocator);
    Value tracks(rapidjson::kArrayType);
    childrenToJson(tracks, allocator);
    addMember(stack, StackKeys::children, tracks, allocator);
    addMember(target, TimelineKeys::tracks, stack, allocator);
}

} // namespace ZEM_0_81::rapidotio
