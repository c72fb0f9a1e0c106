#include "interchange/edl/EventScan.h"

#include "interchange/edl/EdlLines.h"
#include "interchange/edl/HeaderLines.h"

#include <algorithm>
#include <cstring>

namespace ZEM_0_81::Interchange::Cmx {

namespace {

/// True when a line of `transition` after `first`, of the same edit number,
/// makes one event with it.
bool pairs(const CountedLine& first, const EventLine& second) {
    return first.text.edit == second.edit && isSecondLine(second.transition) &&
           (first.text.transition == Transition::Cut ||
            first.text.transition == Transition::KeyBackground);
}

} // namespace

bool EventScan::counted(const EventLine& line, bool dropFrame, CountedLine& out) {
    std::int64_t frames[4] = {};
    static const char* const kNames[4] = {"source in", "source out", "record in", "record out"};
    for (int i = 0; i < 4; ++i) {
        const TimecodeText& time = line.times[i];
        if (!m_counter.dropRate() && !time.isCount && (dropFrame || time.marksDropFrame))
            m_report.dropFrameAtRate(line.line, m_counter.rate());
        std::string why;
        if (!m_counter.frames(time, dropFrame, frames[i], why)) {
            m_report.lose(line.line, kEventSchema,
                          std::string("skipped with its comments: its ") + kNames[i] +
                              " cannot be read: " + why);
            return false;
        }
    }
    if (frames[1] < frames[0] || frames[3] < frames[2]) {
        m_report.lose(line.line, kEventSchema,
                      std::string("skipped with its comments: its ") +
                          (frames[1] < frames[0] ? "source" : "record") + " out is before its in");
        return false;
    }
    out.text = line;
    out.sourceIn = frames[0];
    out.sourceOut = frames[1];
    out.recordIn = frames[2];
    out.recordOut = frames[3];
    return true;
}

void EventScan::scan(const char* text, std::size_t length,
                     const std::function<void(Event&)>& take) {
    // A byte order mark, which some tools write, is no character of the text.
    if (length >= 3 && std::memcmp(text, "\xEF\xBB\xBF", 3) == 0) {
        text += 3;
        length -= 3;
    }
    LineReader lines(text, length);
    std::string_view line;
    std::size_t number = 0;
    std::vector<std::string_view> fields;
    bool dropFrame = false;
    bool open = false;     // an event is pending
    bool skipping = false; // the comments after an unreadable line are skipped
    Event event;
    const auto finish = [&] {
        if (open)
            take(event);
        open = false;
    };

    while (lines.next(line, number)) {
        if (trimmed(line).empty())
            continue;
        std::string_view title;
        bool drop = false;
        if (!m_hasTitle && parseTitle(line, title)) {
            m_hasTitle = true;
            m_title.assign(title);
            continue;
        }
        if (parseFcm(line, drop)) {
            dropFrame = drop;
            if (drop && !m_counter.dropRate())
                m_report.dropFrameAtRate(number, m_counter.rate());
            continue;
        }
        splitFields(line, fields);
        if (!startsEvent(fields)) {
            if (open && !skipping)
                event.comments.push_back(CommentLine{number, std::string(line), dropFrame});
            continue;
        }
        EventLine parsed;
        parsed.line = number;
        std::string why;
        CountedLine read;
        if (!parseEventLine(fields, parsed, why)) {
            m_report.lose(number, kEventSchema, "skipped with its comments: " + why);
            finish();
            skipping = true;
            continue;
        }
        if (!counted(parsed, dropFrame, read)) {
            finish();
            skipping = true;
            continue;
        }
        skipping = false;
        m_earliest = m_eventLines == 0 ? read.recordIn : std::min(m_earliest, read.recordIn);
        ++m_eventLines;
        if (open && !event.paired && pairs(event.main, read.text)) {
            event.first = std::move(event.main);
            event.main = std::move(read);
            event.paired = true;
            continue;
        }
        finish();
        event = Event();
        event.main = std::move(read);
        open = true;
    }
    finish();
}

bool firstFcmSaysDropFrame(const char* text, std::size_t length) {
    LineReader lines(text, length);
    std::string_view line;
    std::size_t number = 0;
    bool drop = false;
    while (lines.next(line, number))
        if (parseFcm(line, drop))
            return drop;
    return false;
}

} // namespace ZEM_0_81::Interchange::Cmx
