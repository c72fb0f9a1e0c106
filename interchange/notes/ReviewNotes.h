#pragma once

#include "outside/dmtree/CoSharedPtr.h"

#include <array>
#include <cstdint>
#include <string>

class DmAnnotationSettings;
class DmEffectSettings;

namespace ZEM_0_81::Interchange {

/// Markers as review notes. A marker, whatever format it came in (a standard
/// OTIO "Marker", an EDL's locator), is kept in the edit tree as a review note:
/// an annotation of its segment holding one text layer, whose one caption shows
/// over the marked range in the marker's colour. The layer's frame range is the
/// marked range in record frames; a note of no frame range of its own shows over
/// the whole segment. The annotation also keeps the marker as it came, as a
/// standard OTIO "Marker" (ForeignMembers::kMarkerId), so that a writer gives
/// it back as it was while the note still shows the same. Colours are those
/// OTIO names.
namespace ReviewNotes {

/// Red, green, blue and alpha.
using Rgba = std::array<float, 4>;

/// A colour OTIO names ("RED") and its components.
struct NamedColour {
    const char* name;
    Rgba rgba;
};

/// The colour of a marker that names none: green, as OTIO makes one.
constexpr Rgba kDefaultColour = {0.0f, 1.0f, 0.0f, 1.0f};

/// The colour OTIO names `name` (in any case), when it names one; null otherwise.
const NamedColour* namedColourOf(const std::string& name);

/// The colour a marker's colour name stands for (a name OTIO knows, in any
/// case), red, green, blue and alpha; false for another name.
bool namedColour(const std::string& name, std::array<float, 4>& rgba);

/// The name, in capitals, of the colour OTIO names nearest to `rgba` (the first
/// of the nearest, in the order PINK, RED, ORANGE, YELLOW, GREEN, CYAN, BLUE,
/// PURPLE, MAGENTA, BLACK, WHITE, TRANSPARENT).
const char* nearestColourName(const Rgba& rgba);

/// What a note shows of its marker.
struct Note {
    bool ranged = false;
    std::int32_t start = 0;
    std::uint32_t duration = 0;
    std::string caption;
    Rgba rgba = kDefaultColour;

    bool operator==(const Note& other) const {
        return ranged == other.ranged && start == other.start && duration == other.duration &&
               caption == other.caption && rgba == other.rgba;
    }
};

/// The note `annotation` shows, when it has the shape a marker's note has (one
/// text layer of one paragraph); false otherwise.
bool noteShown(const DmAnnotationSettings& annotation, Note& note);

/// The review note a marker becomes: an annotation holding one text layer of
/// one `caption` in `rgba`, over `duration` record frames from `start` (none of
/// its own when `duration` is 0).
CoSharedPtr<DmAnnotationSettings> reviewNote(const std::string& caption,
                                             const std::array<float, 4>& rgba, std::int32_t start,
                                             std::uint32_t duration);

/// True when `effect` is a review note that stands for a marker (it keeps one):
/// it is written as a marker, not as an effect.
bool isMarker(const DmEffectSettings& effect);

} // namespace ReviewNotes

} // namespace ZEM_0_81::Interchange
