#include "interchange/OtioVersion.h"

#include <cstring>

namespace ZEM_0_81 {

namespace {

// The OpenTimelineIO library's labels, by version.
constexpr const char* kLabels[] = {"0.14.0", "0.15.0", "0.16.0", "0.17.0",
                                   "0.18.0", "0.18.1", "0.19.0"};
static_assert(sizeof kLabels / sizeof *kLabels == sizeof kOtioVersions / sizeof *kOtioVersions);

// What the library's map calls 0.19.0 before its release.
constexpr const char* kDevelopmentLabel = "0.19.0.dev1";

} // namespace

const char* otioVersionName(OtioVersion version) {
    const auto index = static_cast<std::int32_t>(version);
    return index >= 0 && index < std::int32_t(sizeof kLabels / sizeof *kLabels) ? kLabels[index]
                                                                                : "";
}

bool otioVersionFromName(const char* name, OtioVersion& version) {
    if (!name)
        return false;
    if (std::strcmp(name, kDevelopmentLabel) == 0) {
        version = OtioVersion::V0_19_0;
        return true;
    }
    for (const OtioVersion candidate : kOtioVersions) {
        if (std::strcmp(name, otioVersionName(candidate)) == 0) {
            version = candidate;
            return true;
        }
    }
    return false;
}

} // namespace ZEM_0_81
