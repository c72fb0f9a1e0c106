#include "rapidotio/StackNode.h"

#include "rapidotio/keys/TimelineKeys.h"

#include "rapidotio/MemberWriter.h"
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

Node::Placement StackNode::placement() const {
    return Placement::ObjectMember;
}

void StackNode::toJson(MemberWriter& writer) const {
    writer.beginObject(TimelineKeys::tracks);
    writer.member(ObjectKeys::schema, schema);
    writer.children(StackKeys::children);
    writer.endObject();
}

} // namespace ZEM_0_81::rapidotio
