#include "outside/core/Status.h"

namespace ZEM_0_81 {

const char* Status::getDescription() const {
    switch (m_type) {
    case Success:
        return "success";
    case NoData:
        return "the composition holds no data";
    case DmTreeJsonImportFailed:
        return "the edit-tree JSON could not be imported";
    case JsonGenerationFailed:
        return "no JSON text could be produced from the edit tree";
    case OtioImportFailed:
        return "the OTIO JSON could not be imported";
    case SourceWithoutInput:
        return "a source segment has no media input";
    case InputWithoutResolution:
        return "a media input has no primary resolution";
    case JsonSyntaxError:
        return "the text is not well-formed JSON";
    case JsonConversionFailed:
        return "the JSON conversion failed";
    case NoFrameRateText:
        return "no frame rate matches";
    }
    return "unknown status";
}

} // namespace ZEM_0_81
