#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace ZEM_0_81::Interchange {

/// Which of the timelines of a document `choice` names, in every format that
/// can hold several (standard OTIO collections, the sequences of an XML
/// interchange file, the projects of a library): the tool's --timeline (or
/// --sequence), Python's timeline=, DocumentReadOptions::timeline.
///
/// - empty: the first;
/// - otherwise the first timeline named exactly `choice`;
/// - else, when `choice` is a whole number N from 1, the Nth in the document's
///   order (a timeline named "2" is found by its name first).
///
/// `names` are the timelines' names in the document's order. On success sets
/// `index` (from 0); otherwise returns false with `why`, a sentence naming what
/// the document holds: `no timeline "X": the document holds 3: 1 "a", 2 "b",
/// 3 "c"` (the first ten named).
bool chooseTimeline(const std::string& choice, const std::vector<std::string>& names,
                    std::size_t& index, std::string& why);

} // namespace ZEM_0_81::Interchange
