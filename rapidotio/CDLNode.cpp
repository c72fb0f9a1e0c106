#include "rapidotio/CDLNode.h"

#include "rapidotio/MemberWriter.h"
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

Node::Placement CDLNode::placement() const {
    return Placement::Element;
}

void CDLNode::toJson(MemberWriter& writer) const {
    writer.beginObject();
    writer.member(ObjectKeys::schema, schema);
    writer.numbers(CDLKeys::slope, slope);
    writer.numbers(CDLKeys::offset, offset);
    writer.numbers(CDLKeys::power, power);
    writer.member(CDLKeys::saturation, saturation);
    writeEffectMembers(writer);
    writer.endObject();
}

} // namespace ZEM_0_81::rapidotio
