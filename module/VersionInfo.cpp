#include "module/VersionInfo.h"

#include "module/BuildStamp.h"

#include <cstdio>
#include <cstdlib>
#include <iomanip>
#include <iostream>
#include <sstream>
#include <string>

#if defined(_WIN32)
#include <io.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace ZEM_0_81 {

namespace {

constexpr const char* kComponentName = "zemComposition";
constexpr const char* kProductWord = "zem";
constexpr const char* kVersionMajor = "0";
constexpr const char* kVersionMinor = "81";
constexpr const char* kVersionPatch = "1";
constexpr int kBuildNumber = 173;

bool standardErrorIsOpen() {
#if defined(_WIN32)
    return _fileno(stderr) >= 0;
#else
    // The stream keeps its descriptor number even when the descriptor was closed
    // before the process started, so ask whether the descriptor itself is valid.
    const int fd = fileno(stderr);
    return fd >= 0 && fcntl(fd, F_GETFD) != -1;
#endif
}

} // namespace

std::string versionString() {
    std::ostringstream text;
    text << kProductWord << " version " << std::atoi(kVersionMajor) << '.'
         << std::atoi(kVersionMinor) << '.' << std::atoi(kVersionPatch) << " (" << ZEM_BUILD_DATE
         << ", build " << kBuildNumber << ", commit " << std::setw(7)
         << std::string(ZEM_BUILD_REVISION).substr(0, 7) << ", branch " << ZEM_BUILD_BRANCH << ")";
    return text.str();
}

void dumpVersionInfo() {
    const char* wanted = std::getenv("VORTEL_DUMP_VERSION_INFO");
    if (!wanted || std::atoi(wanted) == 0)
        return;
    if (!standardErrorIsOpen())
        return;
    // This runs from another file's load-time initialiser, which may come before
    // this file's own: an Init object makes sure std::cerr exists before it is used.
    const std::ios_base::Init streams;
    std::cerr << std::setw(16) << kComponentName << ": " << versionString() << std::endl;
}

} // namespace ZEM_0_81
