#pragma once

#include "rapidotio/Node.h"

#include "rapidotio/TimeValues.h"
#include "rapidotio/keys/GapKeys.h"

namespace ZEM_0_81::rapidotio {

/// "Gap.1": empty time on a track; may carry effects.
class GapNode final : public Node {
public:
    using Parent = Node;
    static constexpr const char* schema = keys::GapKeys::schema;

    /// Reads "source_range".
    GapNode(const Value& json, Node* parent);
    explicit GapNode(const std::string& name);

    void accept(NodeVisitor& visitor) override;
    void leave(NodeVisitor& visitor) override;
    /// An element of its track's "children": {"name", "OTIO_SCHEMA", "effects",
    /// "source_range", "metadata": {}}.
    Placement placement() const override;
    void toJson(MemberWriter& writer) const override;
    const char* childrenKey() const override;

    TimeRange source_range;
};

} // namespace ZEM_0_81::rapidotio
