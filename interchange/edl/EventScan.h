#pragma once

#include "interchange/edl/EventLine.h"
#include "interchange/edl/LineReport.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace ZEM_0_81::Interchange::Cmx {

/// A comment line of an event as it came, with the frame-count mode in force
/// where it stands (for the timecode of a locator).
struct CommentLine {
    std::size_t line = 0;
    std::string text;
    bool dropFrame = false;
};

/// An event line with its timecodes counted, in frames at the list's rate.
struct CountedLine {
    EventLine text;
    std::int64_t sourceIn = 0;
    std::int64_t sourceOut = 0;
    std::int64_t recordIn = 0;
    std::int64_t recordOut = 0;

    std::int64_t sourceLength() const { return sourceOut - sourceIn; }
    std::int64_t recordLength() const { return recordOut - recordIn; }
};

/// One event: an event line and the comment lines after it, or two lines of
/// one edit number making one transition or key (`first` the outgoing source
/// or the key's background, `main` the line of the transition).
struct Event {
    CountedLine main;
    bool paired = false;
    CountedLine first;
    std::vector<CommentLine> comments;
};

/// Reads the lines of a list into events, front to back: the TITLE line, the
/// FCM lines that set the frame-count mode of the timecodes after them, event
/// lines (two of one number in a row, the second a transition or a key, make
/// one event) and the comment lines after each. An event line that cannot be
/// read is reported and skipped with its comments; comment lines before the
/// first event are not read.
class EventScan {
public:
    EventScan(const FrameCounter& counter, LineReport& report)
        : m_counter(counter), m_report(report) {}

    /// Reads `text`, handing each event to `take` as it is complete.
    void scan(const char* text, std::size_t length, const std::function<void(Event&)>& take);

    bool hasTitle() const { return m_hasTitle; }
    const std::string& title() const { return m_title; }
    /// The number of event lines read.
    std::size_t eventLines() const { return m_eventLines; }
    /// The earliest record in of every event line read; 0 when none was.
    std::int64_t earliestRecordIn() const { return m_eventLines ? m_earliest : 0; }

private:
    bool counted(const EventLine& line, bool dropFrame, CountedLine& out);

    const FrameCounter& m_counter;
    LineReport& m_report;
    bool m_hasTitle = false;
    std::string m_title;
    std::size_t m_eventLines = 0;
    std::int64_t m_earliest = 0;
};

/// The mode the first FCM line of `text` sets: true for drop frame; false
/// when it says non-drop frame or there is none.
bool firstFcmSaysDropFrame(const char* text, std::size_t length);

} // namespace ZEM_0_81::Interchange::Cmx
