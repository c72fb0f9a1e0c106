// Timecode text for frame counts, drop-frame for 29.97 and 59.94.

#include "composition/Timecode.h"

#include <numeric>
#include <utility>

namespace ZEM_0_81 {

namespace {

/// The rate in lowest terms, or false when it is not a positive rate.
bool reduced(const Rational& rate, std::uint64_t& numerator, std::uint64_t& denominator) {
    if (rate.getNumerator() <= 0 || rate.getDenominator() == 0)
        return false;
    numerator = static_cast<std::uint64_t>(rate.getNumerator());
    denominator = rate.getDenominator();
    const std::uint64_t divisor = std::gcd(numerator, denominator);
    numerator /= divisor;
    denominator /= divisor;
    return true;
}

/// Frame numbers skipped at the start of each minute: 2 at 29.97, 4 at 59.94,
/// 0 at every other rate.
std::uint64_t droppedPerMinute(std::uint64_t numerator, std::uint64_t denominator) {
    if (denominator != 1001)
        return 0;
    if (numerator == 30000)
        return 2;
    if (numerator == 60000)
        return 4;
    return 0;
}

std::uint64_t nominalRate(std::uint64_t numerator, std::uint64_t denominator) {
    // Both are below 2^32, so the sum cannot overflow.
    const std::uint64_t rounded = (numerator + denominator / 2) / denominator;
    return rounded == 0 ? 1 : rounded;
}

} // namespace

bool Timecode::isDropFrame(const Rational& rate) {
    std::uint64_t numerator = 0;
    std::uint64_t denominator = 0;
    return reduced(rate, numerator, denominator) && droppedPerMinute(numerator, denominator) != 0;
}

Status Timecode::framesPerSecond(const Rational& rate, std::int64_t& framesPerSecond) {
    std::uint64_t numerator = 0;
    std::uint64_t denominator = 0;
    if (!reduced(rate, numerator, denominator))
        return Status(Status::NoFrameRateText);
    framesPerSecond = static_cast<std::int64_t>(nominalRate(numerator, denominator));
    return Status();
}

Status Timecode::format(std::int64_t frames, const Rational& rate, std::string& text) {
    return format(frames, rate, true, text);
}

Status Timecode::format(std::int64_t frames, const Rational& rate, bool dropFrame,
                        std::string& text) {
    std::uint64_t numerator = 0;
    std::uint64_t denominator = 0;
    if (!reduced(rate, numerator, denominator))
        return Status(Status::NoFrameRateText);
    const std::uint64_t fps = nominalRate(numerator, denominator);
    const std::uint64_t dropped = dropFrame ? droppedPerMinute(numerator, denominator) : 0;

    // The magnitude, taken in unsigned arithmetic so that the most negative count
    // has one too.
    const bool negative = frames < 0;
    std::uint64_t count =
        negative ? 0u - static_cast<std::uint64_t>(frames) : static_cast<std::uint64_t>(frames);

    if (dropped != 0) {
        // Turn the real frame count into the timecode's frame number by adding back
        // the numbers skipped so far: `dropped` in each minute but the tenth. A ten
        // minute block holds 10 minutes of numbers less the 9 minutes' skips; the
        // first minute of a block keeps its first numbers, every later minute is
        // `dropped` numbers short. The added numbers stay below 0.2 % of the
        // count, so even the largest magnitude (2^63) does not overflow.
        const std::uint64_t perMinute = 60 * fps - dropped;
        const std::uint64_t perTenMinutes = 600 * fps - 9 * dropped;
        const std::uint64_t blocks = count / perTenMinutes;
        const std::uint64_t rest = count % perTenMinutes;
        count += 9 * dropped * blocks;
        if (rest > dropped)
            count += dropped * ((rest - dropped) / perMinute);
    }

    const std::uint64_t frame = count % fps;
    const std::uint64_t totalSeconds = count / fps;
    const std::uint64_t seconds = totalSeconds % 60;
    const std::uint64_t minutes = (totalSeconds / 60) % 60;
    const std::uint64_t hours = totalSeconds / 3600;

    // Written into a buffer of its own, digits from the right: at most 20
    // digits of hours and of frames, three separators and a sign.
    char buffer[48];
    char* at = buffer + sizeof buffer;
    const auto digits = [&](std::uint64_t value, std::size_t width) {
        std::size_t written = 0;
        do {
            *--at = static_cast<char>('0' + value % 10);
            value /= 10;
            ++written;
        } while (value != 0 || written < width);
    };
    std::size_t frameWidth = 1;
    for (std::uint64_t last = fps - 1; last >= 10; last /= 10)
        ++frameWidth;
    digits(frame, frameWidth < 2 ? 2 : frameWidth);
    *--at = dropped != 0 ? ';' : ':';
    digits(seconds, 2);
    *--at = ':';
    digits(minutes, 2);
    *--at = ':';
    digits(hours, 2);
    if (negative)
        *--at = '-';
    std::string result(at, static_cast<std::size_t>(buffer + sizeof buffer - at));
    text = std::move(result);
    return Status();
}

bool Timecode::count(std::int64_t hours, std::int64_t minutes, std::int64_t seconds,
                     std::int64_t frame, const Rational& rate, bool dropFrame,
                     std::int64_t& frames) {
    std::uint64_t numerator = 0;
    std::uint64_t denominator = 0;
    if (!reduced(rate, numerator, denominator) || hours < 0 || minutes < 0 || seconds < 0 ||
        frame < 0 || minutes > 59 || seconds > 59)
        return false;
    const std::uint64_t fps = nominalRate(numerator, denominator);
    const std::uint64_t dropped = dropFrame ? droppedPerMinute(numerator, denominator) : 0;
    const auto minute = static_cast<std::uint64_t>(minutes);
    if (static_cast<std::uint64_t>(frame) >= fps ||
        (dropped != 0 && seconds == 0 && minute % 10 != 0 &&
         static_cast<std::uint64_t>(frame) < dropped))
        return false;
    // Below 2^62 frames, so that sums of counts stay far from overflow; fps is
    // below 2^32, so the bound on the hours keeps every product below 2^62.
    constexpr std::uint64_t limit = std::uint64_t(1) << 62;
    if (static_cast<std::uint64_t>(hours) >= limit / (3600 * fps))
        return false;
    // Every frame number counted, less those drop frame skipped: `dropped` at
    // each minute but every tenth.
    const std::uint64_t totalMinutes = static_cast<std::uint64_t>(hours) * 60 + minute;
    const std::uint64_t nominal = (totalMinutes * 60 + static_cast<std::uint64_t>(seconds)) * fps +
                                  static_cast<std::uint64_t>(frame);
    const std::uint64_t result = nominal - dropped * (totalMinutes - totalMinutes / 10);
    if (result >= limit)
        return false;
    frames = static_cast<std::int64_t>(result);
    return true;
}

} // namespace ZEM_0_81
