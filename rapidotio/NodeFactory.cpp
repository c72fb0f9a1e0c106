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

#include <string>

namespace ZEM_0_81::rapidotio {

namespace {

template <class T> SharedPtr<Node> make(const Value& object, Node* parent) {
    return SharedPtr<Node>(new T(object, parent));
}

struct SchemaEntry {
    const char* typeWord;
    const char* foundMessage;
    SharedPtr<Node> (*create)(const Value&, Node*);
};

// Compared in this order; the messages are the reader's own texts as they stand.
const SchemaEntry schemaTable[] = {
    {"Timeline", "Found Timeline %s\n", &make<TimelineNode>},
    {"Stack", "Found Stack %s\n", &make<StackNode>},
    {"Track", "Found Track %s\n", &make<TrackNode>},
    {"Clip", "Found Clip %s\n", &make<ClipNode>},
    {"Comp", "Found Comp %s\n", &make<CompNode>},
    {"AngularMask", "Found AngularMark %s\n", &make<AngularMaskNode>},
    {"CDL", "Found CDL %s\n", &make<CDLNode>},
    {"Paint", "Found Paint %s\n", &make<PaintNode>},
    {"Text", "Found Text %s\n", &make<TextNode>},
    {"Annotation", "Found Annotation %s\n", &make<AnnotationNode>},
    {"Gap", "Found Gap %s\n", &make<GapNode>},
};

} // namespace

SharedPtr<Node> createNode(const Value& object, Node* parent) {
    std::string schema;
    getString(object, "OTIO_SCHEMA", schema);

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
        if (typeWord == entry.typeWord) {
            debugPrint(entry.foundMessage, schema.c_str());
            return entry.create(object, parent);
        }
    }
    debugPrint("Unhandled schema %s\n", schema.c_str());
    return nullptr;
}

} // namespace ZEM_0_81::rapidotio
