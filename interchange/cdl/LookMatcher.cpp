#include "interchange/cdl/LookMatcher.h"

#include "interchange/cdl/CdlVocabulary.h"
#include "interchange/cdl/ClipPlace.h"
#include "interchange/clips/MediaPaths.h"
#include "interchange/kept/ForeignMembers.h"
#include "interchange/places/LossPlaces.h"

#include "outside/dmtree/DmSegmentNode.h"

#include <algorithm>

namespace ZEM_0_81::Interchange::Cdl {

using Clips::fileNameOf;
using Clips::folderOf;
using Clips::normalPath;
using Clips::stemOf;

namespace {

std::string correctionText(const AscCdl::Correction& correction) {
    return correction.id.empty() ? std::string("the correction without an id")
                                 : "correction \"" + correction.id + "\"";
}

/// Sorts `values` and leaves each once.
template <typename T> void unique(std::vector<T>& values) {
    std::sort(values.begin(), values.end());
    values.erase(std::unique(values.begin(), values.end()), values.end());
}

/// Each of `keys` once: a decision repeating a MediaRef (or a correction a
/// Description) a hundred thousand times names its clips once, not a hundred
/// thousand times each.
std::vector<std::string> distinct(std::vector<std::string> keys) {
    unique(keys);
    return keys;
}

} // namespace

LookMatcher::LookMatcher(const TimelineView& view, const TimelineSegments& segments)
    : m_view(view) {
    std::size_t items = 0;
    for (const TimelineTrack& track : view.tracks)
        items += track.items.size();
    // Most keys are a clip's own: the indices grow once, not step by step.
    for (Index* index :
         {&m_places, &m_paths, &m_folders, &m_fileNames, &m_names, &m_reels, &m_stems})
        index->reserve(items);
    for (std::size_t t = 0; t < view.tracks.size(); ++t) {
        const std::vector<TimelineItem>& items = view.tracks[t].items;
        for (std::size_t i = 0; i < items.size(); ++i) {
            const TimelineItem& item = items[i];
            if (!item.isClip())
                continue;
            const std::size_t clip = m_clips.size();
            m_clips.push_back(Clip{t, i, &item.name});
            const RecordTimecodes record = recordTimecodes(item.record, view.rate);
            add(m_places, placeText(t, record.in, record.out), clip);
            add(m_names, item.name, clip);
            add(m_reels, ForeignMembers::reelOf(*segments[t][i]), clip);
            for (const TimelineMedia& media : item.media) {
                const std::string path = normalPath(media.path);
                add(m_paths, path, clip);
                add(m_folders, folderOf(path), clip);
                add(m_fileNames, fileNameOf(path), clip);
                add(m_stems, stemOf(fileNameOf(path)), clip);
            }
        }
    }
}

void LookMatcher::add(Index& index, const std::string& key, std::size_t clip) {
    if (key.empty())
        return;
    std::vector<std::size_t>& clips = index[key];
    // A clip's inputs may share a key: it is named once.
    if (clips.empty() || clips.back() != clip)
        clips.push_back(clip);
}

void LookMatcher::named(const Index& index, const std::string& key,
                        std::vector<std::size_t>& clips) const {
    if (key.empty())
        return;
    const auto found = index.find(key);
    if (found != index.end())
        clips.insert(clips.end(), found->second.begin(), found->second.end());
}

/// The clips a Description places the correction on, as the writer describes
/// them, when the correction's id still fits the clip's name.
std::vector<std::size_t> LookMatcher::placed(const AscCdl::Correction& correction) const {
    std::vector<std::size_t> clips;
    for (const std::string& description : distinct(correction.descriptions))
        named(m_places, description, clips);
    clips.erase(std::remove_if(clips.begin(), clips.end(),
                               [&](std::size_t clip) {
                                   return !idFitsName(correction.id, *m_clips[clip].name);
                               }),
                clips.end());
    return clips;
}

/// The clips whose media a MediaRef names: by its path, its folder (a reference
/// to a folder, with or without a '/' after it) or its file name.
std::vector<std::size_t> LookMatcher::byMedia(const AscCdl::Correction& correction) const {
    std::vector<std::string> paths;
    for (const std::string& ref : correction.mediaRefs)
        paths.push_back(normalPath(ref));
    std::vector<std::size_t> clips;
    for (std::string& path : distinct(paths)) {
        const bool folder = !path.empty() && path.back() == '/';
        if (folder)
            path.pop_back();
        named(m_paths, path, clips);
        named(m_folders, path, clips);
        if (!folder)
            named(m_fileNames, fileNameOf(path), clips);
    }
    return clips;
}

std::vector<Claim> LookMatcher::claimsOf(const AscCdl::Correction& correction,
                                         std::size_t index) const {
    using Rule = AscCdl::Rule;
    std::vector<std::size_t> clips = placed(correction);
    Rule rule = Rule::Place;
    const auto next = [&](Rule then, const Index& by, const std::string& key) {
        if (!clips.empty())
            return;
        rule = then;
        named(by, key, clips);
    };
    if (clips.empty()) {
        rule = Rule::Media;
        clips = byMedia(correction);
    }
    next(Rule::Name, m_names, correction.id);
    next(Rule::Reel, m_reels, correction.id);
    next(Rule::MediaStem, m_stems, correction.id);

    unique(clips);
    std::vector<Claim> claims;
    claims.reserve(clips.size());
    for (std::size_t clip : clips)
        claims.push_back(Claim{index, clip, m_clips[clip].track, m_clips[clip].item, rule});
    return claims;
}

std::vector<Claim> LookMatcher::assign(const std::vector<AscCdl::Correction>& corrections,
                                       LossReport& report) const {
    // What became of each correction's claims. A clip two corrections name is
    // reported once for the one it does not take, with a count of the others:
    // many corrections of one id on many clips of one name stay a short report.
    struct Outcome {
        AscCdl::Rule rule = AscCdl::Rule::Name;
        std::size_t claimed = 0;
        std::size_t lost = 0;
        std::size_t firstLost = 0; ///< the clip of the first claim lost
    };
    std::vector<Outcome> outcomes(corrections.size());
    std::vector<Claim> best(m_clips.size());
    std::vector<bool> claimed(m_clips.size(), false);
    const auto loses = [&](const Claim& claim) {
        Outcome& outcome = outcomes[claim.correction];
        if (outcome.lost++ == 0)
            outcome.firstLost = claim.clip;
    };
    for (std::size_t c = 0; c < corrections.size(); ++c) {
        const std::vector<Claim> claims = claimsOf(corrections[c], c);
        outcomes[c].claimed = claims.size();
        for (const Claim& claim : claims) {
            outcomes[c].rule = claim.rule;
            if (!claimed[claim.clip]) {
                claimed[claim.clip] = true;
                best[claim.clip] = claim;
            } else if (claim.rule <= best[claim.clip].rule) {
                // The earliest rule; by one rule, the later correction.
                loses(best[claim.clip]);
                best[claim.clip] = claim;
            } else {
                loses(claim);
            }
        }
    }

    for (std::size_t c = 0; c < corrections.size(); ++c) {
        const Outcome& outcome = outcomes[c];
        if (outcome.claimed == 0)
            lose(report, corrections[c],
                 correctionText(corrections[c]) +
                     " names no clip: none has its place, media, name, reel or media file name");
        if (outcome.lost != 0)
            reportLost(report, corrections, c, outcome.rule, best[outcome.firstLost],
                       outcome.lost - 1);
    }

    std::vector<Claim> applied;
    for (std::size_t clip = 0; clip < m_clips.size(); ++clip)
        if (claimed[clip])
            applied.push_back(best[clip]);
    std::sort(applied.begin(), applied.end(), [](const Claim& a, const Claim& b) {
        return a.correction != b.correction ? a.correction < b.correction : a.clip < b.clip;
    });
    return applied;
}

void LookMatcher::reportLost(LossReport& report, const std::vector<AscCdl::Correction>& corrections,
                             std::size_t loser, AscCdl::Rule rule, const Claim& taken,
                             std::size_t more) const {
    const AscCdl::Correction& other = corrections[loser];
    const AscCdl::Correction& winner = corrections[taken.correction];
    const std::string winnerText = correctionText(winner) + " (" + linePlace(winner.line) + ")";
    std::string what = correctionText(other) + " names " + clipText(taken.track, taken.item) +
                       " by " + AscCdl::ruleName(rule);
    if (rule == taken.rule)
        what += ", as does " + winnerText + ", later in the list";
    else
        what += ", but " + winnerText + " names it by " + AscCdl::ruleName(taken.rule) +
                ", a rule tried first";
    what += ": the clip takes " + correctionText(winner);
    if (more != 0)
        what += "; " + std::to_string(more) + " more of the clips it names take another";
    lose(report, other, what);
}

void LookMatcher::lose(LossReport& report, const AscCdl::Correction& correction,
                       const std::string& what) {
    report.add(String(linePlace(correction.line).c_str()), String(kColorCorrection),
               String(what.c_str()));
}

const std::string& LookMatcher::nameOf(std::size_t track, std::size_t item) const {
    return m_view.tracks[track].items[item].name;
}

std::string LookMatcher::clipText(std::size_t track, std::size_t item) const {
    return "clip \"" + nameOf(track, item) + "\" (track " + std::to_string(track + 1) + ", item " +
           std::to_string(item + 1) + ")";
}

} // namespace ZEM_0_81::Interchange::Cdl
