#include "rapidotio/CDLNode.h"

#include "rapidotio/NodeVisitor.h"

namespace ZEM_0_81::rapidotio {

using keys::CDLKeys;
using keys::ObjectKeys;

namespace {

/// Replaces `triple` by the first three elements of the array `key`, any number
/// form accepted; a shorter array leaves it unchanged.
void readTriple(const Value& object, const char* key, std::array<double, 3>& triple) {
    const Value* array = nullptr;
    if (!getArray(object, key, array) || array->Size() < 3)
        return;
    for (rapidjson::SizeType i = 0; i < 3; ++i)
        triple[i] = numberOrZero((*array)[i]);
}

Value tripleValue(const std::array<double, 3>& triple, Allocator& allocator) {
    Value array(rapidjson::kArrayType);
    for (double component : triple)
        array.PushBack(Value(component), allocator);
    return array;
}

} // namespace

CDLNode::CDLNode(const Value& json, Node* parent) : EffectNode(json, parent) {
    if (!hasSchema(schema))
        return;
    readTriple(json, CDLKeys::slope, slope);
    readTriple(json, CDLKeys::offset, offset);
    readTriple(json, CDLKeys::power, power);
    getDouble(json, CDLKeys::saturation, saturation);
}

CDLNode::CDLNode(const std::string& name) : EffectNode(name) {
    effect_name = typeWord;
}

void CDLNode::accept(NodeVisitor& visitor) {
    visitor.visitEffect(this);
}

void CDLNode::leave(NodeVisitor& visitor) {
    visitor.leaveEffect(this);
}

void CDLNode::toJson(Value& target, Allocator& allocator) const {
    Value effect(rapidjson::kObjectType);
    addMember(effect, ObjectKeys::schema, schema, allocator);
    Value array = tripleValue(slope, allocator);
    addMember(effect, CDLKeys::slope, array, allocator);
    array = tripleValue(offset, allocator);
    addMember(effect, CDLKeys::offset, array, allocator);
    array = tripleValue(power, allocator);
    addMember(effect, CDLKeys::power, array, allocator);
    addMember(effect, CDLKeys::saturation, saturation, allocator);
    writeEffectMembers(effect, allocator);
    appendTo(target, effect, allocator);
}

} // namespace ZEM_0_81::rapidotio
