#include "interchange/compare/ClipPairing.h"

#include <algorithm>
#include <cstdint>
#include <numeric>

namespace ZEM_0_81::Interchange::Compare {

namespace {

constexpr std::size_t kNone = Pairing::kNoPartner;

/// The heaviest chain found so far that ends at a new clip: its weight, how
/// far apart in time its pairs lie in all, and its last candidate.
struct ChainEnd {
    std::int64_t weight = 0;
    double apart = 0.0;
    std::size_t candidate = kNone;

    /// Heavier, or as heavy with its pairs nearer in time.
    bool beats(const ChainEnd& other) const {
        return weight != other.weight ? weight > other.weight : apart < other.apart;
    }
};

/// The best chain ending at a new clip before a given one: a tree of maxima
/// over the new clips' indices.
class ChainEnds {
public:
    explicit ChainEnds(std::size_t size) : m_tree(size + 1) {}

    /// The heaviest chain ending at a new clip before `newClip`.
    ChainEnd before(std::size_t newClip) const {
        ChainEnd best;
        for (std::size_t i = newClip; i > 0; i -= i & (~i + 1))
            if (m_tree[i].beats(best))
                best = m_tree[i];
        return best;
    }

    void offer(std::size_t newClip, const ChainEnd& end) {
        for (std::size_t i = newClip + 1; i < m_tree.size(); i += i & (~i + 1))
            if (end.beats(m_tree[i]))
                m_tree[i] = end;
    }

private:
    std::vector<ChainEnd> m_tree;
};

std::int64_t distance(std::int64_t a, std::int64_t b) {
    return a > b ? a - b : b - a;
}

/// Marks the candidates of the heaviest chain whose old and new clips both
/// rise: the pairs that keep the order of the cut; between chains as heavy,
/// the one whose pairs lie nearest in time. `candidates` are sorted by old
/// clip; `apart` gives each one's distance in time.
std::vector<bool> heaviestChain(std::size_t newClips, const std::vector<Candidate>& candidates,
                                const std::vector<std::int64_t>& apart) {
    std::vector<ChainEnd> ending(candidates.size());
    ChainEnds ends(newClips);
    ChainEnd best;
    for (std::size_t first = 0; first < candidates.size();) {
        std::size_t last = first;
        while (last < candidates.size() && candidates[last].oldClip == candidates[first].oldClip)
            ++last;
        // Candidates of one old clip never follow one another in a chain: all
        // of them are weighed before any is offered.
        for (std::size_t c = first; c < last; ++c) {
            const ChainEnd before = ends.before(candidates[c].newClip);
            ending[c] = ChainEnd{before.weight + candidates[c].shared + 1,
                                 before.apart + static_cast<double>(apart[c]), before.candidate};
            const ChainEnd here{ending[c].weight, ending[c].apart, c};
            if (here.beats(best))
                best = here;
        }
        for (std::size_t c = first; c < last; ++c)
            ends.offer(candidates[c].newClip, ChainEnd{ending[c].weight, ending[c].apart, c});
        first = last;
    }
    std::vector<bool> inChain(candidates.size(), false);
    for (std::size_t c = best.candidate; c != kNone; c = ending[c].candidate)
        inChain[c] = true;
    return inChain;
}

} // namespace

Pairing pairClips(const std::vector<CutClip>& oldClips, const std::vector<CutClip>& newClips,
                  const std::vector<Candidate>& candidates) {
    Pairing pairing;
    pairing.newOfOld.assign(oldClips.size(), kNone);
    pairing.oldOfNew.assign(newClips.size(), kNone);
    std::vector<std::int64_t> apart(candidates.size());
    for (std::size_t c = 0; c < candidates.size(); ++c)
        apart[c] = distance(oldClips[candidates[c].oldClip].offset,
                            newClips[candidates[c].newClip].offset);
    const std::vector<bool> inChain = heaviestChain(newClips.size(), candidates, apart);

    std::vector<std::size_t> order(candidates.size());
    std::iota(order.begin(), order.end(), std::size_t(0));
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        if (candidates[a].shared != candidates[b].shared)
            return candidates[a].shared > candidates[b].shared;
        if (inChain[a] != inChain[b])
            return inChain[a];
        if (apart[a] != apart[b])
            return apart[a] < apart[b];
        return a < b;
    });
    for (const std::size_t c : order) {
        const Candidate& candidate = candidates[c];
        if (pairing.newOfOld[candidate.oldClip] != kNone ||
            pairing.oldOfNew[candidate.newClip] != kNone)
            continue;
        pairing.newOfOld[candidate.oldClip] = candidate.newClip;
        pairing.oldOfNew[candidate.newClip] = candidate.oldClip;
    }
    return pairing;
}

} // namespace ZEM_0_81::Interchange::Compare
