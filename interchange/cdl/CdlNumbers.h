#pragma once

#include <cstddef>
#include <string>

namespace ZEM_0_81::Interchange::Cdl {

/// Reads exactly `count` finite decimal numbers from `text` into `values`,
/// separated (and surrounded) by white space or commas, each as the nearest
/// double, whatever the locale. False, leaving `values` untouched, for any other
/// text: fewer or more numbers, a word, or a number beyond the range of a double.
bool parseNumbers(const char* text, double* values, std::size_t count);

/// The shortest decimal text that reads back as exactly `value` ("1", "0.95",
/// "1.0000000000000002"), for a finite value.
std::string numberText(double value);

/// The texts of `count` values, separated by one space.
std::string numbersText(const double* values, std::size_t count);

} // namespace ZEM_0_81::Interchange::Cdl
