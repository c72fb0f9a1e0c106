#pragma once

#include "rapidotio/EffectNode.h"

#include "rapidotio/keys/CDLKeys.h"

#include <array>

namespace ZEM_0_81::rapidotio {

/// "CDL.1": a colour decision list grade (slope, offset, power per channel and
/// saturation). Both constructors start from the identity grade.
class CDLNode final : public EffectNode {
public:
    using Parent = EffectNode;
    static constexpr const char* schema = keys::CDLKeys::schema;
    static constexpr const char* typeWord = keys::CDLKeys::typeWord;

    /// Reads the effect members, then (schema string permitting) "slope",
    /// "offset", "power" and "saturation".
    CDLNode(const Value& json, Node* parent);
    explicit CDLNode(const std::string& name);

    void accept(NodeVisitor& visitor) override;
    void leave(NodeVisitor& visitor) override;
    /// An element of its owner's "effects" or "layers".
    Placement placement() const override;
    void toJson(MemberWriter& writer) const override;

    std::array<double, 3> slope{{1, 1, 1}};
    std::array<double, 3> offset{{0, 0, 0}};
    std::array<double, 3> power{{1, 1, 1}};
    double saturation = 1;
};

} // namespace ZEM_0_81::rapidotio
