#pragma once

#include "interchange/edl/EventLine.h"
#include "interchange/edl/WriteReport.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class DmCompositionNode;
class DmLayerNode;
class DmRoot;
class DmSegmentNode;

namespace ZEM_0_81::Interchange::Cmx {

/// A track of the composition (a layer of the edit tree) with its sources and
/// gaps in order, and the channel it is written on (0 when it is left out).
struct WrittenTrack {
    const DmLayerNode* layer = nullptr;
    std::string name;
    std::vector<const DmSegmentNode*> segments;
    std::uint8_t channel = 0;
};

/// The composition of `root` that TimelineView shows, and the timing queries
/// read: the first of the first reel; null when there is none.
const DmCompositionNode* shownComposition(const DmRoot& root);

/// The tracks of `composition` in the order TimelineView lists them.
std::vector<WrittenTrack> tracksOf(const DmRoot& root, const DmCompositionNode& composition);

/// Gives the tracks a list holds their channels: the video track `video` (an
/// index into `tracks`, -1 for the first video track) and up to four audio
/// tracks, one named "A1" ... "A4" on that channel, the others on the free
/// channels in their order. Every other track that holds a clip is reported
/// as left out. False when `video` is not -1 and not a video track.
bool chooseChannels(std::vector<WrittenTrack>& tracks, std::int32_t video, WriteReport& report);

} // namespace ZEM_0_81::Interchange::Cmx
