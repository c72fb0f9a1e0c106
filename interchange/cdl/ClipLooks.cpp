#include "interchange/cdl/ClipLooks.h"

#include "interchange/cdl/ClipPlace.h"

#include "outside/dmtree/CoSharedPtr.h"
#include "outside/dmtree/DmLookSettings.h"
#include "outside/dmtree/DmSegmentNode.h"

#include <algorithm>
#include <iterator>

namespace ZEM_0_81::Interchange::Cdl {

LookChange setLook(DmSegmentNode& segment, const AscCdl::Look& values) {
    LookChange change;
    DmLookSettings* look = lookOf(segment);
    change.hadLook = look != nullptr;
    if (!look) {
        const CoSharedPtr<DmLookSettings> added(DmLookSettings::create());
        segment.addEffect(added.get());
        look = added.get();
    }
    change.changed = !change.hadLook || valuesOf(*look) != values;
    std::copy(values.slope.begin(), values.slope.end(), look->slope);
    std::copy(values.offset.begin(), values.offset.end(), look->offset);
    std::copy(values.power.begin(), values.power.end(), look->power);
    look->saturation = values.saturation;
    return change;
}

std::vector<AscCdl::ClipLook> clipLooks(const TimelineView& view,
                                        const TimelineSegments& segments) {
    std::vector<AscCdl::ClipLook> looks;
    for (std::size_t t = 0; t < view.tracks.size(); ++t) {
        const std::vector<TimelineItem>& items = view.tracks[t].items;
        for (std::size_t i = 0; i < items.size(); ++i) {
            const DmLookSettings* look = items[i].isClip() ? lookOf(*segments[t][i]) : nullptr;
            if (!look)
                continue;
            AscCdl::ClipLook clip;
            clip.track = t;
            clip.item = i;
            clip.name = items[i].name;
            clip.record = items[i].record;
            const RecordTimecodes timecodes = recordTimecodes(clip.record, view.rate);
            clip.recordIn = timecodes.in;
            clip.recordOut = timecodes.out;
            for (const TimelineMedia& media : items[i].media)
                if (!media.path.empty())
                    clip.media.push_back(media.path);
            clip.look = valuesOf(*look);
            clip.muted = look->isMuted();
            looks.push_back(std::move(clip));
        }
    }
    return looks;
}

} // namespace ZEM_0_81::Interchange::Cdl
