#include "interchange/otiostd/metadata/EditTreeNodes.h"

#include "composition/JsonException.h"

#include "outside/dmtree/DmJsonImporter.h"
#include "outside/dmtree/DmTreeJsonBuilder.h"

#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <vector>

namespace ZEM_0_81::Interchange::EditTreeNodes {

namespace {

/// The compact text of `value`, written level by level from a stack of its own,
/// so that a value of any depth is written without recursion. False for a
/// non-finite number, which JSON cannot hold.
bool textOfValue(const Value& value, rapidjson::StringBuffer& text) {
    rapidjson::Writer<rapidjson::StringBuffer> json(text);
    // Each open array or object with the place of its next element or member.
    struct Open {
        const Value* container;
        rapidjson::SizeType next;
    };
    std::vector<Open> open;
    const Value* current = &value;
    for (;;) {
        if (current) {
            bool written = true;
            switch (current->GetType()) {
            case rapidjson::kArrayType:
                written = json.StartArray();
                open.push_back(Open{current, 0});
                break;
            case rapidjson::kObjectType:
                written = json.StartObject();
                open.push_back(Open{current, 0});
                break;
            default:
                // A scalar writes itself without recursing.
                written = current->Accept(json);
                break;
            }
            if (!written)
                return false;
            current = nullptr;
        }
        if (open.empty())
            return true;
        Open& top = open.back();
        if (top.container->IsArray()) {
            if (top.next < top.container->Size()) {
                current = &(*top.container)[top.next++];
                continue;
            }
            json.EndArray();
        } else {
            if (top.next < top.container->MemberCount()) {
                const auto member = top.container->MemberBegin() + top.next++;
                json.Key(member->name.GetString(), member->name.GetStringLength());
                current = &member->value;
                continue;
            }
            json.EndObject();
        }
        open.pop_back();
    }
}

} // namespace

void write(OtioWriter& writer, const char* key, const std::vector<const DmTreeNode*>& nodes,
           bool evenWhenEmpty) {
    if (nodes.empty() && !evenWhenEmpty)
        return;
    writer.key(key);
    writer.beginArray();
    for (const DmTreeNode* node : nodes) {
        DmString text;
        const DmStatus status = DmTreeJsonBuilder::generateStr(node, text);
        if (!status.ok())
            throw Json::Exception("the edit-tree node kept at " + writer.pointer() +
                                      " cannot be written: " + status.getMessage().str(),
                                  Status(Status::JsonGenerationFailed));
        rapidotio::Document document;
        document.Parse<rapidjson::kParseIterativeFlag | rapidjson::kParseFullPrecisionFlag>(
            text.str().c_str(), text.str().size());
        if (document.HasParseError())
            throw Json::Exception("the edit-tree node kept at " + writer.pointer() +
                                      " gave text that is not JSON",
                                  Status(Status::JsonGenerationFailed));
        writer.json(document, OtioWriter::NonFinite::Fail);
    }
    writer.endArray();
}

std::vector<CoSharedPtr<DmTreeNode>> read(const Members& members, const char* key) {
    std::vector<CoSharedPtr<DmTreeNode>> nodes;
    const Value* documents = members.arrayMember(key);
    if (!documents)
        return nodes;
    const ReadContext::Scope scope(members.context(), key);
    for (rapidjson::SizeType i = 0; i < documents->Size(); ++i) {
        const ReadContext::Scope element(members.context(), i);
        rapidjson::StringBuffer text;
        DmTreeNode* node = nullptr;
        DmStatus status = DmStatus::failure("not an edit-tree JSON document");
        if ((*documents)[i].IsObject() && textOfValue((*documents)[i], text))
            status = DmJsonImporter::importNodeFromStr(text.GetString(), node);
        if (status.ok() && node) {
            nodes.emplace_back(node);
            continue;
        }
        members.context().lose(members.schema(),
                               "edit-tree node dropped: " + status.getMessage().str());
    }
    return nodes;
}

} // namespace ZEM_0_81::Interchange::EditTreeNodes
