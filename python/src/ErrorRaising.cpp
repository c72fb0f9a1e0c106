#include "ErrorRaising.h"

#include <pybind11/pybind11.h>

namespace py = pybind11;

namespace zempy {

std::string describe(const ZEM_0_81::Status& status) {
    return "status " + std::to_string(status.getCode()) + ": " + status.getDescription();
}

std::string explain(const std::string& what, const ZEM_0_81::Status& status) {
    return what + " (" + describe(status) + ")";
}

void raiseError(const ZEM_0_81::Status& status, const std::string& message) {
    py::object errorClass = py::module_::import("zemcomposition._types").attr("Error");
    py::object error = errorClass(message.empty() ? describe(status) : message, status.getCode(),
                                  status.getDescription());
    PyErr_SetObject(errorClass.ptr(), error.ptr());
    throw py::error_already_set();
}

} // namespace zempy
