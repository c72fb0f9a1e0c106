#pragma once

#include "outside/core/Status.h"

#include <stdexcept>
#include <string>

namespace ZEM_0_81::Json {

// The one use of a header from a layer above: this exception is declared here,
// with the import driver of the composition layer, but thrown by the layers
// below it (the document model in rapidotio/, the conversions in json/). The
// build lets those layers see this header alone (the zem_json_exception view),
// nothing else of composition/.

/// The one exception of the JSON layer. It never leaves the library: the OTIO
/// import and export drivers catch it and turn it into a Status with
/// statusFromException.
struct Exception : std::runtime_error {
    Exception() : std::runtime_error("unhandled json otio parsing error") {}
    Exception(const std::string& message, const Status& failure)
        : std::runtime_error(message), status(failure) {}
    Exception(const Exception&) = default;

    Status status;
};

/// The result of a driver that caught `e`: the Status it carries when that is a
/// failure, otherwise JsonConversionFailed (780).
Status statusFromException(const Exception& e);

} // namespace ZEM_0_81::Json
