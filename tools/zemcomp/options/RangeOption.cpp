#include "tools/zemcomp/options/RangeOption.h"

#include "composition/Timecode.h"
#include "tools/zemcomp/options/NumberOption.h"
#include "tools/zemcomp/text/TimeText.h"

#include <cctype>
#include <limits>
#include <vector>

namespace zemcomp {

using namespace ZEM_0_81;

namespace {

bool isFrameNumber(const std::string& text) {
    return parseWholeNumber(text, kSmallest, kLargest).has_value();
}

/// The four fields of "[-]H:MM:SS:FF" (';' allowed before FF), when the text
/// has that shape: digits only, hours of any length, two digits for minutes
/// and seconds, at least two for frames.
bool timecodeFields(const std::string& text, bool& negative, std::vector<std::string>& fields) {
    std::size_t position = 0;
    negative = !text.empty() && text[0] == '-';
    if (negative)
        ++position;
    fields.clear();
    std::string field;
    for (; position < text.size(); ++position) {
        const char c = text[position];
        if (std::isdigit(static_cast<unsigned char>(c))) {
            field += c;
        } else if (c == ':' || (c == ';' && fields.size() == 2)) {
            fields.push_back(field);
            field.clear();
        } else {
            return false;
        }
    }
    fields.push_back(field);
    return fields.size() == 4 && !fields[0].empty() && fields[1].size() == 2 &&
           fields[2].size() == 2 && fields[3].size() >= 2;
}

bool isTimecodeShaped(const std::string& text) {
    bool negative = false;
    std::vector<std::string> fields;
    return timecodeFields(text, negative, fields);
}

} // namespace

std::optional<RangeText> splitRange(const std::string& text) {
    const std::size_t separator = text.find('-', 1);
    if (separator == std::string::npos)
        return std::nullopt;
    RangeText range{text.substr(0, separator), text.substr(separator + 1)};
    for (const std::string& part : {range.start, range.end})
        if (!isFrameNumber(part) && !isTimecodeShaped(part))
            return std::nullopt;
    return range;
}

CLI::Validator rangeShape() {
    return CLI::Validator(
        [](std::string& text) -> std::string {
            if (!splitRange(text))
                return "'" + text +
                       "' is not START-END, each a frame number or a timecode HH:MM:SS:FF";
            return {};
        },
        "", "START-END");
}

std::optional<std::int64_t> parseTimecode(const std::string& text, const Rational& rate,
                                          std::string& error) {
    bool negative = false;
    std::vector<std::string> fields;
    if (!timecodeFields(text, negative, fields)) {
        error = "'" + text + "' is not a timecode HH:MM:SS:FF";
        return std::nullopt;
    }
    std::int64_t fps = 0;
    if (!Timecode::framesPerSecond(rate, fps)) {
        error = "'" + text + "': the timeline's rate is unknown, so give frame numbers";
        return std::nullopt;
    }
    std::vector<std::int64_t> values;
    for (const std::string& field : fields) {
        const std::optional<std::int64_t> value = parseWholeNumber(field, 0, kLargest);
        if (!value) {
            error = "'" + text + "' is too large";
            return std::nullopt;
        }
        values.push_back(*value);
    }
    const std::int64_t hours = values[0];
    const std::int64_t minutes = values[1];
    const std::int64_t seconds = values[2];
    const std::int64_t frames = values[3];
    if (minutes >= 60 || seconds >= 60 || frames >= fps) {
        error = "'" + text + "' has minutes or seconds past 59, or frames past " +
                std::to_string(fps - 1);
        return std::nullopt;
    }
    // Drop-frame timecode skips the first 2 (29.97) or 4 (59.94) frame numbers
    // of every minute but each tenth.
    const std::int64_t dropped = Timecode::isDropFrame(rate) ? fps / 15 : 0;
    if (dropped != 0 && seconds == 0 && frames < dropped && minutes % 10 != 0) {
        error = "'" + text + "' is a frame number that drop-frame timecode skips";
        return std::nullopt;
    }
    if (hours > kLargest / (3600 * fps) - 1) {
        error = "'" + text + "' is too large";
        return std::nullopt;
    }
    const std::int64_t totalMinutes = hours * 60 + minutes;
    const std::int64_t count = ((totalMinutes * 60) + seconds) * fps + frames -
                               dropped * (totalMinutes - totalMinutes / 10);
    return negative ? -count : count;
}

std::optional<FrameRange> resolveRange(const std::string& text, const Clock& clock,
                                       std::string& error) {
    const std::optional<RangeText> parts = splitRange(text);
    if (!parts) {
        error = "--range: '" + text + "' is not START-END";
        return std::nullopt;
    }
    std::int64_t bounds[2] = {0, 0};
    const std::string* texts[2] = {&parts->start, &parts->end};
    for (int i = 0; i < 2; ++i) {
        if (const std::optional<std::int64_t> frame =
                parseWholeNumber(*texts[i], kSmallest, kLargest)) {
            bounds[i] = *frame;
            continue;
        }
        std::string reason;
        const std::optional<std::int64_t> frame = parseTimecode(*texts[i], clock.shown, reason);
        if (!frame) {
            error = "--range: " + reason;
            return std::nullopt;
        }
        bounds[i] = clock.frameAt(*frame);
    }
    if (bounds[1] <= bounds[0]) {
        error = "--range: the end (" + std::to_string(bounds[1]) + ") must come after the start (" +
                std::to_string(bounds[0]) + ")";
        return std::nullopt;
    }
    // The difference of two 64-bit frames may not fit: then the range is held
    // at the largest duration from START.
    const std::uint64_t span =
        static_cast<std::uint64_t>(bounds[1]) - static_cast<std::uint64_t>(bounds[0]);
    const std::int64_t duration =
        span > static_cast<std::uint64_t>(kLargest) ? kLargest : static_cast<std::int64_t>(span);
    return FrameRange{bounds[0], duration};
}

} // namespace zemcomp
