#include "rapidotio/AnnotationNode.h"

#include "rapidotio/MemberWriter.h"
#include "rapidotio/NodeVisitor.h"

namespace ZEM_0_81::rapidotio {

using keys::ObjectKeys;

AnnotationNode::AnnotationNode(const Value& json, Node* parent) : EffectNode(json, parent) {}

AnnotationNode::AnnotationNode(const std::string& name) : EffectNode(name) {
    effect_name = typeWord;
}

void AnnotationNode::accept(NodeVisitor& visitor) {
    visitor.visitEffect(this);
}

void AnnotationNode::leave(NodeVisitor& visitor) {
    visitor.leaveEffect(this);
}

Node::Placement AnnotationNode::placement() const {
    return Placement::Element;
}

void AnnotationNode::toJson(MemberWriter& writer) const {
    writer.beginObject();
    writer.member(ObjectKeys::schema, schema);
    writeEffectMembers(writer);
    writer.endObject();
}

} // namespace ZEM_0_81::rapidotio
