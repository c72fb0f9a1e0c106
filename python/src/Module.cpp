#include "Bindings.h"
#include "ErrorRaising.h"
#include "MemoryTuning.h"
#include "ValueConversion.h"

#include "composition/SpareMemory.h"
#include "composition/Timecode.h"
#include "interchange/Dialect.h"

#include <pybind11/pybind11.h>

#include <cstdint>
#include <string>

namespace py = pybind11;
using namespace py::literals;

namespace {

using namespace ZEM_0_81;

std::string timecode(std::int64_t frames, const py::object& rate) {
    const Rational exact = zempy::rateFromPython(rate);
    std::string text;
    const Status status = Timecode::format(frames, exact, text);
    if (!status)
        zempy::raiseError(
            status, zempy::explain("no timecode at " + py::repr(rate).cast<std::string>(), status));
    return text;
}

std::string detect(const py::object& text) {
    std::string bytes;
    if (py::isinstance<py::str>(text) || py::isinstance<py::bytes>(text))
        bytes = text.cast<std::string>();
    else
        throw py::type_error("a document is a str or bytes");
    py::gil_scoped_release release;
    return dialectName(detectDialect(bytes.data(), bytes.size()));
}

} // namespace

PYBIND11_MODULE(_zemcomposition, module) {
    module.doc() = "The compiled part of zemcomposition; import zemcomposition instead.";
    zempy::keepHeapTopForLargeDocuments();
    zempy::bindComposition(module);
    zempy::bindCompositionList(module);
    zempy::bindLooks(module);
    zempy::bindCompare(module);
    module.def("timecode", &timecode, "frames"_a, "rate"_a, R"(
The timecode of `frames` at `rate` (a rate as Composition.create takes it):
"HH:MM:SS:FF", drop-frame "HH:MM:SS;FF" at 29.97 and 59.94, hours counting on
past 24, a leading '-' for a negative count. Raises Error with code 1001 for a
value that names no rate.)");
    module.def("detect_dialect", &detect, "text"_a, R"(
The dialect a document's text is written in, as Composition.from_json detects
it: "dmtree" (a top-level "format" member), "otio" (a timeline whose metadata
"zem" "ZEM_SCHEMA" is "TimelineMetadata.1") or "otio-std" (anything else).)");
    module.def("release_spare_memory", &releaseSpareMemory, R"(
Gives back to the system the pages the library keeps from released long
texts (an exported text of 64 KB or more, once nothing holds it), up to 64 MB
in all, kept so that the next export writes into pages already present.
Returns the number of bytes given back; the next long export maps fresh pages.)");
    module.attr("DIALECTS") =
        py::make_tuple("dmtree", "otio", "otio-std", "edl", "xmeml", "fcpxml");
    module.attr("__version__") = ZEM_VERSION;
}
