#pragma once

#include "rapidotio/Node.h"

#include "rapidotio/MemberWriter.h"
#include "rapidotio/TimeValues.h"
#include "rapidotio/keys/EffectKeys.h"

namespace ZEM_0_81::rapidotio {

/// What every effect has. Effects hang under clips and gaps ("effects") and
/// under other effects ("layers"); their own nested effects are read from and
/// written to "layers". Never created from a schema of its own.
class EffectNode : public Node {
public:
    using Parent = Node;

    /// Reads "visible", "layer_range" and "effect_name".
    EffectNode(const Value& json, Node* parent);
    /// visible, unset layer_range, empty effect_name (the effect classes set their
    /// type word).
    explicit EffectNode(const std::string& name);

    const char* childrenKey() const override;

    /// True when the parent is an effect.
    bool isNested() const;

    bool visible = true;
    TimeRange layer_range;
    std::string effect_name;

protected:
    /// Writes the common members: "visible", "name", "effect_name", "layers" (the
    /// children's place, left out when none of them writes anything) and
    /// "layer_range" (only when nested with a valid range).
    void writeEffectMembers(MemberWriter& writer) const;
    /// True when "OTIO_SCHEMA" of json is exactly `expected` (silent lookup).
    bool hasSchema(const char* expected) const;
};

} // namespace ZEM_0_81::rapidotio
