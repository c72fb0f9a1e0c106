#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace ZEM_0_81::bench {

/// What a generated list holds, for checking a read against it.
struct EdlCounts {
    std::size_t events = 0;
    std::size_t clips = 0; ///< one on each channel of each event
};

/// A synthetic CMX 3600 EDL of `events` events at 24 frames a second, record
/// time from 01:00:00:00 without holes, as editorial hands a cut to grading:
/// every event named and given its media file, an ASC look and a plain comment;
/// a locator on every second event; every fifth on V and A1, every seventh on
/// V, A1 and A2, the others on V; every tenth a dissolve from the event before
/// (two lines), every twenty-fifth a speed change. The pseudo-random values
/// come from `seed` alone.
std::string generateEdl(std::size_t events, EdlCounts* counts = nullptr,
                        std::uint64_t seed = 0x5eed2024ed100001ULL);

} // namespace ZEM_0_81::bench
