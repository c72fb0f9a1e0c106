#pragma once

#include "interchange/kept/ForeignMembers.h"
#include "interchange/otiostd/io/OtioWriter.h"
#include "interchange/otiostd/io/ReadContext.h"
#include "interchange/otiostd/timing/TimeSchema.h"

#include <string>
#include <vector>

class DmPropertySet;

namespace ZEM_0_81::Interchange {

/// What ForeignMembers keeps, taken from a standard OTIO document as it is read
/// and written back into one: the members an object's reader does not take,
/// the kept effects, markers and transitions of an item, nested compositions.
namespace ForeignMembers {

/// Whether the edit-tree object holds the OTIO object's "name" itself.
enum class Name { Held, Kept };

/// Keeps on `target` the metadata members of `object` other than "zem" and its
/// members that are neither null nor among `known`; "name" too, unless empty,
/// when `name` is Name::Kept (an object the edit tree gives no name, such as a
/// media input).
void keep(const Members& object, DmPropertySet& target, const std::vector<const char*>& known,
          Name name = Name::Held);

/// Writes the kept metadata members of `object` inside the open "metadata".
void writeMetadata(OtioWriter& writer, const DmPropertySet& object);
/// Writes the kept members of `object` that are not among `known` (the members
/// the writer writes itself) inside the open object.
void writeMembers(OtioWriter& writer, const DmPropertySet& object,
                  const std::vector<const char*>& known);
/// Writes the effects `object` keeps (Leftovers) as the next elements of an open array.
void writeEffects(OtioWriter& writer, const DmPropertySet& object);
/// Writes the markers `object` keeps (Leftovers) as the next elements of an open array.
void writeMarkers(OtioWriter& writer, const DmPropertySet& object);
/// Writes the transitions `object` keeps (KeptTransitions) as the next elements
/// of an open array.
void writeTransitions(OtioWriter& writer, const DmPropertySet& object);

/// Keeps the nested composition `item` on `target`, the offline source read for
/// it with `length` frames and its range starting at `start` (kNestedId): its
/// members as they came but for those named in `held` (what the source holds
/// instead), kept as nulls in their places or, when absent, after the others,
/// and, when `range` is given, with that "source_range" (what a trim of its
/// track shows of it). False, keeping nothing, when it is nested too deeply.
bool keepNested(const Value& item, const std::vector<const char*>& held, double length,
                const RationalTime& start, DmPropertySet& target, const TimeRange* range = nullptr);
/// The nested composition `object` keeps, with the length and start its source
/// was read with (a start of rate 0 when it was kept without one); false when it
/// keeps none.
bool keptNested(const DmPropertySet& object, double& length, RationalTime& start,
                rapidotio::Document& kept, const Value*& item);

/// Writes the JSON text `text` as the next value. Throws Json::Exception with
/// JsonGenerationFailed when it is not JSON or nested deeper than kMaxDepth.
void writeText(OtioWriter& writer, const std::string& text);

} // namespace ForeignMembers

} // namespace ZEM_0_81::Interchange
