#pragma once

#include "interchange/edl/EventScan.h"
#include "interchange/edl/LineReport.h"
#include "interchange/edl/TrackLanes.h"

#include <cstdint>
#include <string>

namespace ZEM_0_81::Interchange::Cmx {

/// Turns each event into the segments it places, and places them: a clip (a
/// gap for black) on each track of its channels at its record in, named and
/// given media by its comments, with its reel, look, speed, notes, transition
/// and plain comments kept as EdlKept says; and reports what the edit tree
/// does not play as the list says.
///
/// Which comment describes which line: in an event of one line, "FROM CLIP
/// NAME" names the clip and "SOURCE FILE", else "FROM FILE", else "FROM CLIP"
/// is its media. In a transition or a key, the "FROM" statements describe the
/// first line (the outgoing source, the key's background), and "TO CLIP NAME"
/// and "TO FILE", else "TO CLIP", else "SOURCE FILE" the second (the incoming
/// source, the foreground). A line no name statement names is named by its
/// reel. Every statement that describes no line of the event, is malformed, or
/// repeats one that holds one value, is a plain comment.
class EventClips {
public:
    EventClips(const FrameCounter& counter, LineReport& report, TrackLanes& lanes)
        : m_counter(counter), m_report(report), m_lanes(lanes), m_fcm(rateText(counter.rate())) {}

    void add(const Event& event);

    /// Where the latest clip or black placed ends; false when nothing was placed.
    bool placedEnd(std::int64_t& end) const {
        end = m_placedEnd;
        return m_anyPlaced;
    }

private:
    struct Statements;
    struct Side;

    Statements statementsOf(const Event& event) const;
    /// Places the segments of one line; false when it places none.
    bool placeSide(const Event& event, const Side& side, Statements& statements);

    const FrameCounter& m_counter;
    LineReport& m_report;
    TrackLanes& m_lanes;
    std::string m_fcm;
    bool m_anyPlaced = false;
    std::int64_t m_placedEnd = 0;
};

} // namespace ZEM_0_81::Interchange::Cmx
