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

#include <cstring>
#include <string>

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

/// True when `typeWord` is the text of `schema` before its dot.
bool isTypeWordOf(const std::string& typeWord, const char* schema) {
    return std::strncmp(schema, typeWord.c_str(), typeWord.size()) == 0 &&
           schema[typeWord.size()] == '.';
}

} // namespace

SharedPtr<Node> createNode(const Value& object, Node* parent) {
    std::string schema;
    getString(object, keys::ObjectKeys::schema, schema);

    const std::string::size_type dot = schema.find('.');
    if (dot == std::string::npos) {
        debugPrint("Could not determine schema version %s\n", schema.c_str());
        return nullptr;
    }
    if (schema.compare(dot + 1, std::string::npos, "1") != 0) {
        // The version text is printed with its leading dot and no line break.
        debugPrint("Unsupported schema version %s", schema.c_str() + dot);
        return nullptr;
    }

    const std::string typeWord = schema.substr(0, dot);
    for (const SchemaEntry& entry : schemaTable) {
        if (isTypeWordOf(typeWord, entry.schema)) {
            debugPrint(entry.foundMessage, schema.c_str());
            return entry.create(object, parent);
        }
    }
    debugPrint("Unhandled schema %s\n", schema.c_str());
    return nullptr;
}

} // namespace ZEM_0_81::rapidotio
