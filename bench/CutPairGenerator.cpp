#include "bench/CutPairGenerator.h"

#include <cstdio>
#include <vector>

namespace ZEM_0_81::bench {

namespace {

constexpr int kCutRate = 24;

/// A small, fixed pseudo-random sequence (64-bit xorshift), the same everywhere.
class CutRandom {
public:
    explicit CutRandom(std::uint64_t seed) : m_state(seed ? seed : 1) {}
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

struct Shot {
    int number = 0;
    int version = 1;
    std::int64_t source = 0;
    std::int64_t length = 0;
    std::int64_t noteAt = 0; ///< source frame of its note; its length below
    std::int64_t noteLength = 0;
};

std::string time(std::int64_t value) {
    char text[96];
    std::snprintf(text, sizeof text,
                  "{\"OTIO_SCHEMA\":\"RationalTime.1\",\"rate\":%d.0,\"value\":%lld.0}", kCutRate,
                  static_cast<long long>(value));
    return text;
}

std::string range(std::int64_t start, std::int64_t duration) {
    return "{\"OTIO_SCHEMA\":\"TimeRange.1\",\"duration\":" + time(duration) +
           ",\"start_time\":" + time(start) + "}";
}

std::string clipText(const Shot& shot, bool withNote) {
    char name[32];
    std::snprintf(name, sizeof name, "sh%04d_comp_v%03d", shot.number, shot.version);
    char folder[32];
    std::snprintf(folder, sizeof folder, "sh%04d", shot.number);
    std::string markers;
    if (withNote)
        markers = "{\"OTIO_SCHEMA\":\"Marker.2\",\"name\":\"note on " + std::string(name) +
                  "\",\"color\":\"RED\",\"marked_range\":" + range(shot.noteAt, shot.noteLength) +
                  ",\"metadata\":{}}";
    return "{\"OTIO_SCHEMA\":\"Clip.2\",\"name\":\"" + std::string(name) +
           "\",\"source_range\":" + range(shot.source, shot.length) + ",\"markers\":[" + markers +
           "],\"effects\":[],\"enabled\":true,\"metadata\":{},\"media_references\":{"
           "\"DEFAULT_MEDIA\":{\"OTIO_SCHEMA\":\"ExternalReference.1\",\"target_url\":"
           "\"/shows/bench/" +
           folder + "/" + name +
           ".exr\",\"available_range\":null,\"metadata\":{}}},"
           "\"active_media_reference_key\":\"DEFAULT_MEDIA\"}";
}

std::string cutText(const char* title, const std::vector<Shot>& shots, bool withNotes) {
    std::string children;
    for (const Shot& shot : shots) {
        if (!children.empty())
            children += ",";
        children += clipText(shot, withNotes);
    }
    return "{\"OTIO_SCHEMA\":\"Timeline.1\",\"name\":\"" + std::string(title) +
           "\",\"global_start_time\":" + time(86400) +
           ",\"tracks\":{\"OTIO_SCHEMA\":\"Stack.1\",\"name\":\"\",\"children\":[{\"OTIO_SCHEMA\":"
           "\"Track.1\",\"name\":\"V1\",\"kind\":\"Video\",\"children\":[" +
           children + "]}]}}";
}

} // namespace

CutPair generateCutPair(std::size_t clips, std::uint64_t seed) {
    CutRandom random(seed);
    std::vector<Shot> before;
    before.reserve(clips);
    for (std::size_t i = 0; i < clips; ++i) {
        Shot shot;
        // Every tenth clip uses a shot of ten clips before it, other frames of it.
        shot.number = i % 10 == 9 ? static_cast<int>(i) - 9 + 1 : static_cast<int>(i) + 1;
        shot.source = 1001 + (i % 10 == 9 ? 200 : 0) + random.below(48);
        shot.length = 24 + random.below(73);
        shot.noteLength = 1 + random.below(12);
        shot.noteAt = shot.source + random.below(static_cast<int>(shot.length));
        before.push_back(shot);
    }

    CutPair pair;
    pair.clips = clips;
    pair.notes = clips;
    std::vector<Shot> after;
    std::vector<Shot> moved;
    int inserted = 0;
    for (std::size_t i = 0; i < clips; ++i) {
        Shot shot = before[i];
        const std::size_t n = i + 1;
        if (n % 17 == 0) {
            ++pair.removed;
            continue;
        }
        if (n % 7 == 0) {
            const int frames = 1 + random.below(5);
            shot.source += frames;
            shot.length -= frames;
        } else if (n % 11 == 0) {
            shot.source += 1 + random.below(8);
        }
        if (n % 13 == 0)
            ++shot.version;
        if (n % 29 == 0) {
            moved.push_back(shot);
        } else {
            after.push_back(shot);
        }
        // A moved clip lands 11 clips on (or at the end).
        if (!moved.empty() && n % 29 == 11) {
            after.insert(after.end(), moved.begin(), moved.end());
            moved.clear();
        }
        if (n % 19 == 0) {
            Shot fresh;
            fresh.number = 100000 + ++inserted;
            fresh.source = 1001;
            fresh.length = 12 + random.below(36);
            after.push_back(fresh);
            ++pair.added;
        }
    }
    after.insert(after.end(), moved.begin(), moved.end());
    pair.before = cutText("old", before, true);
    pair.after = cutText("new", after, false);
    return pair;
}

} // namespace ZEM_0_81::bench
