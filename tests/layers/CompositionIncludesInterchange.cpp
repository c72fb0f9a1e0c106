// Must not build: the composition interface sees the conversion layers below it,
// not the formats of other tools above it (interchange/ builds on it).
#include "composition/Composition.h"
#include "json/EditTree.h"

#include "interchange/Dialect.h"
