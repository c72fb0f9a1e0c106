#pragma once

#include "outside/core/Status.h"

#include <string>

namespace zempy {

/// Raises zemcomposition.Error for a failed `status` with `message` (or, when
/// it is empty, "status N: description"); the exception carries the code and
/// the description too. Needs the interpreter lock; throws
/// pybind11::error_already_set.
[[noreturn]] void raiseError(const ZEM_0_81::Status& status, const std::string& message = {});

/// "WHAT (status N: description)".
std::string explain(const std::string& what, const ZEM_0_81::Status& status);

/// "status N: description", as the zemcomp tool writes it.
std::string describe(const ZEM_0_81::Status& status);

} // namespace zempy
