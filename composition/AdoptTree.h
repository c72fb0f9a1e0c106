#pragma once

#include "composition/Composition.h"

class DmRoot;

namespace ZEM_0_81 {

/// A new composition holding `root` itself, not a copy: for a reader of the
/// library (standard OTIO, an EDL) that has just built the tree and holds it
/// nowhere else. The composition takes a reference; the caller must not change
/// the tree after. Internal to the library, not exported.
ZEM_HIDDEN SharedPtr<Composition> adoptTree(const String& id, DmRoot* root);

} // namespace ZEM_0_81
