#include "interchange/otiostd/schemas/DocumentSchema.h"

#include "interchange/TimelineChoice.h"
#include "interchange/otiostd/timing/OtioTiming.h"

#include "composition/JsonException.h"
#include "interchange/otiostd/io/ChildGroups.h"
#include "interchange/otiostd/io/JsonInput.h"
#include "interchange/otiostd/kept/ForeignJson.h"
#include "interchange/otiostd/metadata/EditTreeNodes.h"
#include "interchange/otiostd/metadata/PropertyJson.h"
#include "interchange/otiostd/schemas/SchemaMembers.h"
#include "interchange/otiostd/schemas/TimelineSchema.h"

#include "outside/dmtree/DmCompositionNode.h"
#include "outside/dmtree/DmReelNode.h"
#include "rapidotio/DocumentMemory.h"

#include <optional>
#include <string>
#include <vector>

namespace ZEM_0_81::Interchange::DocumentSchema {

namespace {

constexpr const char* kCollectionZemSchema = "Root.1";
constexpr const char* kRoot = "root";
constexpr const char* kReels = "reels";

/// The members a collection's reader takes and its writer writes.
const std::vector<const char*> kCollectionKnown = {SchemaMembers::kChildren};

/// True when the root keeps what another tool wrote on a collection: the
/// document is then a collection again, whatever it holds.
bool keepsCollectionMembers(const DmRoot& root) {
    DmString text;
    return root.getPropertyValue(ForeignMembers::kMetadataId, eDmPropString, &text) == eDmSuccess ||
           root.getPropertyValue(ForeignMembers::kMembersId, eDmPropString, &text) == eDmSuccess;
}

/// The tree's reels, each with its compositions.
struct Layout {
    ChildGroups reels;
    std::vector<ChildGroups> compositions;

