#include "interchange/compare/ShotMatches.h"

#include "interchange/clips/MediaPaths.h"
#include "interchange/compare/ClipFrames.h"
#include "interchange/compare/VersionToken.h"

#include <algorithm>
#include <initializer_list>
#include <optional>
#include <unordered_map>

namespace ZEM_0_81::Interchange::Compare {

namespace {

/// The most candidates a clip takes from the clips of one key whose frames
/// began before its own.
constexpr std::size_t kMostOverlapping = 8;

/// What names a shot, each kind its own key space.
enum class KeyKind : char { Media = 'm', VersionlessMedia = 'v', Name = 'n', Reel = 'r' };

/// The clips of each cut that share one key.
struct Bucket {
    KeyKind kind = KeyKind::Media;
    std::vector<std::size_t> olds;
    std::vector<std::size_t> news;
};

class Buckets {
public:
    void add(KeyKind kind, const std::string& key, std::size_t clip, bool isNew) {
        if (key.empty())
            return;
        std::string full(1, static_cast<char>(kind));
        full += key;
        Bucket& bucket = m_buckets[full];
        bucket.kind = kind;
        (isNew ? bucket.news : bucket.olds).push_back(clip);
    }

    void addClip(const TimelineItem& clip, std::size_t index, bool isNew) {
        const std::string media = mediaPathOf(clip);
        add(KeyKind::Media, media, index, isNew);
        // Also for a path without a token, which another version's path
        // without its token may be.
        add(KeyKind::VersionlessMedia, withoutVersion(media), index, isNew);
        const std::string name = shotNameOf(clip);
        add(KeyKind::Name, name, index, isNew);
        // A reel names a shot only in a cut that names it no other way.
        if (media.empty() && name.empty())
            add(KeyKind::Reel, clip.reel, index, isNew);
    }

    template <class Visit> void each(const Visit& visit) const {
        for (const auto& entry : m_buckets)
            if (!entry.second.olds.empty() && !entry.second.news.empty())
                visit(entry.second);
    }

private:
    std::unordered_map<std::string, Bucket> m_buckets;
};

/// A clip of a bucket with its source frames at the bucket's rate.
struct Placed {
    std::size_t clip = 0;
    SourceSpan span;
    bool isNew = false;
};

class CandidateList {
public:
    CandidateList(const std::vector<CutClip>& oldClips, const std::vector<CutClip>& newClips)
        : m_old(oldClips), m_new(newClips) {}

    /// The frames the two clips share, at the new clip's source rate.
    std::int64_t sharedOf(std::size_t oldClip, std::size_t newClip) const {
        const TimelineItem& later = *m_new[newClip].clip;
        const std::optional<SourceSpan> a = sourceSpanAt(*m_old[oldClip].clip, later.source.rate);
        const std::optional<SourceSpan> b = sourceSpanAt(later, later.source.rate);
        return a && b ? sharedFrames(*a, *b) : 0;
    }

    /// How far apart in time the two clips of `candidate` lie.
    std::int64_t apart(const Candidate& candidate) const {
        const std::int64_t a = m_old[candidate.oldClip].offset;
        const std::int64_t b = m_new[candidate.newClip].offset;
        return a > b ? a - b : b - a;
    }

    void add(std::size_t oldClip, std::size_t newClip, std::int64_t shared) {
        m_found.push_back(Candidate{oldClip, newClip, shared});
    }

