#pragma once

// Facts about the edit tree that every reader of it shares: the product's
// export, the standard OTIO writer, the timeline view and the timing queries.
// Each is written here once, so that they cannot drift apart.

#include "outside/core/Rational.h"
#include "outside/core/Status.h"
#include "outside/dmtree/DmTypes.h"
#include "rapidotio/Node.h"

#include <optional>

class DmCompositionNode;
class DmEffectSettings;
class DmFrameResolution;
class DmRoot;
class DmString;

namespace ZEM_0_81::Json::EditTree {

/// The composition node that the timing queries, the timeline view and the
/// standard OTIO listing of transitions read: the first child of the root's
/// first child, when those are a reel and a composition node; null otherwise.
const DmCompositionNode* firstComposition(const DmRoot& root);

/// The rate a frame-rate text names (FPSUtils::getFPSFromString); on failure
/// `rate` is untouched and the status says why.
Status readRate(const DmString& fcm, Rational& rate);
/// The rate a frame-rate text names, or 0/1 when it names none.
Rational rateOf(const DmString& fcm);

/// Source positions of the edit tree (source-in, relative in, available in)
/// count as known only within ±21474836 frames; the importer marks an unknown
/// start with 2147483647, far outside.
constexpr double kKnownPositionLimit = 21474836.0;
inline bool isKnownPosition(double value) {
    return value >= -kKnownPositionLimit && value <= kKnownPositionLimit;
}

/// The kind of track a layer's media type makes: video, audio, or none for any
/// other (unset) type.
rapidotio::TrackKind trackKindOf(eDmTreeMediaType mediaType);

/// The kinds of effect settings the OTIO dialects carry, told apart in this
/// order (a settings object of several kinds is the first of them).
enum class EffectKind { Comp, AngularMask, Look, Annotation, Other };
EffectKind effectKindOf(const DmEffectSettings& effect);

/// The product's pixel aspect of a resolution: what remains of its frame ratio
/// (the picture's width over its height) once the pixel counts are divided out,
/// height x ratio / width, in single precision as the ratio is stored. None when
/// the ratio is unset or smaller than FLT_EPSILON in size, or when the pixel
/// counts cannot both be read, either is -1 or the width is not positive.
std::optional<float> pixelAspectOf(const DmFrameResolution& resolution);

} // namespace ZEM_0_81::Json::EditTree
