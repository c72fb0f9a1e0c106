#pragma once

// The dialects as the command line names them (--from, --to), and the options
// every subcommand that reads documents shares.

#include "interchange/Fcpxml.h"
#include "interchange/OtioVersion.h"
#include "tools/zemcomp/files/Document.h"

#include <CLI/CLI.hpp>

#include <optional>
#include <string>
#include <vector>

namespace zemcomp {

/// The dialects' names, for completion.
std::vector<std::string> dialectNames();

/// The help text's closing words: the dialects, one line each, and how a
/// dialect is detected.
std::string dialectFooter();

/// Adds option `name` ("--to") taking a dialect's name into `target`.
CLI::Option* addDialectOption(CLI::App& command, const char* name, Dialect& target,
                              const char* help);

/// Adds --otio-version, the OpenTimelineIO release to write standard OTIO for,
/// taking the labels of OtioVersion into `target`.
CLI::Option* addOtioVersionOption(CLI::App& command, ZEM_0_81::OtioVersion& target);

/// The OpenTimelineIO release labels, for completion.
std::vector<std::string> otioVersionNames();

/// Adds --fcpxml-version, the FCPXML version to write ("1.8" ... "1.13"),
/// taking its number after "1." into `target`.
CLI::Option* addFcpxmlVersionOption(CLI::App& command, std::int32_t& target);

/// The FCPXML versions written ("1.8" ... "1.13"), for completion.
std::vector<std::string> fcpxmlVersionNames();

/// --from, --rate, --timeline (or --sequence) and --strict, which every
/// subcommand that reads documents takes.
class InputOptions {
public:
    /// Adds them to `command`.
    void add(CLI::App& command);
    /// The dialect --from named; none (detect it) when not given.
    std::optional<Dialect> dialect() const;
    /// How to read a document: the dialect --from named, --rate and --timeline.
    ZEM_0_81::DocumentReadOptions readOptions() const;
    /// --strict: a loss while reading fails the document.
    bool strict = false;

private:
    Dialect m_from = Dialect::Otio;
    CLI::Option* m_fromOption = nullptr;
    ZEM_0_81::Rational m_rate = ZEM_0_81::Rational(0, 1);
    std::string m_timeline;
};

} // namespace zemcomp
