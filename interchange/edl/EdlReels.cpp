// Edl::reels: the reel of each item, beside TimelineView.

#include "interchange/Edl.h"

#include "interchange/edl/WrittenTracks.h"
#include "interchange/otiostd/kept/ForeignMembers.h"

#include "outside/dmtree/DmCompositionNode.h"
#include "outside/dmtree/DmRoot.h"
#include "outside/dmtree/DmSegmentNode.h"

namespace ZEM_0_81 {

Status Edl::reels(const Composition& composition, std::vector<Reel>& out) {
    Status status;
    const DmRoot& root = composition.getTree(status);
    if (!status)
        return status;
    std::vector<Reel> found;
    // The composition TimelineView shows, walked as it walks it.
    if (const DmCompositionNode* node = Interchange::Cmx::shownComposition(root)) {
        const std::vector<Interchange::Cmx::WrittenTrack> tracks =
            Interchange::Cmx::tracksOf(root, *node);
        for (std::size_t t = 0; t < tracks.size(); ++t)
            for (std::size_t i = 0; i < tracks[t].segments.size(); ++i) {
                std::string name = Interchange::ForeignMembers::reelOf(*tracks[t].segments[i]);
                if (!name.empty())
                    found.push_back(Reel{t, i, std::move(name)});
            }
    }
    out = std::move(found);
    return Status();
}

} // namespace ZEM_0_81
