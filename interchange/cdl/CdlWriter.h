#pragma once

#include "interchange/AscCdl.h"

#include <string>
#include <vector>

namespace ZEM_0_81::Interchange::Cdl {

/// The ASC CDL text of `looks` in `form`, as AscCdl::write describes it: indented
/// by four spaces, UTF-8, with an XML declaration. `looks` is not empty (and
/// holds one look for Form::Correction).
std::string writeText(const std::vector<AscCdl::ClipLook>& looks, AscCdl::Form form);

} // namespace ZEM_0_81::Interchange::Cdl
