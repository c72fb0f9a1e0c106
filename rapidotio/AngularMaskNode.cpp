#include "rapidotio/AngularMaskNode.h"

#include "rapidotio/MemberWriter.h"
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

Node::Placement AngularMaskNode::placement() const {
    return Placement::Element;
}

void AngularMaskNode::toJson(MemberWriter& writer) const {
    writer.beginObject();
    writer.member(ObjectKeys::schema, schema);
    writer.pair(AngularMaskKeys::pivot, pivot_x, pivot_y);
    writer.member(AngularMaskKeys::angleInRadians, static_cast<double>(angle_in_radians));
    writeEffectMembers(writer);
    writer.endObject();
}

} // namespace ZEM_0_81::rapidotio
