#include "rapidotio/CompNode.h"

#include "rapidotio/MemberWriter.h"
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

Node::Placement CompNode::placement() const {
    return Placement::Element;
}

void CompNode::toJson(MemberWriter& writer) const {
    writer.beginObject();
    writer.member(ObjectKeys::schema, schema);
    writer.member(CompKeys::blendMode, blend_mode);
    writer.member(CompKeys::opacity, static_cast<double>(opacity));
    writeEffectMembers(writer);
    writer.endObject();
}

} // namespace ZEM_0_81::rapidotio
