#pragma once

#include "outside/dmtree/CoSharedPtr.h"
#include "outside/dmtree/DmAnimationChannel.h"
#include "outside/dmtree/DmString.h"
#include "outside/dmtree/DmTextParagraph.h"
#include "json/HandOver.h"

namespace ZEM_0_81::Json {

/// A new animation channel holding `value` as its one key frame, at time 0 with
/// the default interpolation: how the importer expresses a fixed value where the
/// edit tree expects an animated one.
CoSharedPtr<DmAnimationChannel> makeConstantChannel(float value);

/// A new, empty channel of the kind makeConstantChannel makes, held by nobody.
DmAnimationChannel* createChannel();
/// Adds the one key of a constant channel of `value` to `channel`.
void addConstantKey(DmAnimationChannel& channel, float value);

/// Stores a constant channel of `value` under `id` on `target`: compositing
/// settings (DmCompSettings), a text layer (DmTextLayer) or a text paragraph
/// (DmTextParagraph), each with its own ChannelId. The channel is handed to
/// `target` as it is made (see handOver) and then given its key.
template <class Target>
void setConstantChannel(Target& target, typename Target::ChannelId id, float value) {
    if (DmAnimationChannel* channel = handOver(
            createChannel(), [&](DmAnimationChannel* made) { target.setChannel(id, made); }))
        addConstantKey(*channel, value);
}

/// Stores `text` as the text attribute `id` of `paragraph`.
void setTextAttribute(DmTextParagraph& paragraph, DmTextParagraph::AttributId id, DmString text);

} // namespace ZEM_0_81::Json
