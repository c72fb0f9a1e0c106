#pragma once

#include "interchange/edl/EdlLines.h"
#include "interchange/edl/EdlTimecode.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ZEM_0_81::Interchange::Cmx {

/// The channels of an event, as bits: the picture and four sound channels.
enum Channel : std::uint8_t {
    kVideo = 1,
    kAudio1 = 2,
    kAudio2 = 4,
    kAudio3 = 8,
    kAudio4 = 16,
};

/// The channels a channel code names ("V", "A", "AA", "B", "A/V", "AA/V",
/// "A2/V", "A1" ... "A4", "NONE" for none), in any case; false for another code.
bool channelsOf(std::string_view code, std::uint8_t& channels);

/// The code an event with `channels` among V, A1 and A2 is written with ("V",
/// "A", "A2", "AA", "B", "A2/V", "AA/V"), or with A3 or A4 alone ("A3", "A4");
/// "NONE" for none. Channels past these go on AUD lines.
const char* channelCode(std::uint8_t channels);

/// What an event line does.
enum class Transition {
    Cut,           ///< "C"
    Dissolve,      ///< "D"
    Wipe,          ///< "W" and its number ("W001")
    Key,           ///< "K": the key's foreground
    KeyBackground, ///< "KB": the key's background
    KeyOut,        ///< "KO": the foreground, keyed out
};

/// True for the lines that pair with the line before them of the same number.
inline bool isSecondLine(Transition transition) {
    return transition == Transition::Dissolve || transition == Transition::Wipe ||
           transition == Transition::Key || transition == Transition::KeyOut;
}

/// An event line as written: "EDIT REEL CHANNELS TRANSITION [DURATION] SRC_IN
/// SRC_OUT REC_IN REC_OUT", its timecodes not yet counted.
struct EventLine {
    std::size_t line = 0;
    std::string edit;
    std::string reel;
    std::string channelText;
    std::uint8_t channels = 0;
    Transition transition = Transition::Cut;
    std::string transitionCode; ///< as written ("D", "W001", "KB")
    bool hasDuration = false;
    std::int64_t duration = 0;
    TimecodeText times[4]; ///< source in and out, record in and out
};

/// True when the first field of a line makes it an event line: an edit number,
/// digits only. Whether the rest can be read is parseEventLine's to say.
inline bool startsEvent(const std::vector<std::string_view>& fields) {
    return !fields.empty() && isDigits(fields.front());
}

/// Reads the fields of an event line; false, with a reason for a person in
/// `why`, when they are not one.
bool parseEventLine(const std::vector<std::string_view>& fields, EventLine& out, std::string& why);

/// True when `reel` names black ("BL", "BLK", "BLACK", in any case): the event
/// plays nothing.
bool isBlackReel(std::string_view reel);

} // namespace ZEM_0_81::Interchange::Cmx
