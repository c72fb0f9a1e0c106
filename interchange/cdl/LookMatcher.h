#pragma once

#include "interchange/AscCdl.h"
#include "interchange/LossReport.h"
#include "interchange/TimelineSegments.h"

#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

namespace ZEM_0_81::Interchange::Cdl {

/// A correction naming a clip.
struct Claim {
    std::size_t correction = 0; ///< its index in the corrections
    std::size_t clip = 0;       ///< the clip's index among the clips of the timeline
    std::size_t track = 0;      ///< the clip, as the timeline view numbers it
    std::size_t item = 0;
    AscCdl::Rule rule = AscCdl::Rule::Name;
};

/// The clips of a timeline by every key a correction may name them by, for the
/// rules of interchange/cdl/CDL.md.
class LookMatcher {
public:
    /// Indexes the clips of `view` (its gaps are never named), whose segments are
    /// `segments` (for the reels cut lists keep on them).
    LookMatcher(const TimelineView& view, const TimelineSegments& segments);

    /// The clips `correction` names by the first rule that names any, each once, in
    /// track and item order; none when no rule does.
    std::vector<Claim> claimsOf(const AscCdl::Correction& correction, std::size_t index) const;

    /// The claims that apply: for each clip named, the claim of the earliest rule,
    /// and among claims of one rule the one of the later correction. Ordered by
    /// correction, then track and item. Reports at the correction's line each
    /// correction that names no clip and each claim that does not apply.
    std::vector<Claim> assign(const std::vector<AscCdl::Correction>& corrections,
                              LossReport& report) const;

    /// "clip "A001" (track 1, item 3)": a clip for a person, tracks and items
    /// counted from 1.
    std::string clipText(std::size_t track, std::size_t item) const;
    const std::string& nameOf(std::size_t track, std::size_t item) const;

    /// Reports that the correction `loser`, naming clips by `rule`, does not go to
    /// the clip of `taken`, nor to `more` others.
    void reportLost(LossReport& report, const std::vector<AscCdl::Correction>& corrections,
                    std::size_t loser, AscCdl::Rule rule, const Claim& taken,
                    std::size_t more) const;
    /// Reports `what` at the line of `correction`.
    static void lose(LossReport& report, const AscCdl::Correction& correction,
                     const std::string& what);

private:
    struct Clip {
        std::size_t track = 0;
        std::size_t item = 0;
        const std::string* name = nullptr;
    };
    using Index = std::unordered_map<std::string, std::vector<std::size_t>>;

    void add(Index& index, const std::string& key, std::size_t clip);
    void named(const Index& index, const std::string& key, std::vector<std::size_t>& clips) const;
    std::vector<std::size_t> placed(const AscCdl::Correction& correction) const;
    std::vector<std::size_t> byMedia(const AscCdl::Correction& correction) const;

    const TimelineView& m_view;
    std::vector<Clip> m_clips; ///< in track and item order
    Index m_places;
    Index m_paths;
    Index m_folders;
    Index m_fileNames;
    Index m_names;
    Index m_reels;
    Index m_stems;
};

} // namespace ZEM_0_81::Interchange::Cdl
