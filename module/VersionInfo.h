#pragma once

#include <string>

namespace ZEM_0_81 {

/// The library's version text: product word, version number, build date stamp,
/// build number, source revision and branch, e.g.
/// "zem version 0.81.1 (Sat 12/05/2026, 202612051502, build 173, commit 1a2b3c4, branch main)".
std::string versionString();

/// Writes one version line, "  zemComposition: " followed by versionString(), to
/// standard error when the environment variable VORTEL_DUMP_VERSION_INFO holds a
/// number other than 0 and standard error is open. Runs once when the library
/// is loaded.
void dumpVersionInfo();

} // namespace ZEM_0_81
