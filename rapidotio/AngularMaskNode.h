#pragma once

#include "rapidotio/EffectNode.h"

#include "rapidotio/keys/AngularMaskKeys.h"

namespace ZEM_0_81::rapidotio {

/// "AngularMask.1": a mask by angle around a pivot.
class AngularMaskNode final : public EffectNode {
public:
    using Parent = EffectNode;
    static constexpr const char* schema = keys::AngularMaskKeys::schema;
    static constexpr const char* typeWord = keys::AngularMaskKeys::typeWord;

    /// Reads the effect members, then (schema string permitting) "pivot" and
    /// "angle_in_radians". Pivot and angle are 0 when the document has none.
    AngularMaskNode(const Value& json, Node* parent);
    explicit AngularMaskNode(const std::string& name);

    void accept(NodeVisitor& visitor) override;
    void leave(NodeVisitor& visitor) override;
    /// An element of its owner's "effects" or "layers".
    Placement placement() const override;
    void toJson(MemberWriter& writer) const override;

    double pivot_x = 0;
    double pivot_y = 0;
    float angle_in_radians = 0;
};

} // namespace ZEM_0_81::rapidotio