    std::size_t compositionCount() const {
        std::size_t count = 0;
        for (const ChildGroups& reel : compositions)
            count += reel.shown.size();
        return count;
    }
};

bool isPlainReel(const ChildGroups::Shown& reel, const ChildGroups& compositions) {
    return reel.node->getName().empty() && reel.node->getNbProperties() == 0 &&
           reel.before.empty() && compositions.after.empty();
}

/// True when the root needs no description: no name or properties, one plain
/// reel, nothing after it.
bool isPlainRoot(const DmRoot& root, const Layout& layout) {
    return root.getName().empty() && root.getNbProperties() == 0 && layout.reels.after.empty() &&
           layout.reels.shown.size() == 1 &&
           isPlainReel(layout.reels.shown.front(), layout.compositions.front());
}

void writeRootDescription(OtioWriter& writer, const DmRoot& root, const Layout& layout) {
    writer.key(kRoot);
    writer.beginObject();
    if (!root.getName().empty())
        writer.member(SchemaMembers::kName, root.getName());
    PropertyJson::write(writer, root);
    const bool oneFirstReel = layout.reels.shown.size() == 1 &&
                              isPlainReel(layout.reels.shown.front(), layout.compositions.front());
    if (!oneFirstReel) {
        writer.key(kReels);
        writer.beginArray();
        for (std::size_t r = 0; r < layout.reels.shown.size(); ++r) {
            const ChildGroups::Shown& reel = layout.reels.shown[r];
            writer.beginObject();
            if (!reel.node->getName().empty())
                writer.member(SchemaMembers::kName, reel.node->getName());
            PropertyJson::write(writer, *reel.node);
            EditTreeNodes::write(writer, EditTreeNodes::kBefore, reel.before);
            EditTreeNodes::write(writer, EditTreeNodes::kAfter, layout.compositions[r].after);
            writer.endObject();
        }
        writer.endArray();
    }
    EditTreeNodes::write(writer, EditTreeNodes::kAfter, layout.reels.after);
    writer.endObject();
}

void writeTimelines(OtioWriter& writer, const Layout& layout,
                    const std::function<void(OtioWriter&)>& more) {
    for (std::size_t r = 0; r < layout.reels.shown.size(); ++r) {
        for (const ChildGroups::Shown& composition : layout.compositions[r].shown)
            TimelineSchema::write(writer, static_cast<const DmCompositionNode&>(*composition.node),
                                  static_cast<std::uint32_t>(r), composition.before, more);
    }
}

// --- reading ---------------------------------------------------------------------------

/// A reel as the root's description has it.
struct ReelRead {
    CoSharedPtr<DmReelNode> reel;
    std::vector<CoSharedPtr<DmTreeNode>> before;
    std::vector<CoSharedPtr<DmTreeNode>> after;
};

/// The root described by `description` (a "root" member, entered), with its reels.
CoSharedPtr<DmRoot> readRoot(const Members& description, std::vector<ReelRead>& reels,
                             std::vector<CoSharedPtr<DmTreeNode>>& after) {
    const CoSharedPtr<DmRoot> root(DmRoot::create());
    DmString name;
    if (description.getString(SchemaMembers::kName, name))
        root->setName(name);
    PropertyJson::read(description, *root);
    if (const Value* described = description.arrayMember(kReels)) {
        const ReadContext::Scope scope(description.context(), kReels);
        for (rapidjson::SizeType i = 0; i < described->Size(); ++i) {
            const ReadContext::Scope element(description.context(), i);
            const Members reel(description, &(*described)[i]);
            ReelRead read;
            read.reel = DmReelNode::create();
            if (reel.getString(SchemaMembers::kName, name))
                read.reel->setName(name);
            PropertyJson::read(reel, *read.reel);
            read.before = EditTreeNodes::read(reel, EditTreeNodes::kBefore);
            read.after = EditTreeNodes::read(reel, EditTreeNodes::kAfter);
            reels.push_back(std::move(read));
        }
    }
    if (reels.empty())
        reels.push_back(ReelRead{CoSharedPtr<DmReelNode>(DmReelNode::create()), {}, {}});
    after = EditTreeNodes::read(description, EditTreeNodes::kAfter);
    return root;
}

[[noreturn]] void noTimeline(ReadContext& context, const std::string& found) {
    context.fail("no timeline: the document is " + found +
                 ", not a Timeline or a SerializableCollection holding one");
}

} // namespace

void write(OtioWriter& writer, const DmRoot& root) {
    Layout layout;
    layout.reels = ChildGroups::ofKind<DmReelNode>(root);
    for (const ChildGroups::Shown& reel : layout.reels.shown)
        layout.compositions.push_back(ChildGroups::ofKind<DmCompositionNode>(*reel.node));
    const std::size_t count = layout.compositionCount();
    if (count == 0)
        throw Json::Exception("the edit tree holds no composition in a reel, and standard OTIO "
                              "has no document without a timeline",
                              Status(Status::NoData));

    const bool plainRoot = isPlainRoot(root, layout);
    const auto describeRoot = [&](OtioWriter& out) { writeRootDescription(out, root, layout); };
    if (count == 1 && !keepsCollectionMembers(root)) {
        writeTimelines(writer, layout,
                       plainRoot ? std::function<void(OtioWriter&)>() : describeRoot);
        return;
    }
    SchemaMembers::start(writer, kCollectionSchema);
    SchemaMembers::startZem(writer, kCollectionZemSchema);
    if (!plainRoot)
        describeRoot(writer);
    SchemaMembers::endZem(writer, &root);
    writer.member(SchemaMembers::kName, root.getName());
    writer.key(SchemaMembers::kChildren);
    writer.beginArray();
    writeTimelines(writer, layout, {});
    writer.endArray();
    ForeignMembers::writeMembers(writer, root, kCollectionKnown);
    writer.endObject();
}

CoSharedPtr<DmRoot> read(ReadContext& context, const Value& document, const std::string& choice) {
    if (!document.IsObject())
        noTimeline(context, document.IsArray() ? "an array" : "not an object");
    const std::string schema = SchemaMembers::schemaOf(document);
    std::string type;
    int version = 0;
    if (!SchemaMembers::parseSchema(schema, type, version))
        noTimeline(context, schema.empty() ? "an object without \"OTIO_SCHEMA\""
                                           : "of schema \"" + schema + "\"");

    // The timelines, and the value holding the root's description.
    std::vector<std::pair<rapidjson::SizeType, const Value*>> timelines;
    if (type == TimelineSchema::kType) {
        timelines.emplace_back(0, &document);
    } else if (type == kCollectionType || type == kCollectionOldType) {
        const Members collection(context, &document, schema);
        SchemaMembers::reportUnread(collection, SchemaMembers::Unread::Kept);
        if (const Value* children = collection.arrayMember(SchemaMembers::kChildren)) {
            const ReadContext::Scope scope(context, SchemaMembers::kChildren);
            for (rapidjson::SizeType i = 0; i < children->Size(); ++i) {
                std::string childType;
                int childVersion = 0;
                const std::string childSchema = SchemaMembers::schemaOf((*children)[i]);
                if (SchemaMembers::parseSchema(childSchema, childType, childVersion) &&
                    childType == TimelineSchema::kType) {
                    timelines.emplace_back(i, &(*children)[i]);
                    continue;
                }
                const ReadContext::Scope element(context, i);
                context.lose(childSchema, "dropped: only the timelines of a collection are read");
            }
        }
        if (timelines.empty())
            noTimeline(context, "a collection without a timeline");
    } else {
        noTimeline(context, "of schema \"" + schema + "\"");
    }
    if (!choice.empty()) {
        std::vector<std::string> names;
        for (const auto& [index, timeline] : timelines) {
            const Value* name = OtioTiming::memberOf(*timeline, SchemaMembers::kName);
            names.emplace_back(name && name->IsString() ? name->GetString() : "");
        }
        std::size_t chosen = 0;
        std::string why;
        if (!chooseTimeline(choice, names, chosen, why))
            throw Json::Exception(why, Status(Status::NoData));
        timelines = {timelines[chosen]};
    }

    std::vector<ReelRead> reels;
    std::vector<CoSharedPtr<DmTreeNode>> after;
    CoSharedPtr<DmRoot> root;
    {
        const SchemaMembers::ZemScope zem(context, document, schema);
        const Value* description = zem.members().objectMember(kRoot);
        const ReadContext::Scope scope(context, kRoot);
        root = readRoot(Members(context, description, schema), reels, after);
    }
    if (type != TimelineSchema::kType)
        ForeignMembers::keep(Members(context, &document, schema), *root, kCollectionKnown);

    const bool inCollection = type != TimelineSchema::kType;
    for (const auto& [index, timeline] : timelines) {
        std::optional<ReadContext::Scope> children, element;
        if (inCollection) {
            children.emplace(context, SchemaMembers::kChildren);
            element.emplace(context, static_cast<std::size_t>(index));
        }
        TimelineSchema::CompositionRead read = TimelineSchema::read(context, *timeline);
        if (read.reel >= reels.size()) {
            const ReadContext::Scope metadata(context, SchemaMembers::kMetadata);
            const ReadContext::Scope zem(context, SchemaMembers::kZem);
            const ReadContext::Scope reel(context, TimelineSchema::kReel);
            context.lose(TimelineSchema::kSchema,
                         "placed in the first reel: the document describes no reel " +
                             std::to_string(read.reel));
            read.reel = 0;
        }
        DmReelNode& reel = *reels[read.reel].reel;
        for (const CoSharedPtr<DmTreeNode>& node : read.before)
            reel.addChild(node.get());
        reel.addComposition(read.composition.get());
    }
    for (ReelRead& reel : reels) {
        for (const CoSharedPtr<DmTreeNode>& node : reel.after)
            reel.reel->addChild(node.get());
        for (const CoSharedPtr<DmTreeNode>& node : reel.before)
            root->addChild(node.get());
        root->addReel(reel.reel.get());
    }
    for (const CoSharedPtr<DmTreeNode>& node : after)
        root->addChild(node.get());
    return root;
}

CoSharedPtr<DmRoot> readParsedWhole(const char* text, std::size_t length, const std::string& choice,
                                    LossReport& losses) {
    // The document is read once, front to back: what the readers have left of
    // it is handed back as the edit tree grows, and the rest goes before the
    // composition takes the tree over.
    rapidotio::DocumentMemory memory;
    rapidotio::Document document(&memory.allocator());
    parseInput(text, length, document);
    ReadContext context(losses, &memory);
    return read(context, document, choice);
}

CoSharedPtr<DmRoot> readLeavingItems(const char* text, std::size_t length,
                                     const std::string& choice, const TrackItems::Ahead& ahead,
                                     LossReport& losses) {
    try {
        rapidotio::DocumentMemory memory;
        rapidotio::Document skeleton(&memory.allocator());
        TrackItems items(text, length, ahead);
        if (!items.parse(skeleton))
            return {};
        ReadContext context(losses, &memory, &items);
        CoSharedPtr<DmRoot> root = read(context, skeleton, choice);
        items.checkUnread();
        return root;
    } catch (const NeedsWholeDocument&) {
    } catch (const Json::Exception&) {
    }
    return {};
}

} // namespace ZEM_0_81::Interchange::DocumentSchema
