#pragma once

#include "rapidotio/LayerNode.h"

#include "rapidotio/TimeValues.h"
#include "rapidotio/keys/PaintKeys.h"

#include <string>
#include <vector>

namespace ZEM_0_81::rapidotio {

/// "Paint.1": a paint stroke, a polyline of points with a colour and a brush.
class PaintNode final : public LayerNode {
public:
    using Parent = LayerNode;
    static constexpr const char* schema = keys::PaintKeys::schema;
    static constexpr const char* typeWord = keys::PaintKeys::typeWord;

    /// Reads the layer members, then (schema string permitting) "points", "rgba",
    /// "type", "brush". A malformed point stays (0, 0, 0) in place.
    PaintNode(const Value& json, Node* parent);
    explicit PaintNode(const std::string& name, std::vector<Point> points = {},
                       std::vector<float> rgba = {}, std::string type = {}, std::string brush = {},
                       bool hold = false, bool ghost = false, std::uint32_t ghost_before = 3,
                       std::uint32_t ghost_after = 3);

    void accept(NodeVisitor& visitor) override;
    void leave(NodeVisitor& visitor) override;
    /// An element of its owner's "effects" or "layers".
    Placement placement() const override;
    void toJson(MemberWriter& writer) const override;

    std::vector<Point> points;
    std::vector<float> rgba;
    std::string type;
    std::string brush;
};

} // namespace ZEM_0_81::rapidotio
