#pragma once

#include "outside/core/Rational.h"

#include <cstddef>
#include <string>

namespace ZEM_0_81 {
class LossReport;
}

namespace ZEM_0_81::Interchange::Cmx {

/// The loss report of reading one list: each entry's place is "line N". What
/// the edit tree keeps without playing it, and a written list says again, is
/// reported in the words standard OTIO's reader uses
/// (ForeignMembers::Leftovers::kKeptNote), so that one check finds what is kept
/// in both.
/// The schema of a loss about an event line as a whole.
constexpr const char* kEventSchema = "event";

class LineReport {
public:
    explicit LineReport(LossReport& losses) : m_losses(losses) {}

    /// Reports that the statement `schema` of line `line` was not kept as it
    /// stood, and why.
    void lose(std::size_t line, const std::string& schema, const std::string& what);

    /// Drop frame asked for at `rate`, which has none: reported once a list,
    /// at the first line that asks.
    void dropFrameAtRate(std::size_t line, const Rational& rate);

private:
    LossReport& m_losses;
    bool m_dropReported = false;
};

} // namespace ZEM_0_81::Interchange::Cmx
