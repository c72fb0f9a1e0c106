#include "rapidotio/PaintNode.h"

#include "rapidotio/MemberWriter.h"
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

Node::Placement PaintNode::placement() const {
    return Placement::Element;
}

void PaintNode::toJson(MemberWriter& writer) const {
    writer.beginObject();
    writer.member(ObjectKeys::schema, schema);
    writer.beginArray(PaintKeys::points);
    for (const Point& point : points) {
        writer.beginObject();
        writePoint(point, writer);
        writer.endObject();
    }
    writer.endArray();
    writer.numbers(PaintKeys::rgba, rgba);
    writer.member(PaintKeys::type, type);
    writer.member(PaintKeys::brush, brush);
    writeEffectMembers(writer);
    writeLayerMembers(writer);
    writer.endObject();
}

} // namespace ZEM_0_81::rapidotio
