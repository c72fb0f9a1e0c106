// libFuzzer target: arbitrary bytes as edit-tree JSON in a composition. The
// import, the queries and both exports must never crash, leak or trip a
// sanitizer, and an imported tree's edit-tree text must be stable: written,
// read back and written again, it gives the same bytes. A tree whose OTIO text
// can be made goes on through the OTIO round trip as well.

#include "fuzz/FuzzChecks.h"

#include <cstddef>
#include <cstdint>
#include <string>

using namespace ZEM_0_81;
using fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The composition reads NUL-terminated text: an embedded NUL ends it.
    const std::string input(reinterpret_cast<const char*>(data), size);
    const SharedPtr<Composition> read = fuzz::holding(Composition::JsonType::DmTree, input);
    if (!read)
        return 0;
    fuzz::query(*read, fuzz::frameFrom(data, size));

    std::string once;
    if (!fuzz::convert(*read, Composition::JsonType::DmTree, once))
        return 0; // not edit-tree JSON of a root: refused, nothing more to check
    const SharedPtr<Composition> again = fuzz::holding(Composition::JsonType::DmTree, once);
    std::string twice;
    require(fuzz::convert(*again, Composition::JsonType::DmTree, twice),
            "the edit-tree text written for a tree reads back");
    require(once == twice, "edit-tree text -> tree -> text is stable");

    std::string otio;
    if (!fuzz::convert(*read, Composition::JsonType::Otio, otio))
        return 0;
    const SharedPtr<Composition> fromOtio = fuzz::holding(Composition::JsonType::Otio, otio);
    fuzz::query(*fromOtio, fuzz::frameFrom(data, size));
    require(fuzz::settles(otio), "the OTIO text of a tree settles within four trips");
    return 0;
}
