#pragma once

#include "rapidotio/LayerNode.h"

#include "rapidotio/keys/TextKeys.h"

#include <string>
#include <vector>

namespace ZEM_0_81::rapidotio {

/// "Text.1": a text caption of an annotation.
class TextNode final : public LayerNode {
public:
    using Parent = LayerNode;
    static constexpr const char* schema = keys::TextKeys::schema;
    static constexpr const char* typeWord = keys::TextKeys::typeWord;

    /// Reads the layer members, then (schema string permitting) "text",
    /// "justification", "fontName", "fontSize", "width", "orientation",
    /// "position", "rgba". The numbers are 0 when the document has none.
    TextNode(const Value& json, Node* parent);
    explicit TextNode(const std::string& name, std::string text = {},
                      std::string justification = {}, std::string fontName = {},
                      double fontSize = 0, double width = 0, double orientation = 0,
                      double position_x = 0, double position_y = 0, std::vector<float> rgba = {},
                      bool hold = false, bool ghost = false, std::uint32_t ghost_before = 3,
                      std::uint32_t ghost_after = 3);

    void accept(NodeVisitor& visitor) override;
    void leave(NodeVisitor& visitor) override;
    /// An element of its owner's "effects" or "layers".
    Placement placement() const override;
    void toJson(MemberWriter& writer) const override;

    std::string text;
    std::string justification;
    std::string fontName;
    double fontSize = 0;
    double width = 0;
    double orientation = 0;
    double position_x = 0;
    double position_y = 0;
    std::vector<float> rgba;
};

} // namespace ZEM_0_81::rapidotio
