#include "rapidotio/NodeFactory.h"

#include "rapidotio/AngularMaskNode.h"
#include "rapidotio/AnnotationNode.h"
#include "rapidotio/CDLNode.h"
#include "rapidotio/ClipNode.h"
#include "rapidotio/CompNode.h"
#include "rapidotio/GapNode.h"
#include "rapidotio/PaintNode.h"
#include "rapidotio/StackNode.h"
#include "rapidotio/TextNode.h"
#include "rapidotio/TimelineNode.h"
#include "rapidotio/TrackNode.h"

#include <cstddef>
#include <cstring>

namespace ZEM_0_81::rapidotio {

namespace {

template <class T> SharedPtr<Node> make(const Value& object, Node* parent) {
    return SharedPtr<Node>(new T(object, parent));
}

struct SchemaEntry {
    /// The schema the node class reads; its text before the dot is the type word.
    const char* schema;
    const char* foundMessage;
    SharedPtr<Node> (*create)(const Value&, Node*);
};

// Compared in this order; the messages are the reader's own texts as they stand.
const SchemaEntry schemaTable[] = {
    {TimelineNode::schema, "Found Timeline %s\n", &make<TimelineNode>},
    {StackNode::schema, "Found Stack %s\n", &make<StackNode>},
    {TrackNode::schema, "Found Track %s\n", &make<TrackNode>},
    {ClipNode::schema, "Found Clip %s\n", &make<ClipNode>},
    {CompNode::schema, "Found Comp %s\n", &make<CompNode>},
    {AngularMaskNode::schema, "Found AngularMark %s\n", &make<AngularMaskNode>},
    {CDLNode::schema, "Found CDL %s\n", &make<CDLNode>},
    {PaintNode::schema, "Found Paint %s\n", &make<PaintNode>},
    {TextNode::schema, "Found Text %s\n", &make<TextNode>},
    {AnnotationNode::schema, "Found Annotation %s\n", &make<AnnotationNode>},
    {GapNode::schema, "Found Gap %s\n", &make<GapNode>},
};

/// True when the `length` bytes at `typeWord` are the text of `schema` before
/// its dot.
bool isTypeWordOf(const char* typeWord, std::size_t length, const char* schema) {
    return std::strncmp(schema, typeWord, length) == 0 && schema[length] == '.';
}

} // namespace

SharedPtr<Node> createNode(const Value& object, Node* parent) {
    // The schema text is read where the DOM holds it, up to its first NUL byte
    // as a copy would be: no node needs a copy of it.
    const char* schema = "";
    takeText(findMember(object, keys::ObjectKeys::schema), keys::ObjectKeys::schema, schema);

    const char* const dot = std::strchr(schema, '.');
    if (!dot) {
        debugPrint("Could not determine schema version %s\n", schema);
        return nullptr;
    }
    if (std::strcmp(dot + 1, "1") != 0) {
        // The version text is printed with its leading dot and no line break.
        debugPrint("Unsupported schema version %s", dot);
        return nullptr;
    }

    const std::size_t typeWordLength = static_cast<std::size_t>(dot - schema);
    for (const SchemaEntry& entry : schemaTable) {
        if (isTypeWordOf(schema, typeWordLength, entry.schema)) {
            debugPrint(entry.foundMessage, schema);
            return entry.create(object, parent);
        }
    }
    debugPrint("Unhandled schema %s\n", schema);
    return nullptr;
}

} // namespace ZEM_0_81::rapidotio
