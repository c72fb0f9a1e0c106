#include "interchange/edl/EventLine.h"

#include "interchange/edl/EdlLines.h"

namespace ZEM_0_81::Interchange::Cmx {

namespace {

struct NamedChannels {
    const char* code;
    std::uint8_t channels;
};

// The codes read, the first of each set of channels the one written.
constexpr NamedChannels kChannelCodes[] = {
    {"V", kVideo},
    {"A", kAudio1},
    {"A2", kAudio2},
    {"AA", kAudio1 | kAudio2},
    {"B", kVideo | kAudio1},
    {"A2/V", kVideo | kAudio2},
    {"AA/V", kVideo | kAudio1 | kAudio2},
    {"A3", kAudio3},
    {"A4", kAudio4},
    {"NONE", 0},
    {"A1", kAudio1},
    {"A/V", kVideo | kAudio1},
};

constexpr std::size_t kMaxEditDigits = 6;
constexpr std::size_t kMaxDurationDigits = 9;

bool transitionOf(std::string_view code, Transition& transition) {
    if (equalsIgnoringCase(code, "C"))
        transition = Transition::Cut;
    else if (equalsIgnoringCase(code, "D"))
        transition = Transition::Dissolve;
    else if (equalsIgnoringCase(code, "K"))
        transition = Transition::Key;
    else if (equalsIgnoringCase(code, "KB"))
        transition = Transition::KeyBackground;
    else if (equalsIgnoringCase(code, "KO"))
        transition = Transition::KeyOut;
    else if ((code.front() == 'W' || code.front() == 'w') &&
             (code.size() == 1 || (code.size() <= 4 && isDigits(code.substr(1)))))
        transition = Transition::Wipe;
    else
        return false;
    return true;
}

bool needsDuration(Transition transition) {
    return transition == Transition::Dissolve || transition == Transition::Wipe ||
           transition == Transition::Key || transition == Transition::KeyOut;
}

} // namespace

bool channelsOf(std::string_view code, std::uint8_t& channels) {
    for (const NamedChannels& named : kChannelCodes) {
        if (equalsIgnoringCase(code, named.code)) {
            channels = named.channels;
            return true;
        }
    }
    return false;
}

const char* channelCode(std::uint8_t channels) {
    const std::uint8_t base = channels & (kVideo | kAudio1 | kAudio2);
    std::uint8_t wanted = channels;
    if (base != 0)
        wanted = base;
    else if (channels & kAudio3)
        wanted = kAudio3;
    for (const NamedChannels& named : kChannelCodes)
        if (named.channels == wanted)
            return named.code;
    return "NONE";
}

bool isBlackReel(std::string_view reel) {
    return equalsIgnoringCase(reel, "BL") || equalsIgnoringCase(reel, "BLK") ||
           equalsIgnoringCase(reel, "BLACK");
}

bool parseEventLine(const std::vector<std::string_view>& fields, EventLine& out, std::string& why) {
    if (fields.size() < 8) {
        why = "it has " + std::to_string(fields.size()) + " fields, and an event line at least 8";
        return false;
    }
    if (fields.size() > 9) {
        why = "it has " + std::to_string(fields.size()) + " fields, and an event line at most 9";
        return false;
    }
    EventLine read;
    if (fields[0].size() > kMaxEditDigits || !isDigits(fields[0])) {
        why = "its edit number is not one to six digits";
        return false;
    }
    read.edit.assign(fields[0]);
    read.reel.assign(fields[1]);
    read.channelText.assign(fields[2]);
    if (!channelsOf(fields[2], read.channels)) {
        why = "its channels \"" + read.channelText + "\" are none an EDL names";
        return false;
    }
    read.transitionCode.assign(fields[3]);
    if (!transitionOf(fields[3], read.transition)) {
        why = "its transition \"" + read.transitionCode + "\" is none an EDL names";
        return false;
    }
    if (fields.size() == 9) {
        if (fields[4].size() > kMaxDurationDigits || !isDigits(fields[4])) {
            why = "its duration \"" + std::string(fields[4]) + "\" is not a number of frames";
            return false;
        }
        read.hasDuration = true;
        for (const char c : fields[4])
            read.duration = read.duration * 10 + (c - '0');
    } else if (needsDuration(read.transition)) {
        why = "its transition \"" + read.transitionCode + "\" has no duration";
        return false;
    }
    const std::size_t first = fields.size() - 4;
    for (std::size_t i = 0; i < 4; ++i) {
        if (!parseTimecodeText(fields[first + i], read.times[i])) {
            why = "\"" + std::string(fields[first + i]) + "\" is not a timecode";
            return false;
        }
    }
    read.line = out.line;
    out = std::move(read);
    return true;
}

} // namespace ZEM_0_81::Interchange::Cmx
