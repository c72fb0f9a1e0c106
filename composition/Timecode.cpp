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
    std::uint64_t numerator = 0;
    std::uint64_t denominator = 0;
    if (!reduced(rate, numerator, denominator))
        return Status(Status::NoFrameRateText);
    const std::uint64_t fps = nominalRate(numerator, denominator);
    const std::uint64_t dropped = droppedPerMinute(numerator, denominator);

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

    const auto padded = [](std::uint64_t value, std::size_t width) {
        std::string digits = std::to_string(value);
        if (digits.size() < width)
            digits.insert(0, width - digits.size(), '0');
        return digits;
    };
    const std::size_t frameWidth = std::to_string(fps - 1).size();
    std::string result = negative ? "-" : "";
    result += padded(hours, 2) + ":" + padded(minutes, 2) + ":" + padded(seconds, 2);
    result += dropped != 0 ? ';' : ':';
    result += padded(frame, frameWidth < 2 ? 2 : frameWidth);
    text = std::move(result);
    return Status();
}

} // namespace ZEM_0_81
