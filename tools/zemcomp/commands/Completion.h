#pragma once

// Shell completion for the tool, made from its own command-line definition so
// that it always knows every subcommand and option.

#include <map>
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace zemcomp {

/// A bash completion script for `app`: subcommands, each one's options, the
/// words in `values` for the options (by long name, "--from") and positional
/// arguments (by name, "SHELL") that take one of a fixed set of words, and
/// file names for the other positional arguments and for -o.
std::string bashCompletion(const CLI::App& app,
                           const std::map<std::string, std::vector<std::string>>& values);

} // namespace zemcomp
