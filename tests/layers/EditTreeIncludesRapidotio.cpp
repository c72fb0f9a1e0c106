// Must not build: the edit-tree library sees its own headers, not the product's.
#include "outside/dmtree/DmRoot.h"

#include "rapidotio/Node.h"
