#pragma once

#include "outside/core/Status.h"
#include "outside/core/String.h"

#include <string>

namespace ZEM_0_81::Interchange {

/// How the readers and writers of other tools' formats fail: `status`, with
/// `why`, a sentence for a person, handed to the caller when it asked for one.
inline Status failed(Status status, const std::string& why, String* message) {
    if (message)
        *message = String(why.c_str(), why.size());
    return status;
}

} // namespace ZEM_0_81::Interchange
