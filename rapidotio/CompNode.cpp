#include "rapidotio/CompNode.h"

#include "rapidotio/NodeVisitor.h"

namespace ZEM_0_81::rapidotio {

using keys::CompKeys;
using keys::ObjectKeys;

CompNode::CompNode(const Value& json, Node* parent) : EffectNode(json, parent) {
    getString(json, CompKeys::blendMode, blend_mode);
    getFloat(json, CompKeys::opacity, opacity);
}

CompNode::CompNode(const std::string& name) : EffectNode(name) {
    effect_name = typeWord;
}

void CompNode::accept(NodeVisitor& visitor) {
    visitor.visitEffect(this);
}

void CompNode::leave(NodeVisitor& visitor) {
    visitor.leaveEffect(this);
}

void CompNode::toJson(Value& target, Allocator& allocator) const {
    Value effect(rapidjson::kObjectType);
    addMember(effect, ObjectKeys::schema, schema, allocator);
    addMember(effect, CompKeys::blendMode, blend_mode, allocator);
    addMember(effect, CompKeys::opacity, static_cast<double>(opacity), allocator);
    writeEffectMembers(effect, allocator);
    appendTo(target, effect, allocator);
}

} // namespace ZEM_0_81::rapidotio
