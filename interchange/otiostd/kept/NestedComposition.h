#pragma once

#include "interchange/otiostd/io/OtioWriter.h"
#include "interchange/otiostd/io/ReadContext.h"
#include "interchange/otiostd/timing/ItemPlacement.h"

#include <string>

class DmSourceNode;

namespace ZEM_0_81::Interchange {

/// A stack or a track inside a track ("Stack.1", "Track.1", "Sequence.1"), as
/// editing applications write a nested sequence or a compound clip. A layer of
/// the edit tree holds segments only, so the nested composition comes in as one
/// offline source in its place: named as it is, lasting what it lasts in the
/// outer track (its trimmed range, as OTIO times it), and playing that range of
/// a media input without media. That it was approximated, and every clip,
/// transition, nested composition and marker inside it, are reported.
///
/// Its own name, effects and markers are the source's, read as a clip's are (the
/// markers as review notes). The rest of the composition is kept as it came on
/// the source (ForeignMembers::kNestedId, a null in the place of each of those
/// three), with the length the source was given, and written back in its place
/// with the source's name, effects and notes, as long as the source still plays
/// what it was read as or a part of it: its one input without media, no identity
/// or property of a host's, placed where the reader places it. A source a host
/// trimmed (a later source-in, fewer frames) gives the composition a
/// "source_range" of what it plays now. A source changed otherwise (longer,
/// slipped before its start) is written as the offline clip it is.
namespace NestedComposition {

/// Reads the nested composition `item` (entered by the caller) at `cursor`, which
/// it advances.
ItemRead read(ReadContext& context, const Value& item, const std::string& schema,
              LayerCursor& cursor);

/// Writes the nested composition `source` stands for, as it came, and returns
/// true; false, writing nothing, when `source` stands for none or has changed.
bool writeKept(OtioWriter& writer, const DmSourceNode& source, const ItemPlacement& placement);

} // namespace NestedComposition

} // namespace ZEM_0_81::Interchange
