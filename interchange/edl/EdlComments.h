#pragma once

#include "interchange/edl/EdlTimecode.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace ZEM_0_81::Interchange::Cmx {

/// The statements of comment lines. Each is read with or without a leading
/// '*', with or without a colon after it, in any case, words separated by any
/// spaces or tabs ("* FROM CLIP NAME: A", "*from clip name A").
enum class Keyword {
    None, ///< any other line: a plain comment
    FromClipName,
    ToClipName,
    SourceFile,
    FromFile,
    FromClip,
    ToFile,
    ToClip,
    Loc,
    AscSop,
    AscSat,
    M2,
    FreezeFrame,
    Split,
    Aud,
    Count, ///< not a keyword: how many there are, for tables indexed by them
};

/// The keyword `line` starts with, and in `value` what follows it and its
/// colon, trimmed.
Keyword keywordOf(std::string_view line, std::string_view& value);

/// The statement's name in a loss report ("LOC", "ASC_SOP", "FROM CLIP NAME").
const char* keywordName(Keyword keyword);

/// True for the statements an event holds one of: a second one is a plain
/// comment. (LOC, AUD and SPLIT lines may repeat.)
bool isSingle(Keyword keyword);

/// "LOC: TIMECODE [COLOUR] TEXT".
struct Locator {
    TimecodeText time;
    std::string colour;  ///< the colour word as written; empty when there is none
    std::string caption; ///< the rest, trimmed
};
bool parseLocator(std::string_view value, Locator& out);

/// The colour names a locator may give, in the order OTIO lists its marker
/// colours: RED, GREEN, BLUE, CYAN, MAGENTA, YELLOW, BLACK, WHITE, PINK,
/// ORANGE, PURPLE.
const std::array<const char*, 11>& locatorColours();
/// The name `word` stands for among locatorColours (any case); null for none.
const char* locatorColourOf(std::string_view word);

/// "ASC_SOP (r g b)(r g b)(r g b)": slope, offset and power, nine finite
/// numbers (the parentheses may be left out, commas may separate them).
bool parseSop(std::string_view value, std::array<double, 9>& out);
/// "ASC_SAT s": one finite number.
bool parseSat(std::string_view value, double& out);

/// "M2 REEL SPEED SRC_TC": the reel whose speed changes, frames a second
/// (negative runs backwards, 0 is a freeze) and the source timecode it starts at.
struct SpeedChange {
    std::string reel;
    double speed = 0.0;
    TimecodeText sourceIn;
};
bool parseSpeedChange(std::string_view value, SpeedChange& out);

/// "AUD 3", "AUD 4", "AUD 3 4": the channels it adds (kAudio3, kAudio4); 0 for
/// any other value.
std::uint8_t audChannels(std::string_view value);

/// A finite number as a list writes it ("048.0", "-1.5e-3", "+2", ".5").
bool parseNumber(std::string_view text, double& out);

} // namespace ZEM_0_81::Interchange::Cmx
