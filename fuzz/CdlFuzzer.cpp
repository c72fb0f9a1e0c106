// libFuzzer target: arbitrary bytes as ASC CDL text, read; whatever reads is
// applied to a small cut, every clip named must then hold its correction's
// values, and the cut's looks, written as a collection and as a decision list,
// must read back to the same values and, applied to the cut again, change
// nothing and report nothing. Any crash, hang, leak or sanitizer report is a
// finding, and so is a property that does not hold.

#include "interchange/AscCdl.h"
#include "interchange/StandardOtio.h"

#include "fuzz/FuzzChecks.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

using namespace ZEM_0_81;
using fuzz::require;

namespace {

// Two clips of one name, media and reel (the events of one reel in a cut
// list), one whose name is another's reel, one with a look of its own, a gap.
constexpr const char* kCut = R"({"OTIO_SCHEMA":"Timeline.1","name":"cut",
"global_start_time":{"OTIO_SCHEMA":"RationalTime.1","rate":24.0,"value":86400.0},
"tracks":{"OTIO_SCHEMA":"Stack.1","name":"tracks","children":[
{"OTIO_SCHEMA":"Track.1","name":"V1","kind":"Video","children":[
{"OTIO_SCHEMA":"Clip.2","name":"A001_C002","metadata":{"cmx_3600":{"reel":"A001"}},
"source_range":{"OTIO_SCHEMA":"TimeRange.1",
"start_time":{"OTIO_SCHEMA":"RationalTime.1","rate":24.0,"value":0.0},
"duration":{"OTIO_SCHEMA":"RationalTime.1","rate":24.0,"value":48.0}},
"media_references":{"DEFAULT_MEDIA":{"OTIO_SCHEMA":"ExternalReference.1",
"target_url":"file:///shots/day1/A001_C002.mov"}},"active_media_reference_key":"DEFAULT_MEDIA"},
{"OTIO_SCHEMA":"Gap.1","source_range":{"OTIO_SCHEMA":"TimeRange.1",
"start_time":{"OTIO_SCHEMA":"RationalTime.1","rate":24.0,"value":0.0},
"duration":{"OTIO_SCHEMA":"RationalTime.1","rate":24.0,"value":24.0}}},
{"OTIO_SCHEMA":"Clip.2","name":"A001_C002","metadata":{"cmx_3600":{"reel":"A001"}},
"source_range":{"OTIO_SCHEMA":"TimeRange.1",
"start_time":{"OTIO_SCHEMA":"RationalTime.1","rate":24.0,"value":100.0},
"duration":{"OTIO_SCHEMA":"RationalTime.1","rate":24.0,"value":24.0}},
"media_references":{"DEFAULT_MEDIA":{"OTIO_SCHEMA":"ExternalReference.1",
"target_url":"/shots/day1/A001_C002.mov"}},"active_media_reference_key":"DEFAULT_MEDIA"},
{"OTIO_SCHEMA":"Clip.2","name":"B007","metadata":{"cmx_3600":{"reel":"B007"}},
"source_range":{"OTIO_SCHEMA":"TimeRange.1",
"start_time":{"OTIO_SCHEMA":"RationalTime.1","rate":24.0,"value":0.0},
"duration":{"OTIO_SCHEMA":"RationalTime.1","rate":24.0,"value":1.0}},
"media_references":{"DEFAULT_MEDIA":{"OTIO_SCHEMA":"ExternalReference.1",
"target_url":"file:///shots/day2/C%20003.mov"}},"active_media_reference_key":"DEFAULT_MEDIA"}]},
{"OTIO_SCHEMA":"Track.1","name":"V2","kind":"Video","children":[
{"OTIO_SCHEMA":"Clip.2","name":"title","metadata":{"cmx_3600":{"reel":"B007"}},
"source_range":{"OTIO_SCHEMA":"TimeRange.1",
"start_time":{"OTIO_SCHEMA":"RationalTime.1","rate":24.0,"value":0.0},
"duration":{"OTIO_SCHEMA":"RationalTime.1","rate":24.0,"value":24.0}},
"effects":[{"OTIO_SCHEMA":"Effect.1","name":"DmLookSettings","effect_name":"CDL","enabled":false,
"metadata":{"zem":{"ZEM_SCHEMA":"CDL.1","slope":[1.1,1.0,0.9],"offset":[0.0,0.0,0.0],
"power":[1.0,1.0,1.0],"saturation":0.5}}}],
"media_references":{"DEFAULT_MEDIA":{"OTIO_SCHEMA":"ExternalReference.1",
"target_url":"/gfx/title.png"}},"active_media_reference_key":"DEFAULT_MEDIA"}]}]}})";

const SharedPtr<Composition>& theCut() {
    static const SharedPtr<Composition> cut = [] {
        SharedPtr<Composition> read;
        LossReport losses;
        const std::string text = kCut;
        StandardOtio::read(text.c_str(), text.size(), "cut", read, losses);
        require(bool(read), "the cut reads");
        return read;
    }();
    return cut;
}

/// The look `clips` gives the clip at `track`, `item`; null when it has none.
const AscCdl::Look* lookAt(const std::vector<AscCdl::ClipLook>& clips, std::size_t track,
                           std::size_t item) {
    for (const AscCdl::ClipLook& clip : clips)
        if (clip.track == track && clip.item == item)
            return &clip.look;
    return nullptr;
}

/// The looks of `cut`, written in `form`, read back to the same values and,
/// applied to the cut again, change nothing.
void writtenApplyBack(Composition& cut, const std::vector<AscCdl::ClipLook>& looks,
                      AscCdl::Form form) {
    String written;
    require(bool(AscCdl::write(cut, form, written)), "the looks are written");
    AscCdl::Contents back;
    LossReport losses;
    require(bool(AscCdl::read(written.c_str(), written.size(), back, losses)),
            "the written looks read");
    require(losses.isEmpty() && back.corrections.size() == looks.size(),
            "every written look reads back, losing nothing");
    for (std::size_t i = 0; i < looks.size(); ++i)
        require(back.corrections[i].look == looks[i].look, "written values read back exactly");
    std::vector<AscCdl::Match> matches;
    LossReport report;
    require(bool(AscCdl::apply(cut, back.corrections, matches, report)), "the written looks apply");
    require(report.isEmpty() && matches.size() == looks.size(),
            "each written look finds its own clip, reporting nothing");
    for (const AscCdl::Match& match : matches)
        require(!match.changed, "written looks applied again change nothing");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    AscCdl::Contents contents;
    LossReport losses;
    String message;
    if (!AscCdl::read(reinterpret_cast<const char*>(data), size, contents, losses, &message)) {
        require(!message.empty(), "a failed read says why");
        return 0;
    }
    require(!contents.corrections.empty(), "a text that reads holds a correction");

    const SharedPtr<Composition> cut = theCut()->clone();
    std::vector<AscCdl::Match> matches;
    LossReport report;
    require(bool(AscCdl::apply(*cut, contents.corrections, matches, report)), "the looks apply");
    std::vector<AscCdl::ClipLook> looks;
    require(bool(AscCdl::looks(*cut, looks)), "the cut has looks to give");
    for (const AscCdl::Match& match : matches) {
        const AscCdl::Look* look = lookAt(looks, match.track, match.item);
        require(look && *look == contents.corrections[match.correction].look,
                "a clip named holds its correction's values");
    }

    writtenApplyBack(*cut, looks, AscCdl::Form::Collection);
    writtenApplyBack(*cut, looks, AscCdl::Form::DecisionList);
    return 0;
}
