#include "rapidotio/AnnotationNode.h"

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

void AnnotationNode::toJson(Value& target, Allocator& allocator) const {
    Value effect(rapidjson::kObjectType);
    addMember(effect, ObjectKeys::schema, schema, allocator);
    writeEffectMembers(effect, allocator);
    appendTo(target, effect, allocator);
}

} // namespace ZEM_0_81::rapidotio
