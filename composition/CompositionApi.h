#pragma once

/// Symbol export of the composition library: built with hidden visibility, it
/// exports only what is marked ZEM_API (the Composition class and its list, and
/// the standard OTIO interchange).
#if defined(_WIN32)
#if defined(ZEMCOMPOSITION_BUILD)
#define ZEM_API __declspec(dllexport)
#else
#define ZEM_API __declspec(dllimport)
#endif
#else
#define ZEM_API __attribute__((visibility("default")))
#endif

/// Keeps a class nested in an exported class out of the library's interface.
#if defined(_WIN32)
#define ZEM_HIDDEN
#else
#define ZEM_HIDDEN __attribute__((visibility("hidden")))
#endif
