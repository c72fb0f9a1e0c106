#pragma once

#include "interchange/ItemPlacement.h"
#include "interchange/ReadContext.h"

#include <string>

namespace ZEM_0_81::Interchange {

/// A stack or a track inside a track ("Stack.1", "Track.1", "Sequence.1"), as
/// editing applications write a nested sequence or a compound clip. A layer of
/// the edit tree holds segments only, so the nested composition comes in as one
/// offline source in its place: named as it is, lasting what it lasts in the
/// outer track (its trimmed range, as OTIO times it), and playing that range of
/// a media input without media. That it was approximated, and every clip,
/// transition, nested composition and marker inside it, are reported.
namespace NestedComposition {

/// Reads the nested composition `item` (entered by the caller) at `cursor`, which
/// it advances.
ItemRead read(ReadContext& context, const Value& item, const std::string& schema,
              LayerCursor& cursor);

} // namespace NestedComposition

} // namespace ZEM_0_81::Interchange
