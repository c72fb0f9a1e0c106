#include "rapidotio/EffectNode.h"

namespace ZEM_0_81::rapidotio {

EffectNode::EffectNode(const Value& json, Node* parent) : Node(json, parent) {
    getBool(json, "visible", visible);
    const Value* range = nullptr;
    if (getObject(json, "layer_range", range))
        parseTimeRange(*range, layer_range);
    getString(json, "effect_name", effect_name);
}

EffectNode::EffectNode(const std::string& name) : Node(name) {}

const char* EffectNode::childrenKey() const {
    return "layers";
}

bool EffectNode::isNested() const {
    return dynamic_cast<const EffectNode*>(parent) != nullptr;
}

bool EffectNode::hasSchema(const char* expected) const {
    return silentString(*json, "OTIO_SCHEMA") == expected;
}

void EffectNode::writeEffectMembers(Value& object, Allocator& allocator) const {
    Value layers(rapidjson::kArrayType);
    childrenToJson(layers, allocator);
    addMember(object, "visible", visible, allocator);
    addMember(object, "name", name, allocator);
    addMember(object, "effect_name", effect_name, allocator);
    if (!layers.Empty())
        addMember(object, "layers", layers, allocator);
    // Only nested effects (layers of another effect) carry their own range.
    if (isNested() && isValid(layer_range)) {
        Value range(rapidjson::kObjectType);
        writeTimeRange(layer_range, range, allocator);
        addMember(object, "layer_range", range, allocator);
    }
}

} // namespace ZEM_0_81::rapidotio
