#include "rapidotio/AngularMaskNode.h"

#include "rapidotio/NodeVisitor.h"

namespace ZEM_0_81::rapidotio {

using keys::AngularMaskKeys;
using keys::ObjectKeys;

AngularMaskNode::AngularMaskNode(const Value& json, Node* parent) : EffectNode(json, parent) {
    if (!hasSchema(schema))
        return;
    // A pivot needs two values; a shorter array is ignored, extra values too.
    const Value* pivot = nullptr;
    if (getArray(json, AngularMaskKeys::pivot, pivot) && pivot->Size() >= 2) {
        pivot_x = numberOrZero((*pivot)[0]);
        pivot_y = numberOrZero((*pivot)[1]);
    }
    getFloat(json, AngularMaskKeys::angleInRadians, angle_in_radians);
}

AngularMaskNode::AngularMaskNode(const std::string& name) : EffectNode(name) {
    effect_name = typeWord;
}

void AngularMaskNode::accept(NodeVisitor& visitor) {
    visitor.visitEffect(this);
}

void AngularMaskNode::leave(NodeVisitor& visitor) {
    visitor.leaveEffect(this);
}

void AngularMaskNode::toJson(Value& target, Allocator& allocator) const {
    Value effect(rapidjson::kObjectType);
    addMember(effect, ObjectKeys::schema, schema, allocator);
    Value pivot = doublePair(pivot_x, pivot_y, allocator);
    addMember(effect, AngularMaskKeys::pivot, pivot, allocator);
    addMember(effect, AngularMaskKeys::angleInRadians, static_cast<double>(angle_in_radians),
              allocator);
    writeEffectMembers(effect, allocator);
    appendTo(target, effect, allocator);
}

} // namespace ZEM_0_81::rapidotio
