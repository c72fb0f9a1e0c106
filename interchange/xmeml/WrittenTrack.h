#pragma once

#include "interchange/TimelineView.h"
#include "interchange/xmeml/WriteContext.h"
#include "interchange/xmeml/WrittenFiles.h"
#include "interchange/xmeml/XmemlKept.h"
#include "interchange/xmeml/XmlOut.h"

#include <cstdint>
#include <set>
#include <string>
#include <vector>

class DmLayerNode;
class DmPropertySet;
class DmSegmentNode;
class DmSourceNode;

namespace ZEM_0_81::Interchange::Fcp7 {

/// One track of the timeline as an xmeml "track": its clips as clipitems (or
/// the generatoritems they were read as) at their record frames, each with its
/// file (WrittenFiles) or the nested sequence it was read as, its speed as a
/// Time Remap filter, its review notes as markers and what it keeps as it came;
/// the transitions the edit tree keeps as transitionitems at their cuts, the
/// clips beside one starting or ending at -1; gaps as the frames between clips.
/// What the track cannot hold is reported, at the place of the element written.
class WrittenTrack {
public:
    /// Plans the track `track` of the view, its items shown by `segments`, its
    /// layer `layer` (null when unknown), as the `number`-th track (from 1) of
    /// `count` of sound (`audio`) or picture; files go into `files`.
    WrittenTrack(WriteContext& context, WrittenFiles& files, const TimelineTrack& track,
                 const std::vector<DmSegmentNode*>& segments, const DmLayerNode* layer, bool audio,
                 std::size_t number, std::size_t count);

    /// Takes the ids its clips came with, as far as no other element has them.
    void claimIds();
    /// Gives every clip without an id one.
    void assignIds();
    /// The ids defined inside the nested sequences its clips were read as.
    void nestedIds(std::set<std::string>& ids) const;

    /// Writes the track. `nested` holds the nested sequences written so far,
    /// as written.
    void write(XmlOut& out, std::set<std::string>& nested);

private:
    /// A clip or a transition of the track, as it is written.
    struct Event {
        bool transition = false;
        /// Where it stands: a clip's start, a transition's cut (frames from
        /// the sequence's start); the order it is written in.
        std::int64_t position = 0;
        std::size_t index = 0; ///< among the elements of its name, from 1

        // A clip.
        const TimelineItem* item = nullptr;
        const DmSourceNode* source = nullptr;
        const char* element = nullptr; ///< "clipitem" or "generatoritem"
        Kept::KeptElement kept;
        std::string wantedId;
        std::string id;
        std::int64_t start = 0; ///< from the sequence's start, at its rate
        std::int64_t end = 0;
        bool startsAtTransition = false;
        bool endsAtTransition = false;
        FrameRate rate;               ///< the clip's
        std::int64_t sourceStart = 0; ///< at `rate`
        std::int64_t mediaStart = 0;  ///< the first frame of its media, at `rate`
        std::int64_t mediaLength = 0;
        bool hasFile = false;
        std::size_t file = 0;
        std::string nested; ///< the nested sequence it was read as

        // A transition.
        Kept::TransitionData data;
        std::int64_t cut = 0;
        bool clipBefore = false; ///< a clip ends at its cut
        bool clipAfter = false;  ///< a clip starts at its cut
    };

    void planClip(const TimelineItem& item, const DmSourceNode& source);
    void planTransitions(const DmPropertySet& object, std::int64_t cut);
    void markEdges();
    void writeClip(XmlOut& out, Event& event, std::set<std::string>& nested);
    void writeTransition(XmlOut& out, const Event& event);
    void writeEffects(XmlOut& out, const Event& event);
    /// The clip's review notes as markers, at source frames from its in point
    /// `in`; its other effects reported.
    void writeMarkers(XmlOut& out, const Event& event, std::int64_t in);
    /// The place of the event's element in the document.
    std::string placeOf(const Event& event) const;

    WriteContext& m_context;
    WrittenFiles& m_files;
    bool m_audio;
    std::string m_place;
    Kept::KeptElement m_kept;
    std::vector<Event> m_events;
    std::size_t m_counts[3] = {0, 0, 0}; ///< clipitems, generatoritems, transitionitems
};

} // namespace ZEM_0_81::Interchange::Fcp7
