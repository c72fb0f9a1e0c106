#pragma once

namespace zempy {

/// Keeps freed memory at the top of the C library's heaps for the next large
/// document, unless the environment says otherwise (see MemoryTuning.cpp).
void keepHeapTopForLargeDocuments();

} // namespace zempy
