// A host program that only loads the composition library, so tests can watch what
// loading prints. It reports on standard output whether standard error is still
// usable: a write the library tried on a closed standard error would have failed
// and left std::cerr in a failed state.
#include "composition/Composition.h"

#include <iostream>

int main() {
    // Referencing the library keeps the linker from dropping it.
    ZEM_0_81::SharedPtr<ZEM_0_81::Composition> none;
    std::cout << (std::cerr.good() ? "stderr-untouched" : "stderr-failed") << std::endl;
    return none ? 1 : 0;
}
