#include "interchange/edl/WrittenTracks.h"

#include "outside/dmtree/DmCompositionNode.h"
#include "outside/dmtree/DmGapNode.h"
#include "outside/dmtree/DmLayerNode.h"
#include "outside/dmtree/DmReelNode.h"
#include "outside/dmtree/DmRoot.h"
#include "outside/dmtree/DmSourceNode.h"
#include "outside/dmtree/DmTreeIterator.h"
#include "outside/dmtree/DmTreeVisitor.h"

#include <algorithm>

namespace ZEM_0_81::Interchange::Cmx {

namespace {

/// Gathers the layers of one composition node and the sources and gaps of
/// each, walking the tree as TimelineView does so that tracks are numbered
/// alike.
class TrackCollector : public DmTreeVisitor {
public:
    TrackCollector(const DmCompositionNode& composition, std::vector<WrittenTrack>& tracks)
        : DmTreeVisitor("EDL tracks"), m_composition(&composition), m_tracks(tracks) {}

    void visitCompositionNode(DmCompositionNode* node) override {
        if (node == m_composition)
            m_inComposition = true;
    }
    void endCompositionNode(DmCompositionNode* node) override {
        if (node == m_composition)
            m_inComposition = false;
    }
    void endTrackNode(DmTrackNode*) override {}
    void visitLayerNode(DmLayerNode* layer) override {
        if (!m_inComposition || !layer)
            return;
        WrittenTrack track;
        track.layer = layer;
        track.name = layer->getName().str();
        m_tracks.push_back(std::move(track));
        m_open.push_back(m_tracks.size() - 1);
    }
    void endLayerNode(DmLayerNode*) override {
        // Layers nest inside their composition: one that ends inside it began there.
        if (m_inComposition)
            m_open.pop_back();
    }
    void visitSourceNode(DmSourceNode* source) override { add(source); }
    void visitGapNode(DmGapNode* gap) override { add(gap); }

private:
    void add(const DmSegmentNode* segment) {
        if (m_inComposition && segment && !m_open.empty())
            m_tracks[m_open.back()].segments.push_back(segment);
    }

    const DmCompositionNode* m_composition;
    std::vector<WrittenTrack>& m_tracks;
    bool m_inComposition = false;
    std::vector<std::size_t> m_open;
};

bool holdsClips(const WrittenTrack& track) {
    return std::any_of(track.segments.begin(), track.segments.end(), [](const DmSegmentNode* s) {
        return dynamic_cast<const DmSourceNode*>(s) != nullptr || s->getNbEffects() > 0;
    });
}

std::uint8_t audioChannel(std::size_t index) {
    return static_cast<std::uint8_t>(kAudio1 << index);
}

} // namespace

const DmCompositionNode* shownComposition(const DmRoot& root) {
    const auto* reel = dynamic_cast<const DmReelNode*>(root.getChild(0));
    return reel ? dynamic_cast<const DmCompositionNode*>(reel->getChild(0)) : nullptr;
}

std::vector<WrittenTrack> tracksOf(const DmRoot& root, const DmCompositionNode& composition) {
    std::vector<WrittenTrack> tracks;
    TrackCollector collector(composition, tracks);
    // The walk only reads; the iterator's counted references come and go.
    DmPreIt walk(const_cast<DmRoot*>(&root), &collector);
    walk.traverse();
    return tracks;
}

bool chooseChannels(std::vector<WrittenTrack>& tracks, std::int32_t video, WriteReport& report) {
    if (video >= 0 && (static_cast<std::size_t>(video) >= tracks.size() ||
                       tracks[static_cast<std::size_t>(video)].layer->mediaType != eDmMediaVideo))
        return false;
    if (video < 0) {
        for (std::size_t i = 0; i < tracks.size(); ++i)
            if (tracks[i].layer->mediaType == eDmMediaVideo) {
                video = static_cast<std::int32_t>(i);
                break;
            }
    }
    if (video >= 0)
        tracks[static_cast<std::size_t>(video)].channel = kVideo;

    // Audio tracks named after a channel keep it; the others take the free ones.
    static const char* const kNames[4] = {"A1", "A2", "A3", "A4"};
    bool taken[4] = {false, false, false, false};
    for (WrittenTrack& track : tracks) {
        if (track.layer->mediaType != eDmMediaAudio)
            continue;
        for (std::size_t c = 0; c < 4; ++c)
            if (!taken[c] && track.name == kNames[c]) {
                taken[c] = true;
                track.channel = audioChannel(c);
                break;
            }
    }
    for (WrittenTrack& track : tracks) {
        if (track.layer->mediaType != eDmMediaAudio || track.channel != 0)
            continue;
        for (std::size_t c = 0; c < 4; ++c)
            if (!taken[c]) {
                taken[c] = true;
                track.channel = audioChannel(c);
                break;
            }
    }

    for (const WrittenTrack& track : tracks) {
        if (track.channel != 0 || !holdsClips(track))
            continue;
        const eDmTreeMediaType type = track.layer->mediaType;
        report.track(track.name, kTrackSchema,
                     type == eDmMediaVideo ? "left out: an EDL holds one video track"
                     : type == eDmMediaAudio
                         ? "left out: an EDL holds four audio tracks"
                         : "left out: its clips are on a track neither video nor audio");
    }
    return true;
}

} // namespace ZEM_0_81::Interchange::Cmx
