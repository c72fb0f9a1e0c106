#pragma once

/// Symbol export of the core value library. Everything the library declares is
/// part of its interface, so its classes are exported as a whole.
#if defined(_WIN32)
#if defined(ZEMCORE_BUILD)
#define ZEMCORE_API __declspec(dllexport)
#else
#define ZEMCORE_API __declspec(dllimport)
#endif
#else
#define ZEMCORE_API __attribute__((visibility("default")))
#endif
