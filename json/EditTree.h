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

/// The product's OTIO dialect counts source positions of the edit tree
/// (source-in, relative in, available in) as known only within ±21474836
/// frames, as it writes them; its importer marks an unknown start with
/// kUnknownPosition, far outside.
constexpr double kKnownPositionLimit = 21474836.0;
constexpr double kUnknownPosition = 2147483647.0;
inline bool isKnownPosition(double value) {
    return value >= -kKnownPositionLimit && value <= kKnownPositionLimit;
}

/// True when `value` is a source position a reader set, of any size: every
/// value but the product importer's mark of an unknown start, one that is not
/// finite, and one a double does not count in whole frames (2^53 and more).
/// Other dialects keep positions of any size (48 kHz sound at a time of day,
/// 172800000 samples at 01:00:00:00); the views of the tree show them.
inline bool isSetPosition(double value) {
    constexpr double kExactLimit = 9007199254740992.0; // 2^53
    return value != kUnknownPosition && value > -kExactLimit && value < kExactLimit;
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
