#pragma once

// Cuts that tests write by hand, as a CMX 3600 EDL or as standard OTIO, from
// one short description: clips (and gaps) back to back on one video track,
// each with its source frames and review notes.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace ZEM_0_81::test {

/// A review note on source frames of its clip's media.
struct CutNote {
    std::int64_t source = 0; ///< its first source frame
    std::int64_t length = 1;
    std::string text;
};

/// A clip of a test cut; with an empty name and `media` "-", a gap.
struct CutClip {
    CutClip(std::string clipName = "", std::int64_t first = 0, std::int64_t frames = 0,
             std::string path = "", std::string tape = "")
        : name(std::move(clipName)), source(first), length(frames), media(std::move(path)),
          reel(std::move(tape)) {}

    std::string name;
    std::int64_t source = 0; ///< its first source frame
    std::int64_t length = 0; ///< its frames
    /// Its media path: "" gives "/shots/NAME.mov", "-" none.
    std::string media;
    /// Its reel; "" gives "R" and the first six characters of the name.
    std::string reel;
    std::vector<CutNote> notes;
    /// Further comment lines of its EDL event ("* ASC_SOP ...\n").
    std::string edlLines;
    /// Further elements of its OTIO "effects" (JSON objects, comma-separated).
    std::string effects;
};

/// A gap of `length` frames.
CutClip gap(std::int64_t length);

/// An EDL titled `title` holding `clips` back to back from record frame
/// `start`, frames written as bare numbers (a name statement and, with media,
/// a SOURCE FILE for each clip; a locator for each note's first frame; a gap
/// is a hole).
std::string edlCut(const std::string& title, const std::vector<CutClip>& clips,
                   std::int64_t start = 86400);

/// Standard OTIO of the same cut at `rate`: one video track "V1", each clip
/// with its media reference, its reel as "cmx_3600" metadata and each note as
/// a marker; `disabled` lists the clips (by index) written "enabled": false.
std::string otioCut(const std::string& title, const std::vector<CutClip>& clips, double rate = 24,
                    std::int64_t start = 86400, const std::vector<std::size_t>& disabled = {});

} // namespace ZEM_0_81::test
