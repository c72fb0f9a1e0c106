#include "tools/zemcomp/text/Summary.h"

#include "tools/zemcomp/files/Document.h"
#include "tools/zemcomp/text/TimeText.h"
#include "tools/zemcomp/text/Words.h"

#include "outside/dmtree/DmTree.h"

#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <cmath>
#include <sstream>

namespace zemcomp {

using namespace ZEM_0_81;

namespace {

/// Counts tracks, layers, segments and their effects, and finds the first
/// composition node's name.
class CountingVisitor : public DmTreeVisitor {
public:
    CountingVisitor() : DmTreeVisitor("zemcomp counter") {}

    void visitCompositionNode(DmCompositionNode* node) override {
        ++counts.compositions;
        if (!nameSeen) {
            name = DmStr2CStr(node->getName()).c_str();
            nameSeen = true;
        }
    }
    void visitTrackNode(DmTrackNode*) override { ++counts.tracks; }
    void visitLayerNode(DmLayerNode*) override { ++counts.layers; }
    void visitSourceNode(DmSourceNode* node) override {
        ++counts.clips;
        counts.effects += node->getNbEffects();
    }
    void visitGapNode(DmGapNode* node) override {
        ++counts.gaps;
        counts.effects += node->getNbEffects();
    }
    void endCompositionNode(DmCompositionNode*) override {}
    void endTrackNode(DmTrackNode*) override {}
    void endLayerNode(DmLayerNode*) override {}

