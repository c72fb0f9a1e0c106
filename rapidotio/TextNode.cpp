#include "rapidotio/TextNode.h"

#include "rapidotio/MemberWriter.h"
#include "rapidotio/NodeVisitor.h"

#include <utility>

namespace ZEM_0_81::rapidotio {

using keys::ObjectKeys;
using keys::TextKeys;

TextNode::TextNode(const Value& json, Node* parent) : LayerNode(json, parent) {
    if (!hasSchema(schema))
        return;
    getString(json, TextKeys::text, text);
    getString(json, TextKeys::justification, justification);
    getString(json, TextKeys::fontName, fontName);
    getDouble(json, TextKeys::fontSize, fontSize);
    getDouble(json, TextKeys::width, width);
    getDouble(json, TextKeys::orientation, orientation);
    // A position needs two values; a shorter array is ignored, extra values too.
    const Value* position = nullptr;
    if (getArray(json, TextKeys::position, position) && position->Size() >= 2) {
        position_x = numberOrZero((*position)[0]);
        position_y = numberOrZero((*position)[1]);
    }
    readColour(json, rgba);
}

TextNode::TextNode(const std::string& name, std::string text, std::string justification,
                   std::string fontName, double fontSize, double width, double orientation,
                   double position_x, double position_y, std::vector<float> rgba, bool hold,
                   bool ghost, std::uint32_t ghost_before, std::uint32_t ghost_after)
    : LayerNode(name, hold, ghost, ghost_before, ghost_after), text(std::move(text)),
      justification(std::move(justification)), fontName(std::move(fontName)), fontSize(fontSize),
      width(width), orientation(orientation), position_x(position_x), position_y(position_y),
      rgba(std::move(rgba)) {
    effect_name = typeWord;
}

void TextNode::accept(NodeVisitor& visitor) {
    visitor.visitEffect(this);
}

void TextNode::leave(NodeVisitor& visitor) {
    visitor.leaveEffect(this);
}

Node::Placement TextNode::placement() const {
    return Placement::Element;
}

void TextNode::toJson(MemberWriter& writer) const {
    writer.beginObject();
    writer.member(ObjectKeys::schema, schema);
    writer.member(TextKeys::text, text);
    writer.member(TextKeys::justification, justification);
    writer.member(TextKeys::fontName, fontName);
    writer.member(TextKeys::fontSize, fontSize);
    writer.member(TextKeys::width, width);
    writer.member(TextKeys::orientation, orientation);
    writer.pair(TextKeys::position, position_x, position_y);
    writer.numbers(TextKeys::rgba, rgba);
    writeEffectMembers(writer);
    writeLayerMembers(writer);
    writer.endObject();
}

} // namespace ZEM_0_81::rapidotio
