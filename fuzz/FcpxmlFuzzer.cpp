// libFuzzer target: arbitrary bytes as FCPXML, read into a composition;
// whatever reads is asked everything a host asks, written as FCPXML of a
// version the first byte picks, and that document must read back. When
// writing reported nothing lost, the document read back holds the same cut:
// the same clips with media on the same tracks, at the same record times
// playing from the same source times. The composition must also write as
// standard OTIO that reads back, so that everything the reader keeps in
// standard OTIO's homes is well formed. Any crash, hang, leak or sanitizer
// report is a finding.

#include "fuzz/FuzzChecks.h"
#include "interchange/Fcpxml.h"
#include "interchange/StandardOtio.h"
#include "interchange/TimelineView.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

using namespace ZEM_0_81;
using fuzz::require;

namespace {

/// The cut of `composition`: each clip with media as its track's kind, its
/// record range and its source start, in seconds as exact fractions scaled to
/// whole numbers of 1/705600000 second (a multiple of every rate in use).
std::vector<std::string> cutOf(const Composition& composition) {
    TimelineView view;
    TimelineView::build(composition, view);
    __extension__ typedef __int128 Wide;
    const auto ticks = [](std::int64_t frames, const Rational& rate) {
        if (rate.getNumerator() <= 0)
            return std::string("?");
        const Wide scaled = Wide(frames) * rate.getDenominator() * 705600000 / rate.getNumerator();
        return std::to_string(static_cast<long long>(scaled));
    };
    std::vector<std::string> cut;
    for (const TimelineTrack& track : view.tracks)
        for (const TimelineItem& item : track.items)
            if (item.isClip() && !item.targetUrl.empty())
                cut.push_back(std::string(TimelineTrack::kindName(track.kind)) + " " +
                              ticks(item.record.start, view.rate) + "+" +
                              ticks(item.record.duration, view.rate) + " " +
                              (item.source.start ? ticks(*item.source.start, item.source.rate)
                                                 : std::string("-")));
    return cut;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const char* text = reinterpret_cast<const char*>(data);
    (void)Fcpxml::looksLikeFcpxml(text, size);
    (void)detectDialect(text, size);

    SharedPtr<Composition> composition;
    LossReport losses;
    String message;
    if (!Fcpxml::read(text, size, "fuzz", composition, losses, &message))
        return 0;
    fuzz::query(*composition, fuzz::frameFrom(data, size));
    TimelineView view;
    TimelineView::build(*composition, view);

    Fcpxml::WriteOptions options;
    options.version = Fcpxml::kFirstVersion +
                      (size > 0 ? data[0] % (Fcpxml::kLastVersion - Fcpxml::kFirstVersion + 1) : 0);
    String written;
    LossReport writeLosses;
    require(static_cast<bool>(Fcpxml::write(*composition, options, written, writeLosses, &message)),
            "a composition read from FCPXML writes as FCPXML");
    SharedPtr<Composition> again;
    LossReport more;
    require(static_cast<bool>(
                Fcpxml::read(written.c_str(), written.size(), "again", again, more, &message)),
            "written FCPXML reads back");
    if (writeLosses.isEmpty())
        require(cutOf(*again) == cutOf(*composition),
                "FCPXML written without a loss reads back as the same cut");

    String standard;
    require(static_cast<bool>(StandardOtio::write(*composition, standard, &message)),
            "a composition read from FCPXML writes as standard OTIO");
    SharedPtr<Composition> fromStandard;
    require(static_cast<bool>(StandardOtio::read(standard.c_str(), standard.size(), "standard",
                                                 fromStandard, more, &message)),
            "the standard OTIO written for it reads back");
    return 0;
}
