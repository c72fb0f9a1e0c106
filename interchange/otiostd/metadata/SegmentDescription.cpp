#include "interchange/otiostd/metadata/SegmentDescription.h"

#include "interchange/otiostd/metadata/EditTreeNodes.h"
#include "interchange/otiostd/metadata/PropertyJson.h"

namespace ZEM_0_81::Interchange::SegmentDescription {

Needs needsOf(const DmSegmentNode& segment, const ItemPlacement& placement,
              eDmTreeMediaType defaultMediaType, bool recordLengthExact, bool segmentIdShown) {
    Needs needs;
    needs.recordIn = placement.writeRecordIn;
    needs.recordLength = !recordLengthExact;
    needs.mediaType = segment.getMediaType() != defaultMediaType;
    needs.segmentId = !segmentIdShown && !segment.getSegmentId().empty();
    needs.properties = segment.getNbProperties() != 0;
    needs.before = placement.before != nullptr;
    needs.children = segment.getNbChildren() != 0;
    return needs;
}

void write(OtioWriter& writer, const DmSegmentNode& segment, const ItemPlacement& placement,
           const Needs& needs) {
    if (needs.recordIn)
        writer.member(kRecordIn, segment.getRecIn());
    if (needs.recordLength)
        writer.member(kRecordLength, segment.getRecLength());
    if (needs.mediaType)
        writer.memberInteger(kMediaType, segment.getMediaType());
    if (needs.segmentId)
        writer.member(kSegmentId, segment.getSegmentId());
    if (needs.properties)
        PropertyJson::write(writer, segment);
    if (needs.before)
        EditTreeNodes::write(writer, EditTreeNodes::kBefore, *placement.before, true);
    if (needs.children) {
        std::vector<const DmTreeNode*> children;
        for (std::uint32_t i = 0; i < segment.getNbChildren(); ++i)
            children.push_back(segment.getChild(i));
        EditTreeNodes::write(writer, EditTreeNodes::kAfter, children);
    }
}

void read(const Members& zem, Read& values, ItemRead& item) {
    zem.getDouble(kRecordIn, values.recordIn);
    values.recordLengthGiven = zem.getDouble(kRecordLength, values.recordLength);
    std::int32_t mediaType = 0;
    if (zem.getInt(kMediaType, mediaType))
        values.mediaType = static_cast<eDmTreeMediaType>(mediaType);
    zem.getString(kSegmentId, values.segmentId);
    if (zem.arrayMember(EditTreeNodes::kBefore)) {
        item.hasBefore = true;
        item.before = EditTreeNodes::read(zem, EditTreeNodes::kBefore);
    }
    values.properties.read(zem);
    values.after = EditTreeNodes::read(zem, EditTreeNodes::kAfter);
}

void complete(const Read& values, DmSegmentNode& segment) {
    values.properties.applyTo(segment);
    for (const CoSharedPtr<DmTreeNode>& child : values.after)
        segment.addChild(child.get());
}

} // namespace ZEM_0_81::Interchange::SegmentDescription
