#pragma once

#include "interchange/xmeml/DocumentIndex.h"
#include "interchange/xmeml/ReadReport.h"
#include "interchange/xmeml/SequenceContext.h"

#include "outside/dmtree/CoSharedPtr.h"

#include <pugixml.hpp>

class DmCompositionNode;

namespace ZEM_0_81::Interchange::Fcp7 {

/// Reads one "sequence" into a composition node: named as it is, at its rate
/// (24 when it gives none, reported), starting at its timecode, its picture
/// size from its video format, its video tracks bottom to top as video layers
/// ("V1", "V2", ...) and its audio tracks in order as audio layers ("A1", ...)
/// of one edit-tree track, lasting its duration or to the end of what it
/// holds, whichever is later. Its markers and the elements the edit tree has
/// no place for are kept as they came; its markers are reported.
CoSharedPtr<DmCompositionNode> readSequence(const pugi::xml_node& sequence,
                                            const DocumentIndex& index, ReadReport& report,
                                            GivenOnce& givenOnce);

} // namespace ZEM_0_81::Interchange::Fcp7
