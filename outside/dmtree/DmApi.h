#pragma once

/// Symbol export of the edit-tree library.
#if defined(_WIN32)
#if defined(KRDMTREE_BUILD)
#define KRDMTREE_API __declspec(dllexport)
#else
#define KRDMTREE_API __declspec(dllimport)
#endif
#else
#define KRDMTREE_API __attribute__((visibility("default")))
#endif
