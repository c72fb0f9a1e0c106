#include "rapidotio/TextNode.h"

#include "rapidotio/NodeVisitor.h"

#include <utility>

namespace ZEM_0_81::rapidotio {

TextNode::TextNode(const Value& json, Node* parent) : LayerNode(json, parent) {
    if (!hasSchema(schema))
        return;
    getString(json, "text", text);
    getString(json, "justification", justification);
    getString(json, "fontName", fontName);
    getDouble(json, "fontSize", fontSize);
    getDouble(json, "width", width);
    getDouble(json, "orientation", orientation);
    // A position needs two values; a shorter array is ignored, extra values too.
    const Value* position = nullptr;
    if (getArray(json, "position", position) && position->Size() >= 2) {
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

void TextNode::toJson(Value& target, Allocator& allocator) const {
    Value effect(rapidjson::kObjectType);
    addMember(effect, "OTIO_SCHEMA", schema, allocator);
    addMember(effect, "text", text, allocator);
    addMember(effect, "justification", justification, allocator);
    addMember(effect, "fontName", fontName, allocator);
    addMember(effect, "fontSize", fontSize, allocator);
    addMember(effect, "width", width, allocator);
    addMember(effect, "orientation", orientation, allocator);
    Value position = doublePair(position_x, position_y, allocator);
    addMember(effect, "position", position, allocator);
    Value colour = colourValue(rgba, allocator);
    addMember(effect, "rgba", colour, allocator);
    writeEffectMembers(effect, allocator);
    writeLayerMembers(effect, allocator);
    appendTo(target, effect, allocator);
}

} // namespace ZEM_0_81::rapidotio
