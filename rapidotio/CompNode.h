#pragma once

#include "rapidotio/EffectNode.h"

#include "rapidotio/keys/CompKeys.h"

namespace ZEM_0_81::rapidotio {

/// "Comp.1": compositing with a blend mode and an opacity.
class CompNode final : public EffectNode {
public:
    using Parent = EffectNode;
    static constexpr const char* schema = keys::CompKeys::schema;
    static constexpr const char* typeWord = keys::CompKeys::typeWord;

    /// Reads the effect members, "blend_mode" and "opacity" (a double-stored
    /// number in float range). opacity is 0 when the document has none.
    CompNode(const Value& json, Node* parent);
    explicit CompNode(const std::string& name);

    void accept(NodeVisitor& visitor) override;
    void leave(NodeVisitor& visitor) override;
    /// An element of its owner's "effects" or "layers".
    Placement placement() const override;
    void toJson(MemberWriter& writer) const override;

    std::string blend_mode;
    float opacity = 0;
};

} // namespace ZEM_0_81::rapidotio
