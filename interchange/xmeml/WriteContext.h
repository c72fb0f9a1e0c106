#pragma once

#include "interchange/LossReport.h"
#include "interchange/xmeml/XmemlValues.h"
#include "interchange/xmeml/XmlOut.h"

#include "outside/core/Rational.h"

#include <cstdint>
#include <map>
#include <set>
#include <string>

namespace ZEM_0_81::Interchange::Fcp7 {

/// What every part of a document being written shares: the sequence's rate and
/// start, the composition's rate its record frames count at, the ids taken, and
/// the report of what the document cannot hold.
class WriteContext {
public:
    WriteContext(const FrameRate& rate, const Rational& compositionRate, LossReport& losses)
        : m_rate(rate), m_compositionRate(compositionRate), m_losses(losses) {}

    /// The sequence's rate.
    const FrameRate& rate() const { return m_rate; }
    /// The composition's rate, frames a second.
    double compositionRate() const { return m_compositionRate.getValue(); }
    /// The composition's record frame `frames` at the sequence's rate, to the
    /// nearest frame (the same count when the rates are the same).
    std::int64_t record(std::int64_t frames) const;
    /// The sequence's start timecode, in its frames; record frames are written
    /// counted from it.
    std::int64_t start = 0;

    /// `wanted` as it is written (XmlOut::writable) when no element of the
    /// document has that id yet, else the first of "PREFIX-1", "PREFIX-2", ...
    /// that none has; the id is then taken.
    std::string uniqueId(const std::string& wanted, const char* prefix);
    /// Takes `id` as it is written: two ids that differ only in characters XML
    /// cannot hold are one in the document. False when that is empty or an
    /// element has it already.
    bool take(const std::string& id);

    /// Reports `what` of the element at `place` named `element`.
    void lose(const std::string& place, const char* element, const std::string& what) {
        m_losses.add(String(place.c_str()), String(element), String(what.c_str()));
    }

private:
    FrameRate m_rate;
    Rational m_compositionRate;
    LossReport& m_losses;
    std::set<std::string> m_ids;
    std::map<std::string, std::size_t> m_next;
};

/// `value` frames at `from` frames a second counted at `to`, a whole number of
/// frames: rounded down, or up with `up`, within ±kMaxFrames.
std::int64_t countAt(double value, double from, double to, bool up);

/// "<rate><timebase>N</timebase><ntsc>TRUE|FALSE</ntsc></rate>".
void writeRate(XmlOut& out, const FrameRate& rate);

/// A "timecode" element of `frames` at `rate`: its rate, its string (drop frame
/// when `dropFrame` and the rate is 29.97 or 59.94), its frame count and its
/// display format.
void writeTimecode(XmlOut& out, std::int64_t frames, const FrameRate& rate, bool dropFrame);

} // namespace ZEM_0_81::Interchange::Fcp7
