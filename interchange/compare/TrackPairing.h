#pragma once

// Which track of the old cut each track of the new cut is compared with.

#include "interchange/TimelineView.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace ZEM_0_81::Interchange::Compare {

/// A track of each cut; none on the side it has no partner in.
struct TrackPair {
    std::optional<std::size_t> oldTrack;
    std::optional<std::size_t> newTrack;
};

/// The tracks of `newView` in their order, each with the first track of
/// `oldView` left that has its name, else (once every name has been tried)
/// the first left of its kind; then the tracks of `oldView` left, in order.
std::vector<TrackPair> pairTracks(const TimelineView& oldView, const TimelineView& newView);

/// The pair holding the track `name` names: a track of the new cut by its
/// name, else of the old cut by its name, else the new cut's track of that
/// number from 1. None when it names no track.
std::optional<TrackPair> pairNamed(const std::vector<TrackPair>& pairs, const TimelineView& oldView,
                                   const TimelineView& newView, const std::string& name);

} // namespace ZEM_0_81::Interchange::Compare
