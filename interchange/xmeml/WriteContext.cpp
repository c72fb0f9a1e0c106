#include "interchange/xmeml/WriteContext.h"

#include "composition/Timecode.h"
#include "interchange/timing/RecordTime.h"
#include "interchange/xmeml/XmemlNames.h"

#include <algorithm>
#include <cmath>

namespace ZEM_0_81::Interchange::Fcp7 {

std::int64_t WriteContext::record(std::int64_t frames) const {
    const Rational written = m_rate.rational();
    if (static_cast<std::int64_t>(written.getNumerator()) * m_compositionRate.getDenominator() ==
        static_cast<std::int64_t>(m_compositionRate.getNumerator()) * written.getDenominator())
        return frames;
    return static_cast<std::int64_t>(std::llround(RecordTime::rescale(
        static_cast<double>(frames), m_compositionRate.getValue(), written.getValue())));
}

bool WriteContext::take(const std::string& id) {
    const std::string written = XmlOut::writable(id);
    return !written.empty() && m_ids.insert(written).second;
}

std::string WriteContext::uniqueId(const std::string& wanted, const char* prefix) {
    if (take(wanted))
        return XmlOut::writable(wanted);
    std::size_t& next = m_next[prefix];
    for (;;) {
        std::string id = std::string(prefix) + "-" + std::to_string(++next);
        if (take(id))
            return id;
    }
}

std::int64_t countAt(double value, double from, double to, bool up) {
    const double frames = RecordTime::wholeIfNear(RecordTime::rescale(value, from, to));
    if (!std::isfinite(frames))
        return 0;
    const double bounded =
        std::clamp(up ? std::ceil(frames) : std::floor(frames), -static_cast<double>(kMaxFrames),
                   static_cast<double>(kMaxFrames));
    return static_cast<std::int64_t>(bounded);
}

void writeRate(XmlOut& out, const FrameRate& rate) {
    out.open(Names::kRate);
    out.element(Names::kTimebase, rate.timebase);
    out.element(Names::kNtsc, rate.ntsc ? Names::kTrue : Names::kFalse);
    out.close(Names::kRate);
}

void writeTimecode(XmlOut& out, std::int64_t frames, const FrameRate& rate, bool dropFrame) {
    const Rational exact = rate.rational();
    const bool drop = dropFrame && Timecode::isDropFrame(exact);
    std::string text;
    Timecode::format(frames, exact, drop, text);
    out.open(Names::kTimecode);
    writeRate(out, rate);
    out.element(Names::kString, text);
    out.element(Names::kFrame, frames);
    out.element(Names::kDisplayFormat, drop ? Names::kDropFrame : Names::kNonDropFrame);
    out.close(Names::kTimecode);
}

} // namespace ZEM_0_81::Interchange::Fcp7