    Counts counts;
    std::string name;
    bool nameSeen = false;
};

/// How `summary` shows its times: timecode at the picture's rate (see Clock).
Clock clockOf(const Summary& summary) {
    return Clock(summary.start.time.getRate(), Clock::of(summary.timeline).shown);
}

std::string timeText(const TimeAnswer& answer, const Summary& summary) {
    if (!answer.status)
        return describe(answer.status);
    return zemcomp::timeText(answer.time.getNbTicks(),
                             Clock(answer.time.getRate(), clockOf(summary).shown));
}

template <class Writer> void writeTime(Writer& writer, const TimeAnswer& answer) {
    writer.StartObject();
    writer.Key("status");
    writer.Int(answer.status.getCode());
    writer.Key("ticks");
    writer.Int64(answer.time.getNbTicks());
    writer.Key("rate");
    writer.StartArray();
    writer.Int(answer.time.getRate().getNumerator());
    writer.Uint(answer.time.getRate().getDenominator());
    writer.EndArray();
    writer.EndObject();
}

template <class Writer> void writeNumber(Writer& writer, double value) {
    // JSON has no NaN or infinity; such a value is written as null.
    if (std::isfinite(value))
        writer.Double(value);
    else
        writer.Null();
}

/// The timeline's contents in OTIO's words: "3 OTIO tracks (2 video, 1 audio):
/// 6 clips, 1 gap, 0 effects, 2 notes, 1 transition (kept, not played)" (the
/// detail in brackets, the notes and the transitions only with `detailed`, the
/// transitions only when there are some).
std::string otioContents(const TimelineView& view, std::size_t transitions, bool detailed) {
    std::uint64_t video = 0, audio = 0, clips = 0, gaps = 0, effects = 0, notes = 0;
    for (const TimelineTrack& track : view.tracks) {
        video += track.kind == TimelineTrack::Kind::Video;
        audio += track.kind == TimelineTrack::Kind::Audio;
        for (const TimelineItem& item : track.items) {
            (item.isClip() ? clips : gaps) += 1;
            effects += item.effects.size();
            notes += item.notes.size();
        }
    }
    std::string text = plural(view.tracks.size(), "OTIO track");
    if (detailed) {
        std::string kinds;
        if (video != 0)
            kinds += std::to_string(video) + " video";
        if (audio != 0)
            kinds += (kinds.empty() ? "" : ", ") + std::to_string(audio) + " audio";
        const std::uint64_t other = view.tracks.size() - video - audio;
        if (other != 0)
            kinds += (kinds.empty() ? "" : ", ") + std::to_string(other) + " of no kind";
        if (!kinds.empty())
            text += " (" + kinds + ")";
        text += ":";
    } else {
        text += ",";
    }
    text +=
        " " + plural(clips, "clip") + ", " + plural(gaps, "gap") + ", " + plural(effects, "effect");
    if (detailed)
        text += ", " + plural(notes, "note");
    if (detailed && transitions != 0)
        text += ", " + plural(transitions, "transition") + " (kept, not played)";
    return text;
}

/// The frame `at` as timecode at the composition's rate, with the frame number.
std::string frameText(const Summary& summary, std::int64_t at) {
    if (!summary.start.status)
        return "frame " + std::to_string(at);
    return timecodeText(at, clockOf(summary)) + " (frame " + std::to_string(at) + ")";
}

} // namespace

std::vector<Loss> lossesOf(const LossReport& report) {
    std::vector<Loss> losses;
    String path, schema, what;
    for (std::uint32_t i = 0; report.getEntry(i, path, schema, what); ++i)
        losses.push_back(Loss{path.c_str(), schema.c_str(), what.c_str()});
    return losses;
}

std::string lossLines(const std::vector<Loss>& losses, const std::string& documentName) {
    std::string lines;
    for (const Loss& loss : losses)
        lines += documentName + ": " + loss.path + ": " + loss.schema + ": " + loss.what + "\n";
    return lines;
}

std::string strictFailure(std::size_t count, const std::string& documentName, bool writing) {
    return documentName + ": " + std::to_string(count) + (count == 1 ? " loss" : " losses") +
           (writing ? " while writing" : " while reading") + " (--strict)";
}

Summary summarize(const Loaded& loaded, const std::vector<std::int64_t>& frames) {
    Summary summary;
    summary.dialect = dialectName(loaded.dialect);
    summary.losses = lossesOf(loaded.losses);
    const Composition& composition = *loaded.composition;
    const DmRoot& tree = composition.getTree(summary.status);
    if (!loaded.status)
        summary.status = loaded.status;

    CountingVisitor counter;
    DmPreIt walk(const_cast<DmRoot*>(&tree), &counter); // the walk only reads
    walk.traverse();
    summary.counts = counter.counts;
    summary.name = counter.name;

    TimelineView::build(composition, summary.timeline); // fails as the tree did: then empty
    for (const TimelineTrack& track : summary.timeline.tracks)
        summary.transitions += track.transitions.size();

    summary.duration.status = composition.getDuration(summary.duration.time);
    summary.start.status = composition.getStartTime(summary.start.time);
    const bool timed = summary.duration.status && summary.start.status;
    const std::int64_t first = summary.start.time.getNbTicks();
    const std::int64_t length = summary.duration.time.getNbTicks();

    std::vector<std::int64_t> at = frames;
    if (at.empty())
        at.push_back(summary.start.time.getNbTicks());
    for (std::int64_t frame : at) {
        BoundsAnswer answer;
        answer.at = frame;
        answer.status = composition.getOutputBounds(Time(frame, Rational(1, 1)), answer.bounds);
        // From the start on, the distance to it is taken in unsigned arithmetic,
        // which holds it whatever the two numbers.
        answer.outside = timed && (frame < first || static_cast<std::uint64_t>(frame) -
                                                            static_cast<std::uint64_t>(first) >=
                                                        static_cast<std::uint64_t>(length));
        summary.bounds.push_back(answer);
    }
    return summary;
}

std::string toJson(const Summary& summary, const std::string& file) {
    rapidjson::StringBuffer buffer;
    rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
    writer.StartObject();
    writer.Key("status");
    writer.Int(summary.status.getCode());
    writer.Key("name");
    writer.String(summary.name.c_str(), static_cast<rapidjson::SizeType>(summary.name.size()));
    writer.Key("duration");
    writeTime(writer, summary.duration);
    writer.Key("start");
    writeTime(writer, summary.start);
    writer.Key("bounds");
    writer.StartArray();
    for (const BoundsAnswer& answer : summary.bounds) {
        writer.StartObject();
        writer.Key("at");
        writer.Int64(answer.at);
        writer.Key("status");
        writer.Int(answer.status.getCode());
        writer.Key("center");
        writer.StartArray();
        writeNumber(writer, answer.bounds.getCenterX());
        writeNumber(writer, answer.bounds.getCenterY());
        writer.EndArray();
        writer.Key("size");
        writer.StartArray();
        writeNumber(writer, answer.bounds.getSizeX());
        writeNumber(writer, answer.bounds.getSizeY());
        writer.EndArray();
        writer.Key("outside");
        writer.Bool(answer.outside);
        writer.EndObject();
    }
    writer.EndArray();
    writer.Key("counts");
    writer.StartObject();
    const std::pair<const char*, std::uint64_t> counts[] = {{"tracks", summary.counts.tracks},
                                                            {"layers", summary.counts.layers},
                                                            {"clips", summary.counts.clips},
                                                            {"gaps", summary.counts.gaps},
                                                            {"effects", summary.counts.effects}};
    for (const auto& [key, value] : counts) {
        writer.Key(key);
        writer.Uint64(value);
    }
    writer.EndObject();
    writer.Key("file");
    writer.String(file.c_str(), static_cast<rapidjson::SizeType>(file.size()));
    const auto text = [&](const std::string& value) {
        writer.String(value.c_str(), static_cast<rapidjson::SizeType>(value.size()));
    };
    writer.Key("losses");
    writer.StartArray();
    for (const Loss& loss : summary.losses) {
        writer.StartObject();
        writer.Key("path");
        text(loss.path);
        writer.Key("schema");
        text(loss.schema);
        writer.Key("what");
        text(loss.what);
        writer.EndObject();
    }
    writer.EndArray();
    writer.Key("dialect");
    text(summary.dialect);
    writer.EndObject();
    return std::string(buffer.GetString(), buffer.GetSize());
}

std::string toText(const Summary& summary, const std::string& documentName) {
    std::ostringstream text;
    text << "document  " << documentName << "\n";
    text << "dialect   " << summary.dialect << "\n";
    if (!summary.status)
        text << "import    " << describe(summary.status) << "\n";
    text << "name      " << (summary.name.empty() ? "(none)" : summary.name) << "\n";
    text << "start     " << timeText(summary.start, summary) << "\n";
    text << "duration  " << timeText(summary.duration, summary) << "\n";
    if (summary.start.status && clockOf(summary).converts())
        text << "timecode  at " << rateText(clockOf(summary).shown)
             << " fps, the picture's (times count at its sound's sample rate)\n";
    if (summary.timeline.hasTimeline)
        text << "tracks    " << otioContents(summary.timeline, summary.transitions, true) << "\n";
    else if (summary.status)
        text << "tracks    none: the document holds no timeline\n";
    const Counts& counts = summary.counts;
    // A collection's timelines: the lines above tell of the first one only.
    if (counts.compositions > 1)
        text << "timelines " << counts.compositions
             << " (name, start, duration and tracks are the first's)\n";
    text << "edit tree " << plural(counts.tracks, "track") << " (OTIO "
         << (counts.tracks == 1 ? "stack" : "stacks") << "), " << plural(counts.layers, "layer")
         << " (OTIO " << (counts.layers == 1 ? "track" : "tracks") << "), "
         << plural(counts.clips, "source segment") << ", " << plural(counts.gaps, "gap segment")
         << ", " << plural(counts.effects, "effect") << "\n";
    if (!summary.losses.empty())
        text << "losses    " << summary.losses.size() << " (listed on standard error)\n";
    for (const BoundsAnswer& answer : summary.bounds) {
        text << "bounds    at " << frameText(summary, answer.at)
             << (answer.outside ? ", outside the composition" : "") << ": ";
        if (answer.status.getCode() == Status::InputWithoutResolution)
            // Standard OTIO from other tools rarely says how big its pictures are.
            text << "no picture size: no media of the composition gives one\n";
        else if (!answer.status)
            text << describe(answer.status) << "\n";
        else
            text << "centre (" << answer.bounds.getCenterX() << ", " << answer.bounds.getCenterY()
                 << "), size " << answer.bounds.getSizeX() << " x " << answer.bounds.getSizeY()
                 << "\n";
    }
    return text.str();
}

std::string oneLine(const Summary& summary) {
    std::string line =
        "\"" + summary.name + "\": " + otioContents(summary.timeline, summary.transitions, false);
    if (summary.duration.status)
        line += ", " + timeText(summary.duration, summary);
    return line;
}

std::string outsideNote(const Summary& summary, const BoundsAnswer& answer) {
    if (!answer.outside)
        return {};
    const std::int64_t start = summary.start.time.getNbTicks();
    const std::int64_t length = summary.duration.time.getNbTicks();
    std::string span = "which is empty";
    if (length > 0)
        span = "frames " + std::to_string(start) + " to " +
               (start <= INT64_MAX - (length - 1) ? std::to_string(start + (length - 1))
                                                  : std::string("the end"));
    return "frame " + std::to_string(answer.at) + " is outside the composition (" + span + ")";
}

} // namespace zemcomp
