// libFuzzer target: the OTIO round trip as a property. Arbitrary bytes as OTIO
// JSON are read into a tree and written as OTIO text again, as zemcomp convert
// does; that text, read and written again, must settle within a few trips
// (a length written in source frames is rounded to composition frames when it
// is read; see settles and sameButRounding).
// The edit-tree text of every imported tree must be stable too. Nothing may
// crash, leak or trip a sanitizer on the way.

#include "fuzz/FuzzChecks.h"

#include <cstddef>
#include <cstdint>
#include <string>

using namespace ZEM_0_81;
using fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const SharedPtr<Composition> read = fuzz::holding(Composition::JsonType::Otio, input);
    if (!read)
        return 0;

    std::string second;
    if (!fuzz::convert(*read, Composition::JsonType::Otio, second))
        return 0; // not OTIO JSON: refused, nothing more to check
    require(fuzz::settles(second), "OTIO text -> tree -> text settles within four trips");

    std::string tree;
    require(fuzz::convert(*read, Composition::JsonType::DmTree, tree),
            "an imported tree has an edit-tree text");
    const SharedPtr<Composition> treeRead = fuzz::holding(Composition::JsonType::DmTree, tree);
    std::string treeAgain;
    require(fuzz::convert(*treeRead, Composition::JsonType::DmTree, treeAgain),
            "the edit-tree text of an imported tree reads back");
    require(tree == treeAgain, "edit-tree text -> tree -> text is stable");
    return 0;
}
