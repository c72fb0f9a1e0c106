#pragma once

#include "composition/Composition.h"
#include "interchange/LossReport.h"
#include "outside/core/Rational.h"

#include <cstddef>
#include <string>

namespace ZEM_0_81::Interchange::Cmx {

/// Edl::read, with the name `untitled` for a list without a TITLE line (the
/// document entry point gives the file's name without its extension). Declared
/// here, beside the public Edl.h and not in the EDL's folder, because the
/// document entry points call it and include no format's folder.
Status readList(const char* text, std::size_t length, const Rational& rate, const String& id,
                const std::string& untitled, SharedPtr<Composition>& out, LossReport& losses,
                String* message);

} // namespace ZEM_0_81::Interchange::Cmx
