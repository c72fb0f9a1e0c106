// Must not build: the conversion layer sees the document model below it and the
// JSON layer's exception, not the composition interface above it.
#include "composition/JsonException.h"
#include "json/DmTreeImporter.h"
#include "rapidotio/Node.h"

#include "composition/Composition.h"
