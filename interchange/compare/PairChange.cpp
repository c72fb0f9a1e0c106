#include "interchange/compare/PairChange.h"

#include "interchange/compare/ClipFrames.h"
#include "interchange/compare/VersionToken.h"

#include <algorithm>
#include <optional>

namespace ZEM_0_81::Interchange::Compare {

namespace {

using Change = CutComparison::Change;
using Also = CutComparison::Also;

/// Another version of the shot's media: other media paths or, where either
/// has none, names that differ in their version only.
bool isOtherVersion(const TimelineItem& a, const TimelineItem& b) {
    const std::string pathA = mediaPathOf(a);
    const std::string pathB = mediaPathOf(b);
    if (!pathA.empty() && !pathB.empty())
        return pathA != pathB;
    return a.name != b.name && !shotNameOf(a).empty() && shotNameOf(a) == shotNameOf(b);
}

/// The effects compared: all but looks (compared on their own) and
/// annotations (notes and paint are not compared).
bool sameEffects(const TimelineItem& a, const TimelineItem& b) {
    const auto compared = [](const TimelineEffect& effect) {
        return effect.kind != TimelineEffect::Kind::Look &&
               effect.kind != TimelineEffect::Kind::Annotation;
    };
    auto x = a.effects.begin();
    auto y = b.effects.begin();
    while (true) {
        x = std::find_if(x, a.effects.end(), compared);
        y = std::find_if(y, b.effects.end(), compared);
        if (x == a.effects.end() || y == b.effects.end())
            return x == a.effects.end() && y == b.effects.end();
        if (x->kind != y->kind || x->name != y->name || x->muted != y->muted)
            return false;
        ++x;
        ++y;
    }
}

bool sameLook(const ClipLookValues* a, const ClipLookValues* b) {
    if (!a || !b)
        return !a && !b;
    return *a == *b;
}

/// The length of `clip`'s source duration at `rate`, to the nearest frame.
std::int64_t lengthAt(const TimelineItem& clip, const Rational& rate) {
    return rescale(wholeFrames(clip.source.duration), clip.source.rate, rate);
}

/// True when `also` names the same change as `change`.
bool names(Also also, Change change) {
    switch (also) {
    case Also::Trimmed:
        return change == Change::Trimmed;
    case Also::Slipped:
        return change == Change::Slipped;
    case Also::Version:
        return change == Change::Version;
    case Also::Moved:
        return change == Change::Moved;
    default:
        return false;
    }
}

} // namespace

CutComparison::ClipChange changeOf(const ComparedClip& oldClip, const ComparedClip& newClip) {
    const TimelineItem& before = *oldClip.place->clip;
    const TimelineItem& after = *newClip.place->clip;
    CutComparison::ClipChange change;
    change.oldItem = oldClip.place->item;
    change.newItem = newClip.place->item;
    change.shift = newClip.place->offset - oldClip.place->offset;

    const Rational& rate = after.source.rate;
    const std::optional<SourceSpan> was = sourceSpanAt(before, rate);
    const std::optional<SourceSpan> is = sourceSpanAt(after, rate);
    bool trimmed = false;
    bool slipped = false;
    if (was && is) {
        change.head = was->start - is->start;
        change.tail = is->end - was->end;
        trimmed = was->length() != is->length();
        slipped = !trimmed && change.head != 0;
    } else {
        change.tail = lengthAt(after, rate) - lengthAt(before, rate);
        trimmed = change.tail != 0;
    }

    // In the order of Also; the first of Version, Trimmed, Slipped, Moved
    // that applies is the change.
    const bool applies[] = {trimmed,
                            slipped,
                            isOtherVersion(before, after),
                            change.shift != 0,
                            before.speed != after.speed,
                            !sameLook(oldClip.look, newClip.look),
                            !sameEffects(before, after),
                            before.enabled != after.enabled};
    const auto has = [&](Also also) { return applies[static_cast<int>(also)]; };
    change.change = has(Also::Version)   ? Change::Version
                    : has(Also::Trimmed) ? Change::Trimmed
                    : has(Also::Slipped) ? Change::Slipped
                    : has(Also::Moved)   ? Change::Moved
                                         : Change::Same;
    for (int i = 0; i < static_cast<int>(sizeof applies / sizeof applies[0]); ++i) {
        const Also also = static_cast<Also>(i);
        if (applies[i] && !names(also, change.change))
            change.also.push_back(also);
    }
    return change;
}

CutComparison::ClipChange unpaired(const CutClip& clip, bool isNew) {
    CutComparison::ClipChange change;
    change.change = isNew ? Change::Added : Change::Removed;
    (isNew ? change.newItem : change.oldItem) = clip.item;
    return change;
}

} // namespace ZEM_0_81::Interchange::Compare
