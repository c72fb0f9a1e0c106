// Load-time behaviour of the shared library: the optional version line, and on
// Windows the entry point that turns off thread attach and detach notifications,
// which the library does not need.

#include "module/VersionInfo.h"

#if defined(_WIN32)
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID /*reserved*/) {
    if (reason == DLL_PROCESS_ATTACH)
        DisableThreadLibraryCalls(module);
    return TRUE;
}
#endif

namespace {

// Static initialisers run when the library is loaded, before any host call (on
// Windows, before DllMain sees the process attach).
struct VersionDumpAtLoad {
    VersionDumpAtLoad() { ZEM_0_81::dumpVersionInfo(); }
};

const VersionDumpAtLoad versionDumpAtLoad;

} // namespace
