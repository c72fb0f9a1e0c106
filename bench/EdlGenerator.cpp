#include "bench/EdlGenerator.h"

#include <cstdio>

namespace ZEM_0_81::bench {

namespace {

constexpr int kListRate = 24;

/// A small, fixed pseudo-random sequence (64-bit xorshift), the same everywhere.
class ListRandom {
public:
    explicit ListRandom(std::uint64_t seed) : m_state(seed ? seed : 1) {}
    std::uint64_t next() {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 7;
        m_state ^= m_state << 17;
        return m_state;
    }
    int below(int bound) { return static_cast<int>(next() % static_cast<std::uint64_t>(bound)); }

private:
    std::uint64_t m_state;
};

std::string timecode(std::int64_t frames) {
    char text[32];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld:%02lld",
                  static_cast<long long>(frames / (3600 * kListRate)),
                  static_cast<long long>(frames / (60 * kListRate) % 60),
                  static_cast<long long>(frames / kListRate % 60),
                  static_cast<long long>(frames % kListRate));
    return text;
}

std::string eventLine(std::size_t number, const std::string& reel, const char* channels,
                      const char* transition, const std::string& sourceIn,
                      const std::string& sourceOut, const std::string& recordIn,
                      const std::string& recordOut) {
    char text[160];
    std::snprintf(text, sizeof text, "%03zu  %-8s %-5s %-8s %s %s %s %s\n", number % 1000000,
                  reel.c_str(), channels, transition, sourceIn.c_str(), sourceOut.c_str(),
                  recordIn.c_str(), recordOut.c_str());
    return text;
}

} // namespace

std::string generateEdl(std::size_t events, EdlCounts* counts, std::uint64_t seed) {
    static const char* const kColours[] = {"RED", "GREEN", "BLUE", "YELLOW", "CYAN", "MAGENTA"};
    ListRandom random(seed);
    EdlCounts tally;
    std::string text = "TITLE: bench reel 1\nFCM: NON-DROP FRAME\n\n";
    text.reserve(events * 420 + 64);
    std::int64_t record = 3600 * kListRate;
    std::string previousReel;
    std::int64_t previousSourceOut = 0;
    char line[256];
    for (std::size_t i = 1; i <= events; ++i) {
        char reel[16];
        std::snprintf(reel, sizeof reel, "A%03dC%03d", random.below(200), random.below(1000));
        const char* channels = i % 7 == 0 ? "AA/V" : i % 5 == 0 ? "B" : "V";
        const std::int64_t length = 24 + random.below(72);
        const std::int64_t sourceIn =
            (10 + random.below(10)) * 3600 * kListRate + random.below(50000);
        const bool dissolve = i % 10 == 0 && !previousReel.empty();
        if (dissolve) {
            text += eventLine(i, previousReel, channels, "C", timecode(previousSourceOut),
                              timecode(previousSourceOut), timecode(record), timecode(record));
            text +=
                eventLine(i, reel, channels, "D    012", timecode(sourceIn),
                          timecode(sourceIn + length), timecode(record), timecode(record + length));
        } else {
            text +=
                eventLine(i, reel, channels, "C", timecode(sourceIn), timecode(sourceIn + length),
                          timecode(record), timecode(record + length));
        }
        if (dissolve)
            text += "* FROM CLIP NAME: " + previousReel + "_take\n* TO CLIP NAME: ";
        else
            text += "* FROM CLIP NAME: ";
        std::snprintf(line, sizeof line, "%s_sh%05zu_v%03d\n* SOURCE FILE: /shows/bench/%s.mov\n",
                      reel, i, 1 + random.below(20), reel);
        text += line;
        std::snprintf(line, sizeof line,
                      "*ASC_SOP (1.%04d 1.%04d 0.%04d)(0.%04d -0.%04d 0.%04d)(1.%04d 0.%04d "
                      "1.0000)\n*ASC_SAT 0.%04d\n",
                      random.below(10000), random.below(10000), 9000 + random.below(1000),
                      random.below(500), random.below(500), random.below(500), random.below(1000),
                      9000 + random.below(1000), 8000 + random.below(2000));
        text += line;
        if (i % 2 == 0) {
            std::snprintf(line, sizeof line, "* LOC: %s %s note %zu: check the grade here\n",
                          timecode(record + random.below(static_cast<int>(length))).c_str(),
                          kColours[random.below(6)], i);
            text += line;
        }
        if (i % 25 == 0) {
            std::snprintf(line, sizeof line, "M2   %-8s  %s    %s\n", reel,
                          i % 50 == 0 ? "048.0" : "012.0", timecode(sourceIn).c_str());
            text += line;
        }
        text += "* COMMENT: take good, editor's pick\n";
        tally.events += 1;
        tally.clips += i % 7 == 0 ? 3 : i % 5 == 0 ? 2 : 1;
        previousReel = reel;
        previousSourceOut = sourceIn + length;
        record += length;
    }
    if (counts)
        *counts = tally;
    return text;
}

} // namespace ZEM_0_81::bench
