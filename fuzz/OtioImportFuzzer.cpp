// libFuzzer target: arbitrary bytes as OTIO JSON, through the whole road of an
// OTIO text in a composition: the import on first request, the tree, the three
// queries and the edit-tree JSON made from the imported tree. Any crash, hang,
// leak or sanitizer report is a finding; the results themselves may be anything.

#include "composition/Composition.h"
#include "outside/dmtree/DmRoot.h"

#include <cstddef>
#include <cstdint>
#include <string>

using namespace ZEM_0_81;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The composition reads NUL-terminated text: an embedded NUL ends it.
    const std::string text(reinterpret_cast<const char*>(data), size);

    SharedPtr<Composition> composition;
    if (!Composition::create(composition, String("fuzz"), "fuzz", Rational(24, 1)))
        return 0;
    composition->setJson(Composition::JsonType::Otio, String(text.c_str()));

    Status status;
    const DmRoot& root = composition->getTree(status);
    (void)root.getNbChildren();

    Time start;
    Time duration;
    composition->getStartTime(start);
    composition->getDuration(duration);

    // Bounds at the start, in the middle, at the last frame and at an arbitrary
    // frame taken from the input.
    const std::int64_t first = start.getNbTicks();
    const std::int64_t length = duration.getNbTicks();
    std::int64_t arbitrary = 0;
    for (std::size_t i = 0; i < size && i < 8; ++i)
        arbitrary = static_cast<std::int64_t>(static_cast<std::uint64_t>(arbitrary) << 8 | data[i]);
    const std::int64_t frames[] = {first, first + length / 2, first + length - 1, arbitrary, 0};
    for (const std::int64_t frame : frames) {
        Bounds bounds;
        composition->getOutputBounds(Time(frame, start.getRate()), bounds);
    }

    String json;
    composition->getJson(Composition::JsonType::DmTree, json);
    return 0;
}
