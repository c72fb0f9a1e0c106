#pragma once

#include <string>

namespace zempy {

/// Reads the whole file at `path` into `text`. On failure returns false and
/// sets `error` to the errno value that says why (EISDIR for a folder, EFBIG for
/// a file over 1 GiB, the system's own for the rest). Needs no interpreter lock.
bool readFileText(const std::string& path, std::string& text, int& error);

} // namespace zempy
