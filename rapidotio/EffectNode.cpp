#include "rapidotio/EffectNode.h"

namespace ZEM_0_81::rapidotio {

using keys::EffectKeys;
using keys::ObjectKeys;

EffectNode::EffectNode(const Value& json, Node* parent) : Node(json, parent) {
    getBool(json, EffectKeys::visible, visible);
    const Value* range = nullptr;
    if (getObject(json, EffectKeys::layerRange, range))
        parseTimeRange(*range, layer_range);
    getString(json, EffectKeys::effectName, effect_name);
}

EffectNode::EffectNode(const std::string& name) : Node(name) {}

const char* EffectNode::childrenKey() const {
    return EffectKeys::layers;
}

bool EffectNode::isNested() const {
    return dynamic_cast<const EffectNode*>(parent) != nullptr;
}

bool EffectNode::hasSchema(const char* expected) const {
    return stringMemberIs(*json, ObjectKeys::schema, expected);
}

void EffectNode::writeEffectMembers(MemberWriter& writer) const {
    writer.member(EffectKeys::visible, visible);
    writer.member(EffectKeys::name, name);
    writer.member(EffectKeys::effectName, effect_name);
    writer.children(EffectKeys::layers, MemberWriter::WhenEmpty::Omit);
    // Only nested effects (layers of another effect) carry their own range.
    if (isNested() && isValid(layer_range))
        writer.member(EffectKeys::layerRange, layer_range);
}

} // namespace ZEM_0_81::rapidotio
