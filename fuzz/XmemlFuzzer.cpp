// libFuzzer target: arbitrary bytes as Final Cut Pro 7 XML. Whatever reads is
// asked everything a host asks (duration, start, bounds, its timeline view),
// written as xmeml, and that document must read back; when writing reported
// nothing lost, as the same cut (every clip's record and source frames, rate,
// name and media, track by track); and written again from what it read, it
// must be the same text. The composition must also write as standard OTIO that
// reads back, so that everything the reader keeps in standard OTIO's homes is
// well formed. Any crash, hang, leak or sanitizer report is a finding.

#include "fuzz/FuzzChecks.h"
#include "interchange/StandardOtio.h"
#include "interchange/TimelineView.h"
#include "interchange/Xmeml.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

using namespace ZEM_0_81;
using fuzz::require;

namespace {

std::string written(const Composition& composition, LossReport& losses) {
    String text;
    String message;
    require(static_cast<bool>(Xmeml::write(composition, text, losses, &message)),
            "a composition read from xmeml writes as xmeml");
    return std::string(text.c_str(), text.size());
}

/// Each clip of each track: record and source frames, rate, name (without the
/// characters XML cannot hold) and media.
std::vector<std::string> clipsOf(const Composition& composition) {
    TimelineView view;
    require(static_cast<bool>(TimelineView::build(composition, view)),
            "a composition read from xmeml has a timeline view");
    std::vector<std::string> clips{std::to_string(view.start) + "+" +
                                   std::to_string(view.duration) + "@" +
                                   std::to_string(view.rate.getNumerator()) + "/" +
                                   std::to_string(view.rate.getDenominator())};
    for (const TimelineTrack& track : view.tracks) {
        clips.emplace_back(TimelineTrack::kindName(track.kind));
        for (const TimelineItem& item : track.items) {
            if (!item.isClip())
                continue;
            std::string name;
            for (const char c : item.name)
                if (static_cast<unsigned char>(c) >= 0x20 || c == '\t' || c == '\n' || c == '\r')
                    name += c;
            clips.push_back(std::to_string(item.record.start) + "+" +
                            std::to_string(item.record.duration) + " " +
                            (item.source.start ? std::to_string(*item.source.start) : "?") + "@" +
                            std::to_string(item.source.rate.getNumerator()) + "/" +
                            std::to_string(item.source.rate.getDenominator()) + " " + name + " " +
                            item.targetUrl);
        }
    }
    return clips;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const char* text = reinterpret_cast<const char*>(data);
    (void)detectDialect(text, size);

    SharedPtr<Composition> composition;
    LossReport losses;
    String message;
    if (!Xmeml::read(text, size, "fuzz", composition, losses, &message))
        return 0;
    fuzz::query(*composition, fuzz::frameFrom(data, size));

    LossReport writing;
    const std::string document = written(*composition, writing);
    SharedPtr<Composition> again;
    LossReport more;
    require(static_cast<bool>(
                Xmeml::read(document.data(), document.size(), "again", again, more, &message)),
            "a written xmeml document reads back");
    if (writing.isEmpty())
        require(clipsOf(*again) == clipsOf(*composition),
                "a document written without a loss reads back as the same cut");
    require(written(*again, more) == document,
            "a written document, read and written, is the same text");

    String standard;
    require(static_cast<bool>(StandardOtio::write(*composition, standard, &message)),
            "a composition read from xmeml writes as standard OTIO");
    SharedPtr<Composition> fromStandard;
    require(static_cast<bool>(StandardOtio::read(standard.c_str(), standard.size(), "standard",
                                                 fromStandard, more, &message)),
            "the standard OTIO written for it reads back");
    return 0;
}
