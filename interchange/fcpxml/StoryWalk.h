#pragma once

#include "interchange/fcpxml/ElementReport.h"
#include "interchange/fcpxml/FcpxmlTime.h"
#include "interchange/fcpxml/Resources.h"

#include <pugixml.hpp>

#include <cstddef>
#include <string>
#include <vector>

namespace ZEM_0_81::Interchange::Fcpx {

/// What a track of the timeline holds: picture, or sound only.
enum class TrackKind { Picture, Sound };

/// The farthest lane from the primary storyline an item is read on, above
/// or below it.
constexpr int kMaxLane = 1000000;

/// What a piece plays.
enum class PieceMedia { Gap, Asset, Generated, Offline };

/// A marker, to-do marker or chapter marker, at its record time.
struct PlacedMarker {
    pugi::xml_node node;
    Time recordIn;
    Time duration;
};

/// One segment of the timeline: a span of record time (the sequence's time,
/// in seconds) on the track of a lane and kind, and what it plays.
struct Piece {
    Time recordIn;
    Time recordOut;
    int lane = 0;
    TrackKind kind = TrackKind::Picture;
    PieceMedia media = PieceMedia::Gap;
    const Asset* asset = nullptr;
    const Effect* effect = nullptr;
    /// The media time at recordIn: the asset's own time (its timecode in
    /// seconds); for generated and offline media, the element's local time.
    Time mediaIn;
    /// Media seconds per record second, by which a trimmed head advances mediaIn.
    Time ratio = Time(1, 1);
    /// For media conformed to the sequence's rate, frame for frame: the frame
    /// duration the media's times count frames in. Invalid otherwise.
    Time conformedFrame = Time::invalid();
    std::string name;
    /// The element in the timeline (an audition's pick for an audition).
    pugi::xml_node element;
    bool disabled = false;
    /// The speed kept as a standard OTIO time effect (JSON), when one is.
    std::string speed;
    std::vector<PlacedMarker> markers;
    /// The members of its "fcpxml" dictionary (JSON object text), kept to be
    /// written back; empty for none.
    std::string kept;
    bool removed = false;
};

/// A transition between two items of a storyline, kept at its cut.
struct PlacedTransition {
    pugi::xml_node node;
    int lane = 0;
    TrackKind kind = TrackKind::Picture;
    Time start;
    Time duration;
    Time cut;
};

/// Places every story element of a storyline and what hangs on it: items of
/// the storyline one after another at their offsets, items anchored to them
/// (connected clips, secondary storylines) at their offsets in their parent's
/// local time, each on the lane the parent's lane plus its own gives it;
/// transitions between their neighbours. Works with an explicit list of the
/// storylines and elements still to place, never recursing on the document's
/// depth; what lies inside a clip (its contained items) is read to a bounded
/// depth (kMaxNesting).
class StoryWalk {
public:
    StoryWalk(const Resources& resources, ElementReport& report, const Time& frameDuration)
        : m_resources(resources), m_report(report), m_frame(frameDuration) {}

    /// Places the primary storyline `spine` (its local time the sequence's).
    void run(const pugi::xml_node& spine);

    std::vector<Piece>& pieces() { return m_pieces; }
    const std::vector<PlacedTransition>& transitions() const { return m_transitions; }

    /// Containers nested deeper than this inside one clip are read as offline media.
    static constexpr int kMaxNesting = 32;

private:
    /// The record time a clip's contents may play in: what lies outside it
    /// is cut away. Not `set` for items of the timeline itself.
    struct Window {
        bool set = false;
        Time in;
        Time out;
    };
    struct Job {
        pugi::xml_node node;
        bool spine = false;
        Time at; ///< a spine: record = spine time + at; an element: its record-in
        int lane = 0;
        Window window;
    };
    struct Resolved;

    void spine(const Job& job);
    std::vector<std::size_t> element(const pugi::xml_node& node, const pugi::xml_node& offsetFrom,
                                     const Time& recordIn, int lane, const Window& window);
    void resolve(const pugi::xml_node& node, const Time& from, const Time& to, int depth,
                 std::vector<Resolved>& out);
    void collect(const pugi::xml_node& parent, const Time& base, const Time& from, const Time& to,
                 int depth, bool contained, std::vector<Resolved>& out);
    void keep(const pugi::xml_node& node, Piece& piece);

    const Resources& m_resources;
    ElementReport& m_report;
    Time m_frame;
    std::vector<Job> m_jobs;
    std::vector<Piece> m_pieces;
    std::vector<PlacedTransition> m_transitions;
};

/// True for the names of story elements that play in a storyline or hang on
/// an item ("asset-clip", "clip", "gap", "spine", ...).
bool isStoryElement(const char* name);

/// The story elements below `node` (storylines left out), counted without recursion.
std::size_t storyElementsIn(const pugi::xml_node& node);

/// The pick of `node` when it is an audition (its first story element), else `node`.
pugi::xml_node pickOf(const pugi::xml_node& node);

} // namespace ZEM_0_81::Interchange::Fcpx
