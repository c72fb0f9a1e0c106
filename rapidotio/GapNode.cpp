#include "rapidotio/GapNode.h"

#include "rapidotio/MemberWriter.h"
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

Node::Placement GapNode::placement() const {
    return Placement::Element;
}

void GapNode::toJson(MemberWriter& writer) const {
    writer.beginObject();
    writer.member(GapKeys::name, name);
    writer.member(ObjectKeys::schema, schema);
    writer.children(GapKeys::effects);
    writer.member(GapKeys::sourceRange, source_range);
    writer.beginObject(GapKeys::metadata);
    writer.endObject();
    writer.endObject();
}

} // namespace ZEM_0_81::rapidotio
