#include "interchange/compare/TrackPairing.h"

#include <charconv>

namespace ZEM_0_81::Interchange::Compare {

namespace {

/// The first track of `tracks` not yet taken that `fits`, taken; none when
/// there is none.
template <class Fits>
std::optional<std::size_t> take(const std::vector<TimelineTrack>& tracks, std::vector<bool>& taken,
                                const Fits& fits) {
    for (std::size_t t = 0; t < tracks.size(); ++t)
        if (!taken[t] && fits(tracks[t])) {
            taken[t] = true;
            return t;
        }
    return std::nullopt;
}

} // namespace

std::vector<TrackPair> pairTracks(const TimelineView& oldView, const TimelineView& newView) {
    std::vector<TrackPair> pairs(newView.tracks.size());
    std::vector<bool> taken(oldView.tracks.size(), false);
    for (std::size_t t = 0; t < newView.tracks.size(); ++t) {
        pairs[t].newTrack = t;
        const std::string& name = newView.tracks[t].name;
        if (!name.empty())
            pairs[t].oldTrack = take(oldView.tracks, taken, [&](const TimelineTrack& track) {
                return track.name == name;
            });
    }
    for (std::size_t t = 0; t < newView.tracks.size(); ++t) {
        if (pairs[t].oldTrack)
            continue;
        const TimelineTrack::Kind kind = newView.tracks[t].kind;
        pairs[t].oldTrack = take(oldView.tracks, taken,
                                 [&](const TimelineTrack& track) { return track.kind == kind; });
    }
    for (std::size_t t = 0; t < oldView.tracks.size(); ++t)
        if (!taken[t])
            pairs.push_back(TrackPair{t, std::nullopt});
    return pairs;
}

std::optional<TrackPair> pairNamed(const std::vector<TrackPair>& pairs, const TimelineView& oldView,
                                   const TimelineView& newView, const std::string& name) {
    const auto find = [&](bool isNew, std::size_t track) -> std::optional<TrackPair> {
        for (const TrackPair& pair : pairs)
            if ((isNew ? pair.newTrack : pair.oldTrack) == track)
                return pair;
        return std::nullopt;
    };
    for (std::size_t t = 0; t < newView.tracks.size(); ++t)
        if (newView.tracks[t].name == name)
            return find(true, t);
    for (std::size_t t = 0; t < oldView.tracks.size(); ++t)
        if (oldView.tracks[t].name == name)
            return find(false, t);
    std::size_t number = 0;
    const char* end = name.data() + name.size();
    const auto read = std::from_chars(name.data(), end, number);
    if (read.ec == std::errc() && read.ptr == end && number >= 1 && number <= newView.tracks.size())
        return find(true, number - 1);
    return std::nullopt;
}

} // namespace ZEM_0_81::Interchange::Compare
