#include "MemoryTuning.h"

#include <cstdlib>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace zempy {

namespace {

/// Enough for the import and the export of a document of about 10 MB, whose
/// working memory is several times its size.
constexpr int kTopPadBytes = 64 << 20;

} // namespace

void keepHeapTopForLargeDocuments() {
#if defined(__GLIBC__)
    // Reading and writing a large document allocates and frees tens of
    // megabytes. With glibc's default padding each conversion hands those pages
    // back and faults them in again, and page faults of two threads of one
    // process wait on each other in the kernel: two threads converting at once
    // then take as long as one doing both. Padding the heap tops keeps the
    // pages for the next conversion (resident memory stays up to the pad per
    // heap). A MALLOC_TOP_PAD_ in the environment is glibc's own setting of the
    // same thing, and is left as the user gave it.
    if (std::getenv("MALLOC_TOP_PAD_") == nullptr)
        mallopt(M_TOP_PAD, kTopPadBytes);
#endif
}

} // namespace zempy
