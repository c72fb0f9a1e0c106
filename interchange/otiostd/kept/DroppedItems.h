#pragma once

#include "interchange/otiostd/io/ReadContext.h"

#include <string>

namespace ZEM_0_81::Interchange {

/// Names in the loss report what an object of the input holds that does not come
/// into the edit tree with it, so that nothing goes missing silently: every clip,
/// transition, nested stack or track and marker inside it, at any depth, each
/// with its own JSON Pointer. The walk keeps its own list of places to visit, so
/// the depth of the input does not matter.
namespace DroppedItems {

/// Whether the markers of the object itself are among what is inside it.
enum class Own { Reported, Skipped };

/// Reports everything inside `object` (entered by the caller; the object itself is
/// not reported), each entry saying `why`; its own markers too unless `own` is
/// Skipped (a caller that reads them).
void reportInside(ReadContext& context, const Value& object, const std::string& why,
                  Own own = Own::Reported);

/// Reports `object` itself (of schema `schema`, entered by the caller) dropped,
/// saying `why`, and everything inside it, saying `whyInside`.
void reportDropped(ReadContext& context, const Value& object, const std::string& schema,
                   const std::string& why, const std::string& whyInside);

} // namespace DroppedItems

} // namespace ZEM_0_81::Interchange
