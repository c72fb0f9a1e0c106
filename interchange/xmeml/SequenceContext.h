#pragma once

#include "interchange/xmeml/DocumentIndex.h"
#include "interchange/xmeml/ReadReport.h"
#include "interchange/xmeml/XmemlValues.h"

#include <cstdint>
#include <string>

namespace ZEM_0_81::Interchange::Fcp7 {

/// What every clip of a sequence reads beside its own element: the document's
/// files and nested sequences, the report, and the sequence's rate and start.
struct SequenceContext {
    const DocumentIndex& index;
    ReadReport& report;
    /// The sequence's rate, which record frames count at and clips and files
    /// without a rate of their own inherit.
    FrameRate rate;
    /// Its frame-rate text.
    std::string fcm;
    /// Its start timecode in frames at its rate: record frames of the edit tree
    /// are the document's (counted from the sequence's start) plus this.
    std::int64_t start = 0;
};

} // namespace ZEM_0_81::Interchange::Fcp7
