#pragma once

#include "interchange/edl/EdlKept.h"
#include "interchange/edl/WriteReport.h"
#include "interchange/edl/WrittenTracks.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace ZEM_0_81::Interchange::Cmx {

/// A locator as a list writes it.
struct WrittenNote {
    std::int64_t frame = 0; ///< record frame
    std::string colour;     ///< the colour word
    std::string caption;
};

/// One event of the list: a clip, or black, on one or more channels.
struct WrittenEvent {
    std::uint8_t channels = 0;
    bool black = false;
    std::int64_t recordIn = 0;
    std::int64_t recordOut = 0;
    std::string reel;
    std::int64_t sourceIn = 0;
    std::int64_t sourceOut = 0;
    std::string name;
    std::string path;
    bool hasLook = false;
    std::array<double, 9> sop{}; ///< slope, offset, power
    double saturation = 1.0;
    std::vector<std::string> speedLines; ///< M2 and FREEZE FRAME lines
    bool hasTransition = false;
    Kept::TransitionData transition; ///< its outgoing source always named
    std::vector<WrittenNote> notes;
    std::vector<std::string> comments;
};

/// What writing needs beside the tracks.
struct WriteContext {
    const FrameCounter* counter = nullptr;
    WriteReport* report = nullptr;
    std::uint32_t reelLength = 8;
    /// The composition's start, in record frames.
    std::int64_t start = 0;
};

/// The events of a list: every clip of the tracks given a channel, and every
/// gap that keeps a reel (black), leads a transition or carries a look or a
/// note, with the order they are written in. Clips of several tracks that
/// share reel, source, record time, name, media, look, speed and transition
/// are one event on all their channels: the first of them, sorted by record in
/// and the picture first, holds the channels, notes and comments of all. When
/// no event starts at the composition's start, black leads in from there on
/// the first channel written.
struct WrittenList {
    std::vector<WrittenEvent> clips;
    /// The events, in the order written: indices into `clips`.
    std::vector<std::size_t> events;
};

/// The list of `tracks`; reports what it leaves out.
WrittenList eventsOf(const std::vector<WrittenTrack>& tracks, const WriteContext& context);

/// A reel name made from `path`'s file name (without its extension): its
/// letters, digits and '_', cut to `length` characters; "AX" when none is left.
std::string reelFromFile(const std::string& path, std::uint32_t length);

} // namespace ZEM_0_81::Interchange::Cmx