    /// The pairs of `bucket` that share frames, found in one sweep over their
    /// source frames in order: only clips that overlap are compared.
    void addOverlapping(const Bucket& bucket) {
        const Rational rate = m_new[bucket.news.front()].clip->source.rate;
        std::vector<Placed> placed;
        const auto place = [&](std::size_t clip, const TimelineItem& item, bool isNew) {
            if (const std::optional<SourceSpan> span = sourceSpanAt(item, rate))
                if (span->length() > 0)
                    placed.push_back(Placed{clip, *span, isNew});
        };
        for (const std::size_t clip : bucket.olds)
            place(clip, *m_old[clip].clip, false);
        for (const std::size_t clip : bucket.news)
            place(clip, *m_new[clip].clip, true);
        std::sort(placed.begin(), placed.end(),
                  [](const Placed& a, const Placed& b) { return a.span.start < b.span.start; });
        // The clips of each cut whose frames have begun and not yet ended.
        std::vector<const Placed*> openOld, openNew;
        for (const Placed& one : placed) {
            for (std::vector<const Placed*>* side : {&openOld, &openNew})
                side->erase(
                    std::remove_if(side->begin(), side->end(),
                                   [&](const Placed* p) { return p->span.end <= one.span.start; }),
                    side->end());
            std::vector<Candidate> found;
            for (const Placed* other : one.isNew ? openOld : openNew) {
                const std::size_t oldClip = one.isNew ? other->clip : one.clip;
                const std::size_t newClip = one.isNew ? one.clip : other->clip;
                const std::int64_t shared = sharedOf(oldClip, newClip);
                if (shared > 0)
                    found.push_back(Candidate{oldClip, newClip, shared});
            }
            // Many clips of one key over the same frames (one graphic used
            // throughout) would pair each with each: a clip keeps those it
            // shares the most frames with, the nearest in time first.
            if (found.size() > kMostOverlapping) {
                std::nth_element(found.begin(), found.begin() + kMostOverlapping - 1, found.end(),
                                 [&](const Candidate& a, const Candidate& b) {
                                     if (a.shared != b.shared)
                                         return a.shared > b.shared;
                                     return apart(a) < apart(b);
                                 });
                found.resize(kMostOverlapping);
            }
            m_found.insert(m_found.end(), found.begin(), found.end());
            (one.isNew ? openNew : openOld).push_back(&one);
        }
    }

    /// Each pair once, with the most frames any key found for it.
    std::vector<Candidate> finish() {
        std::sort(m_found.begin(), m_found.end(), [](const Candidate& a, const Candidate& b) {
            if (a.oldClip != b.oldClip)
                return a.oldClip < b.oldClip;
            if (a.newClip != b.newClip)
                return a.newClip < b.newClip;
            return a.shared > b.shared;
        });
        m_found.erase(std::unique(m_found.begin(), m_found.end(),
                                  [](const Candidate& a, const Candidate& b) {
                                      return a.oldClip == b.oldClip && a.newClip == b.newClip;
                                  }),
                      m_found.end());
        return std::move(m_found);
    }

private:
    const std::vector<CutClip>& m_old;
    const std::vector<CutClip>& m_new;
    std::vector<Candidate> m_found;
};

} // namespace

std::string mediaPathOf(const TimelineItem& clip) {
    for (const TimelineMedia& media : clip.media)
        if (!media.path.empty())
            return Clips::normalPath(media.path);
    return {};
}

std::string shotNameOf(const TimelineItem& clip) {
    if (clip.name.empty() || clip.name == clip.reel)
        return {};
    return withoutVersion(clip.name);
}

std::vector<Candidate> candidatesOf(const std::vector<CutClip>& oldClips,
                                    const std::vector<CutClip>& newClips) {
    Buckets buckets;
    for (std::size_t i = 0; i < oldClips.size(); ++i)
        buckets.addClip(*oldClips[i].clip, i, false);
    for (std::size_t i = 0; i < newClips.size(); ++i)
        buckets.addClip(*newClips[i].clip, i, true);

    CandidateList list(oldClips, newClips);
    buckets.each([&](const Bucket& bucket) {
        // The only use of a shot on each side pairs whatever frames it shows;
        // a reel names a tape, not a shot, so its clips must share frames.
        if (bucket.kind != KeyKind::Reel && bucket.olds.size() == 1 && bucket.news.size() == 1)
            list.add(bucket.olds.front(), bucket.news.front(),
                     list.sharedOf(bucket.olds.front(), bucket.news.front()));
        else
            list.addOverlapping(bucket);
    });
    return list.finish();
}

} // namespace ZEM_0_81::Interchange::Compare
