#pragma once

// Helpers of the xmeml tests: documents built around hand-written tracks,
// reading and writing them, and each item of a composition's tracks as one
// line of text, to compare with what a test works out by hand.

#include "interchange/LossReport.h"
#include "interchange/Xmeml.h"

#include <string>
#include <vector>

namespace ZEM_0_81::test::xmeml {

/// A document read: the composition (null when the read failed) and each loss
/// as "PLACE | SCHEMA | what".
struct XmemlRead {
    SharedPtr<Composition> composition;
    std::vector<std::string> losses;
    Status status;
    std::string message;
};
XmemlRead readXmeml(const std::string& text, const std::string& timeline = std::string());

/// "<rate><timebase>TIMEBASE</timebase><ntsc>NTSC</ntsc></rate>".
std::string rateXml(int timebase, bool ntsc = false);

/// An xmeml document of one sequence named "cut" at `rate` (rateXml) holding
/// the video tracks `video` and the audio tracks `audio` (each the inside of a
/// "track" element); `more` goes after the sequence's rate (a timecode, ...).
std::string sequenceXml(const std::vector<std::string>& video,
                        const std::vector<std::string>& audio = {},
                        const std::string& rate = rateXml(24), const std::string& more = "");

/// A clipitem named `name` from `start` to `end`, playing from `in` to `out`
/// of its file (`file`: a "file" element, full or by id), with `more` inside.
std::string clipXml(const std::string& name, long start, long end, long in, long out,
                    const std::string& file, const std::string& more = "");

/// A file element with id `id` at `path` (a pathurl), `rate`, lasting
/// `duration` frames from the timecode `timecode` (its inside).
std::string fileXml(const std::string& id, const std::string& path, const std::string& rate,
                    long duration, const std::string& timecode = "");

/// The places of the losses, in order.
std::vector<std::string> lossPlaces(const std::vector<std::string>& losses);

/// Each clip and gap of the first composition, track by track, as
/// "TRACK RECORD_IN+LENGTH clip NAME src SOURCE_IN@RATE[ PATH]" or
/// "TRACK RECORD_IN+LENGTH gap", record frames absolute.
std::vector<std::string> itemsOf(const Composition& composition);

/// The transitions of the first composition, as "TRACK CUT -IN +OUT NAME TYPE".
std::vector<std::string> transitionsOf(const Composition& composition);

/// The notes of the first composition, as "TRACK START+DURATION TEXT".
std::vector<std::string> notesOf(const Composition& composition);

/// `xml` without the white space its layout puts between tags, to find kept XML
/// in what a writer laid out.
std::string withoutLayout(const std::string& xml);

/// The document written for `composition`; a test failure when it cannot be.
/// `losses` (when given) receives each loss as readXmeml gives them.
std::string writeXmeml(const Composition& composition, std::vector<std::string>* losses = nullptr);

/// A file of 1000 frames at 24, /m/a.mov, id "f1": the media most tests use.
inline const std::string kFile = fileXml("f1", "file://localhost/m/a.mov", rateXml(24), 1000);

} // namespace ZEM_0_81::test::xmeml
