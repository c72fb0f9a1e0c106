#pragma once

#include "rapidotio/EffectNode.h"

#include "rapidotio/keys/AnnotationKeys.h"

namespace ZEM_0_81::rapidotio {

/// "Annotation.1": groups paint strokes and text captions, its children under
/// "layers".
class AnnotationNode final : public EffectNode {
public:
    using Parent = EffectNode;
    static constexpr const char* schema = keys::AnnotationKeys::schema;
    static constexpr const char* typeWord = keys::AnnotationKeys::typeWord;

    AnnotationNode(const Value& json, Node* parent);
    explicit AnnotationNode(const std::string& name);

    void accept(NodeVisitor& visitor) override;
    void leave(NodeVisitor& visitor) override;
    /// An element of its owner's "effects" or "layers".
    Placement placement() const override;
    void toJson(MemberWriter& writer) const override;
};

} // namespace ZEM_0_81::rapidotio
