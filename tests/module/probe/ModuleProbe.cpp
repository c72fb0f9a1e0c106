// A host program that only loads the composition library, so tests can watch what
// loading prints. It reports on standard output whether standard error is still
// usable: a write the library tried on a closed standard error would have failed
// and left std::cerr in a failed state.
#include "composition/Composition.h"

#include <iostream>

int main() {
    std::cout << (std::cerr.good() ? "stderr-untouched" : "stderr-failed") << std::endl;
    // A call into the library keeps the linker from dropping it as unneeded.
    ZEM_0_81::SharedPtr<ZEM_0_81::Composition> composition;
    return ZEM_0_81::Composition::create(composition, ZEM_0_81::String("probe"), "probe",
                                         ZEM_0_81::Rational(24, 1))
               ? 0
               : 1;
}
