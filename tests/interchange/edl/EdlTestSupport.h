#pragma once

// Helpers of the EDL tests: reading and writing lists, and each item of a
// composition's tracks as one line of text, to compare with what a test works
// out by hand.

#include "interchange/Edl.h"

#include <string>
#include <vector>

class DmSegmentNode;

namespace ZEM_0_81::test {

/// A list read: the composition (null when the read failed) and each loss as
/// "PLACE | SCHEMA | what".
struct EdlRead {
    SharedPtr<Composition> composition;
    std::vector<std::string> losses;
    Status status;
    std::string message;
};
EdlRead readEdl(const std::string& text, const Rational& rate = Rational());

/// The places of the losses ("line 4"), in order.
std::vector<std::string> lossPlaces(const std::vector<std::string>& losses);

/// Each clip and gap of the first composition, track by track, as
/// "TRACK RECORD_IN+LENGTH clip NAME src SOURCE_IN reel REEL[ file PATH]" or
/// "TRACK RECORD_IN+LENGTH gap[ NAME][ reel REEL]".
std::vector<std::string> itemsOf(const Composition& composition);

/// The segments of the first composition, track by track, in order (cuts left out).
std::vector<const DmSegmentNode*> segmentsOf(const Composition& composition);

/// The list written for `composition`; a test failure when it cannot be.
/// `losses` (when given) receives each loss as readEdl gives them.
std::string writeEdl(const Composition& composition, const Edl::WriteOptions& options = {},
                     std::vector<std::string>* losses = nullptr);

} // namespace ZEM_0_81::test
