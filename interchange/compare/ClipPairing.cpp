#include "interchange/compare/ClipPairing.h"

#include <algorithm>
#include <cstdint>
#include <numeric>

namespace ZEM_0_81::Interchange::Compare {

namespace {

constexpr std::size_t kNone = Pairing::kNoPartner;

/// The heaviest chain found so far that ends at a new clip: its weight and
/// its last candidate.
struct ChainEnd {
    std::int64_t weight = 0;
    std::size_t candidate = kNone;
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
            if (m_tree[i].weight > best.weight)
                best = m_tree[i];
        return best;
    }

    void offer(std::size_t newClip, const ChainEnd& end) {
        for (std::size_t i = newClip + 1; i < m_tree.size(); i += i & (~i + 1))
            if (end.weight > m_tree[i].weight)
                m_tree[i] = end;
    }

private:
    std::vector<ChainEnd> m_tree;
};

/// Marks the candidates of the heaviest chain whose old and new clips both
/// rise: the pairs that keep the order of the cut. `candidates` are sorted by
/// old clip.
std::vector<bool> heaviestChain(std::size_t newClips, const std::vector<Candidate>& candidates) {
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
            ending[c] = ChainEnd{before.weight + candidates[c].shared + 1, before.candidate};
            if (ending[c].weight > best.weight)
                best = ChainEnd{ending[c].weight, c};
        }
        for (std::size_t c = first; c < last; ++c)
            ends.offer(candidates[c].newClip, ChainEnd{ending[c].weight, c});
        first = last;
    }
    std::vector<bool> inChain(candidates.size(), false);
    for (std::size_t c = best.candidate; c != kNone; c = ending[c].candidate)
        inChain[c] = true;
    return inChain;
}

std::int64_t distance(std::int64_t a, std::int64_t b) {
    return a > b ? a - b : b - a;
}

} // namespace

Pairing pairClips(const std::vector<CutClip>& oldClips, const std::vector<CutClip>& newClips,
                  const std::vector<Candidate>& candidates) {
    Pairing pairing;
    pairing.newOfOld.assign(oldClips.size(), kNone);
    pairing.oldOfNew.assign(newClips.size(), kNone);
    const std::vector<bool> inChain = heaviestChain(newClips.size(), candidates);

    std::vector<std::size_t> order(candidates.size());
    std::iota(order.begin(), order.end(), std::size_t(0));
    const auto apart = [&](const Candidate& c) {
        return distance(oldClips[c.oldClip].offset, newClips[c.newClip].offset);
    };
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        const Candidate& x = candidates[a];
        const Candidate& y = candidates[b];
        if (x.shared != y.shared)
            return x.shared > y.shared;
        if (inChain[a] != inChain[b])
            return inChain[a];
        if (apart(x) != apart(y))
            return apart(x) < apart(y);
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
