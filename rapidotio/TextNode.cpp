#include "rapidotio/TextNode.h"

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

void TextNode::toJson(Value& target, Allocator& allocator) const {
    Value effect(rapidjson::kObjectType);
    addMember(effect, ObjectKeys::schema, schema, allocator);
    addMember(effect, TextKeys::text, text, allocator);
    addMember(effect, TextKeys::justification, justification, allocator);
    addMember(effect, TextKeys::fontName, fontName, allocator);
    addMember(effect, TextKeys::fontSize, fontSize, allocator);
    addMember(effect, TextKeys::width, width, allocator);
    addMember(effect, TextKeys::orientation, orientation, allocator);
    Value position = doublePair(position_x, position_y, allocator);
    addMember(effect, TextKeys::position, position, allocator);
    Value colour = colourValue(rgba, allocator);
    addMember(effect, TextKeys::rgba, colour, allocator);
    writeEffectMembers(effect, allocator);
    writeLayerMembers(effect, allocator);
    appendTo(target, effect, allocator);
}

} // namespace ZEM_0_81::rapidotio
