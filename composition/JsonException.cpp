#include "composition/JsonException.h"

namespace ZEM_0_81::Json {

Status statusFromException(const Exception& e) {
    if (!e.status)
        return e.status;
    return Status(Status::JsonConversionFailed);
}

} // namespace ZEM_0_81::Json
