#include "tools/zemcomp/Summary.h"

#include "tools/zemcomp/Document.h"

#include "outside/core/FPSUtils.h"
#include "outside/dmtree/DmTree.h"

#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <cmath>
#include <cstdio>
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

std::string rateText(const Rational& rate) {
    String text;
    if (FPSUtils::getFPSString(rate, text))
        return text.c_str();
    return std::to_string(rate.getNumerator()) + "/" + std::to_string(rate.getDenominator());
}

std::string timeText(const TimeAnswer& answer) {
    if (!answer.status)
        return describe(answer.status);
    const Time& time = answer.time;
    std::ostringstream text;
    text << time.getNbTicks() << " frames at " << rateText(time.getRate()) << " fps";
    const double rate = time.getRate().getValue();
    if (rate > 0 && std::isfinite(rate)) {
        char seconds[64];
        std::snprintf(seconds, sizeof seconds, " (%.3f s)",
                      static_cast<double>(time.getNbTicks()) / rate);
        text << seconds;
    }
    return text.str();
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

std::string plural(std::uint64_t count, const char* word) {
    return std::to_string(count) + " " + word + (count == 1 ? "" : "s");
}

} // namespace

Summary summarize(const Composition& composition, const std::vector<std::int64_t>& frames) {
    Summary summary;
    const DmRoot& tree = composition.getTree(summary.status);

    CountingVisitor counter;
    DmPreIt walk(const_cast<DmRoot*>(&tree), &counter); // the walk only reads
    walk.traverse();
    summary.counts = counter.counts;
    summary.name = counter.name;

    summary.duration.status = composition.getDuration(summary.duration.time);
    summary.start.status = composition.getStartTime(summary.start.time);

    std::vector<std::int64_t> at = frames;
    if (at.empty())
        at.push_back(summary.start.time.getNbTicks());
    for (std::int64_t frame : at) {
        BoundsAnswer answer;
        answer.at = frame;
        answer.status = composition.getOutputBounds(Time(frame, Rational(1, 1)), answer.bounds);
        summary.bounds.push_back(answer);
    }
    return summary;
}

std::string toJson(const Summary& summary) {
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
        writer.EndObject();
    }
    writer.EndArray();
    writer.Key("counts");
    writer.StartObject();
    const std::pair<const char*, std::uint64_t> counts[] = {
        {"tracks", summary.counts.tracks}, {"layers", summary.counts.layers},
        {"clips", summary.counts.clips},   {"gaps", summary.counts.gaps},
        {"effects", summary.counts.effects}};
    for (const auto& [key, value] : counts) {
        writer.Key(key);
        writer.Uint64(value);
    }
    writer.EndObject();
    writer.EndObject();
    return std::string(buffer.GetString(), buffer.GetSize());
}

std::string toText(const Summary& summary, const std::string& documentName) {
    std::ostringstream text;
    text << "document  " << documentName << "\n";
    if (!summary.status)
        text << "import    " << describe(summary.status) << "\n";
    text << "name      " << (summary.name.empty() ? "(none)" : summary.name) << "\n";
    text << "duration  " << timeText(summary.duration) << "\n";
    text << "start     " << timeText(summary.start) << "\n";
    text << "contents  " << plural(summary.counts.tracks, "track") << ", "
         << plural(summary.counts.layers, "layer") << ", " << plural(summary.counts.clips, "clip")
         << ", " << plural(summary.counts.gaps, "gap") << ", "
         << plural(summary.counts.effects, "effect") << "\n";
    for (const BoundsAnswer& answer : summary.bounds) {
        text << "bounds    at frame " << answer.at << ": ";
        if (!answer.status)
            text << describe(answer.status) << "\n";
        else
            text << "centre (" << answer.bounds.getCenterX() << ", " << answer.bounds.getCenterY()
                 << "), size " << answer.bounds.getSizeX() << " x " << answer.bounds.getSizeY()
                 << "\n";
    }
    return text.str();
}

std::string oneLine(const Summary& summary) {
    std::string line = "\"" + summary.name + "\": " + plural(summary.counts.tracks, "track") +
                       ", " + plural(summary.counts.layers, "layer") + ", " +
                       plural(summary.counts.clips, "clip") + ", " +
                       plural(summary.counts.gaps, "gap") + ", " +
                       plural(summary.counts.effects, "effect");
    if (summary.duration.status)
        line += ", " + timeText(summary.duration);
    return line;
}

} // namespace zemcomp
