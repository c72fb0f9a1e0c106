#include "rapidotio/PaintNode.h"

#include "rapidotio/NodeVisitor.h"

#include <utility>

namespace ZEM_0_81::rapidotio {

using keys::ObjectKeys;
using keys::PaintKeys;

PaintNode::PaintNode(const Value& json, Node* parent) : LayerNode(json, parent) {
    if (!hasSchema(schema))
        return;
    const Value* array = nullptr;
    if (getArray(json, PaintKeys::points, array)) {
        // One entry per element, so a malformed point keeps its place as (0, 0, 0).
        points.resize(array->Size());
        for (rapidjson::SizeType i = 0; i < array->Size(); ++i)
            parsePoint((*array)[i], points[i]);
    }
    readColour(json, rgba);
    getString(json, PaintKeys::type, type);
    getString(json, PaintKeys::brush, brush);
}

PaintNode::PaintNode(const std::string& name, std::vector<Point> points, std::vector<float> rgba,
                     std::string type, std::string brush, bool hold, bool ghost,
                     std::uint32_t ghost_before, std::uint32_t ghost_after)
    : LayerNode(name, hold, ghost, ghost_before, ghost_after), points(std::move(points)),
      rgba(std::move(rgba)), type(std::move(type)), brush(std::move(brush)) {
    effect_name = typeWord;
}

void PaintNode::accept(NodeVisitor& visitor) {
    visitor.visitEffect(this);
}

void PaintNode::leave(NodeVisitor& visitor) {
    visitor.leaveEffect(this);
}

void PaintNode::toJson(Value& target, Allocator& allocator) const {
    Value effect(rapidjson::kObjectType);
    addMember(effect, ObjectKeys::schema, schema, allocator);
    Value pointArray(rapidjson::kArrayType);
    for (const Point& point : points) {
        Value object(rapidjson::kObjectType);
        writePoint(point, object, allocator);
        pointArray.PushBack(object, allocator);
    }
    addMember(effect, PaintKeys::points, pointArray, allocator);
    Value colour = colourValue(rgba, allocator);
    addMember(effect, PaintKeys::rgba, colour, allocator);
    addMember(effect, PaintKeys::type, type, allocator);
    addMember(effect, PaintKeys::brush, brush, allocator);
    writeEffectMembers(effect, allocator);
    writeLayerMembers(effect, allocator);
    appendTo(target, effect, allocator);
}

} // namespace ZEM_0_81::rapidotio
