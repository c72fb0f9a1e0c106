// Must not build: the document model sees its own headers, the outside libraries'
// and the JSON layer's exception, not the conversion layer above it.
#include "composition/JsonException.h"
#include "outside/core/Status.h"
#include "outside/dmtree/DmString.h"
#include "rapidotio/Node.h"
#include "strictjson/StrictParse.h"

#include "json/DmTreeImporter.h"
