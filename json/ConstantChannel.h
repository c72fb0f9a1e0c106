#pragma once

#include "outside/dmtree/CoSharedPtr.h"
#include "outside/dmtree/DmAnimationChannel.h"
#include "outside/dmtree/DmString.h"
#include "outside/dmtree/DmTextParagraph.h"

namespace ZEM_0_81::Json {

/// A new animation channel holding `value` as its one key frame, at time 0 with
/// the default interpolation: how the importer expresses a fixed value where the
/// edit tree expects an animated one.
CoSharedPtr<DmAnimationChannel> makeConstantChannel(float value);

/// Stores a constant channel of `value` under `id` on `target`: compositing
/// settings (DmCompSettings), a text layer (DmTextLayer) or a text paragraph
/// (DmTextParagraph), each with its own ChannelId.
template <class Target>
void setConstantChannel(Target& target, typename Target::ChannelId id, float value) {
    const CoSharedPtr<DmAnimationChannel> channel = makeConstantChannel(value);
    target.setChannel(id, channel.get());
}

/// Stores `text` as the text attribute `id` of `paragraph`.
void setTextAttribute(DmTextParagraph& paragraph, DmTextParagraph::AttributId id,
                      const DmString& text);

} // namespace ZEM_0_81::Json
