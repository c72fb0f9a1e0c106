#pragma once

#include <pybind11/pybind11.h>

namespace zempy {

/// Adds the class Composition to the module.
void bindComposition(pybind11::module_& module);

/// Adds the class CompositionList to the module (after Composition).
void bindCompositionList(pybind11::module_& module);

/// Adds Composition.apply_looks, looks and write_looks (after Composition).
void bindLooks(pybind11::module_& module);

/// Adds compare and carry_notes (after Composition).
void bindCompare(pybind11::module_& module);

} // namespace zempy
