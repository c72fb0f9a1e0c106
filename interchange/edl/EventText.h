#pragma once

#include "interchange/edl/WriteReport.h"
#include "interchange/edl/WrittenEvents.h"

#include <cstdint>
#include <string>
#include <vector>

namespace ZEM_0_81::Interchange::Cmx {

/// A look's number as a list writes it: six decimals when they read back the
/// same number, else the shortest text that does (at least six significant
/// digits either way), whatever the host's locale.
std::string numberText(double value);

/// The name an event's FROM (or TO) CLIP NAME says: its clip's name, else a
/// clip's reel, as a list reading it back names it; empty for nameless black.
const std::string& writtenName(const WrittenEvent& event);

/// A speed as an M2 line writes it, whatever the host's locale: one decimal,
/// three digits before it ("048.0", "-024.0", "1000.0").
std::string speedText(double speed);

/// The text of a list: "TITLE: name", "FCM: DROP FRAME" or "FCM: NON-DROP
/// FRAME" at the drop-frame rates (no FCM line at other rates, where some
/// readers refuse one), a blank line, then the events numbered from 001 (past
/// 999999 the numbers start again at 000000), each line ending in LF:
///
///     001  REEL     V     C        SRC_IN      SRC_OUT     REC_IN      REC_OUT
///     AUD 3 4                       (A3 and A4 beside the channel code)
///     * FROM CLIP NAME: name        (a transition: the outgoing source's,
///     * TO CLIP NAME: name           then the incoming one's)
///     * FROM FILE: path             (a transition's outgoing file, when kept)
///     * SOURCE FILE: path           (TO FILE for an incoming source whose event
///                                    keeps a TO FILE or TO CLIP comment)
///     *ASC_SOP (s s s)(o o o)(p p p)
///     *ASC_SAT s
///     M2 and FREEZE FRAME lines
///     * LOC: TIMECODE COLOUR caption
///     the plain comments, as they came
///
/// A transition is two lines of one number: the outgoing source, lasting
/// nothing at the cut, then the incoming event "D" or "W001" with its duration.
class EventText {
public:
    EventText(const WriteReport& report, std::uint32_t reelWidth)
        : m_report(report), m_reelWidth(reelWidth < 8 ? 8 : reelWidth) {}

    /// The header lines.
    void header(const std::string& title, std::string& out) const;
    /// The lines of `event`, number `number`.
    void event(const WrittenEvent& event, std::uint64_t number, std::string& out) const;

private:
    void line(std::uint64_t number, const std::string& reel, std::uint8_t channels,
              const std::string& transition, const std::string& duration, std::int64_t sourceIn,
              std::int64_t sourceOut, std::int64_t recordIn, std::int64_t recordOut,
              std::string& out) const;

    const WriteReport& m_report;
    std::uint32_t m_reelWidth;
};

} // namespace ZEM_0_81::Interchange::Cmx
