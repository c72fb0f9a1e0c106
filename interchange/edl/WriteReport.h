#pragma once

#include "interchange/edl/EdlTimecode.h"

#include <cstdint>
#include <string>

namespace ZEM_0_81 {
class LossReport;
}

namespace ZEM_0_81::Interchange::Cmx {

/// The loss report of writing one list: what the list does not hold, each
/// entry's place the track ("track V"), the track and the record timecode of
/// the item ("track V, 01:00:05:00"), or "TITLE"; its schema what it is
/// ("clip", "note", "CDL", "transition", ...).
/// The schema of a loss about a track as a whole.
constexpr const char* kTrackSchema = "track";

class WriteReport {
public:
    WriteReport(LossReport& losses, const FrameCounter& counter, bool dropFrame)
        : m_losses(losses), m_counter(counter), m_dropFrame(dropFrame) {}

    void track(const std::string& track, const std::string& schema, const std::string& what);
    void item(const std::string& track, std::int64_t recordIn, const std::string& schema,
              const std::string& what);
    void title(const std::string& what);

    const FrameCounter& counter() const { return m_counter; }
    bool dropFrame() const { return m_dropFrame; }
    /// The timecode of `frames` as the list writes it.
    std::string timecode(std::int64_t frames) const {
        return m_counter.timecode(frames, m_dropFrame);
    }

private:
    void lose(const std::string& place, const std::string& schema, const std::string& what);

    LossReport& m_losses;
    const FrameCounter& m_counter;
    bool m_dropFrame;
};

} // namespace ZEM_0_81::Interchange::Cmx
