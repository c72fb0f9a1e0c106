// zemcomp-bench: how long OTIO import and export take, and how much memory they
// need, on synthetic timelines from a few kilobytes to tens of megabytes, beside
// RapidJSON's own DOM parse and compact write of the same text in the same run,
// and the same for standard OTIO (interchange/StandardOtio.h) of the same trees;
// and how long reading and writing CMX 3600 EDLs (interchange/Edl.h) take, and
// their memory, per event, beside the product dialect's import and export of
// the same compositions; and reading and writing Final Cut Pro 7 XML
// (interchange/Xmeml.h) per clip, beside the standard OTIO reader and writer of
// the same cut.
//
// Each size runs in a child process of its own, so that one size's heap does not
// shape the next one's figures, and a crash stops one row, not the whole run.

#include "bench/CutPairGenerator.h"
#include "bench/EdlGenerator.h"
#include "bench/TimelineGenerator.h"

#include "composition/Composition.h"
#include "interchange/CutComparison.h"
#include "interchange/Documents.h"
#include "interchange/Edl.h"
#include "interchange/Fcpxml.h"
#include "interchange/StandardOtio.h"
#include "interchange/TimelineView.h"
#include "interchange/Xmeml.h"
#include "outside/dmtree/DmGapNode.h"
#include "outside/dmtree/DmRoot.h"
#include "outside/dmtree/DmSourceNode.h"
#include "outside/dmtree/DmTreeIterator.h"
#include "outside/dmtree/DmTreeVisitor.h"

#include <rapidjson/document.h>
#include <rapidjson/prettywriter.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <malloc.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

using namespace ZEM_0_81;

namespace {

constexpr double kMiB = 1024.0 * 1024.0;
// Short runs are repeated inside one sample until the sample lasts this long, so
// that the clock's resolution and a single scheduler hiccup matter less.
constexpr double kMinSampleSeconds = 0.02;

const char* const kUsage =
    "usage: zemcomp-bench [--sizes S,64K,256K,M,L,XL,D,D3,Di,P,P3,Pa,E,E3,X,X3,XP,F,F3,C,C3,\n"
    "                              C9]\n"
    "                     [--repeat N]\n"
    "                     [--write-samples DIR] [--profile PHASE]\n"
    "\n"
    "  --sizes LIST          sizes to run, from S (about 10 KB), 64K and 256K (M with\n"
    "                        fewer clips), M (1 MB), L (10 MB),\n"
    "                        XL (40 MB), D (12 MB dense with effects and paint),\n"
    "                        D3 (D three times as long), Di (D indented as the\n"
    "                        OpenTimelineIO library writes it), P and P3 (a plain\n"
    "                        cut of 10 000 and 30 000 clips), Pa (P, its standard\n"
    "                        OTIO as another tool writes it), E (an EDL of 10 000\n"
    "                        events), E3 (30 000), X (D as Final Cut Pro 7 XML),\n"
    "                        X3 (D3 as xmeml), XP (a long plain cut of 9000 clips\n"
    "                        as xmeml), F (D as FCPXML), F3 (E3's plain\n"
    "                        cut as FCPXML), C, C3 and C9 (two cuts of 3 000,\n"
    "                        9 000 and 27 000 clips compared, their notes carried);\n"
    "                        default all\n"
    "  --repeat N            samples per measurement, the median is reported; default 5\n"
    "  --write-samples DIR   also write each generated document to DIR/bench-SIZE.otio.json\n"
    "  --profile PHASE       run only PHASE, N times, on the first size, in this process,\n"
    "                        for a profiler (valgrind --tool=callgrind, perf record);\n"
    "                        PHASE is import, export, roundtrip, std-write, std-read,\n"
    "                        std-parse (RapidJSON's DOM parse of the standard text),\n"
    "                        RapidJSON's own parse or write of the document, or\n"
    "                        edl-read or edl-write (on the first EDL size), compare\n"
    "                        or carry (on the first size of cuts compared), or\n"
    "                        xmeml-read or xmeml-write (on the first xmeml size)\n";

struct Options {
    std::vector<std::string> sizes{"S",  "64K", "256K", "M",  "L",  "XL", "D",  "D3",
                                   "Di", "P",   "P3",   "Pa", "Da", "E",  "E3", "X",
                                   "X3", "XP",  "F",    "F3", "C",  "C3", "C9"};
    int repeat = 5;
    std::string samplesDir;
    std::string profile;
};

/// The figures of one size, handed from the child to the parent through a pipe,
/// hence plain data only.
struct SizeResult {
    bool ran = false;
    char failure[200] = {};
    double documentBytes = 0;
    double exportedBytes = 0;
    double generateSeconds = 0;
    // Medians, in seconds per run.
    double parseSeconds = 0;
    double writeSeconds = 0;
    double importSeconds = 0;
    double exportSeconds = 0;
    // Medians of import/parse and export/write over samples taken in turn.
    double importRatio = 0;
    double exportRatio = 0;
    double copySeconds = 0;
    double roundTripSeconds = 0;
    // Peak resident memory above the level before the step, in bytes; < 0 unknown.
    double parsePeak = -1;
    double importPeak = -1;      ///< after one import, before the timed ones
    double importPeakLater = -1; ///< after the timed imports
    double exportPeak = -1;
    // Checks of what the import built against what was generated.
    bool countsMatch = false;
    bool writeMatches = false; ///< RapidJSON's write gave back the generated text
    bool fixedPoint = false;   ///< exporting the import of an export gives the same text
    // Standard OTIO of the same tree: its size, the writer's and the reader's
    // medians and peaks, and whether reading the text back gives the same tree.
    double standardBytes = 0;
    double standardWriteSeconds = 0;
    double standardReadSeconds = 0;
    double standardWritePeak = -1;
    double standardReadPeak = -1;
    double standardReadRatio = 0; ///< median of read / RapidJSON's DOM parse, in turn
    /// Median processor time of the read, all its threads together.
    double standardReadProcessorSeconds = 0;
    bool standardSameTree = false;
    // RapidJSON's DOM parse and compact write of the standard text: its baseline.
    double standardParseSeconds = 0;
    double standardRapidWriteSeconds = 0;
    double standardParsePeak = -1;
    std::size_t clips = 0;
    std::size_t gaps = 0;
    std::size_t effects = 0;
    std::size_t points = 0;
};

/// The figures of one EDL size, handed from the child through a pipe.
struct EdlResult {
    bool ran = false;
    char failure[200] = {};
    std::size_t events = 0;
    std::size_t clips = 0;
    double edlBytes = 0;
    double otioBytes = 0;
    // Medians, in seconds per run, each timed in turn with its counterpart.
    double readSeconds = 0;
    double importSeconds = 0;
    double readRatio = 0;
    double writeSeconds = 0;
    double exportSeconds = 0;
    double writeRatio = 0;
    // Peak resident memory above the level before the step, in bytes; < 0 unknown.
    double readPeak = -1;
    double importPeak = -1;
    double writePeak = -1;
    double exportPeak = -1;
    bool clipsMatch = false; ///< the read made one clip per channel of each event
    bool fixedPoint = false; ///< the list written, read and written again, is the same
};

/// The EDL sizes: their names and events.
struct EdlSize {
    const char* name;
    std::size_t events;
};
constexpr EdlSize kEdlSizes[] = {{"E", 10000}, {"E3", 30000}};

/// The figures of one pair of cuts compared, handed from the child through a pipe.
struct CompareResult {
    bool ran = false;
    char failure[200] = {};
    std::size_t clips = 0;
    std::size_t notes = 0;
    double bytes = 0; ///< of both cuts' text
    // Medians, in seconds per run, each timed in turn with reading both cuts.
    double readSeconds = 0;
    double compareSeconds = 0;
    double compareRatio = 0;
    double carrySeconds = 0; ///< comparing and carrying the notes
    double carryRatio = 0;
    bool pairsMatch = false; ///< as many removed and added as the edits made
    std::size_t carried = 0; ///< notes carried
    std::size_t left = 0;    ///< notes left behind or carried in part
};

/// The sizes of cuts compared: their names and clips.
struct CompareSize {
    const char* name;
    std::size_t clips;
};
constexpr CompareSize kCompareSizes[] = {{"C", 3000}, {"C3", 9000}, {"C9", 27000}};

/// The FCPXML sizes: the FCPXML written for the dense feature ("D") or for the
/// long plain cut of an EDL of `events` events.
struct FcpxmlSize {
    const char* name;
    const char* timeline; ///< a timeline size's name, or null for the EDL's cut
    std::size_t events;
};
constexpr FcpxmlSize kFcpxmlSizes[] = {{"F", "D", 0}, {"F3", nullptr, 30000}};

/// The figures of one FCPXML size, handed from the child through a pipe.
struct FcpxmlResult {
    bool ran = false;
    char failure[200] = {};
    std::size_t clips = 0;
    double fcpxmlBytes = 0;
    double standardBytes = 0;
    // Medians, in seconds per run, each timed in turn with standard OTIO's.
    double readSeconds = 0;
    double standardReadSeconds = 0;
    double readRatio = 0;
    double writeSeconds = 0;
    double standardWriteSeconds = 0;
    double writeRatio = 0;
    // Peak resident memory above the level before the step, in bytes; < 0 unknown.
    double readPeak = -1;
    double standardReadPeak = -1;
    double writePeak = -1;
    double standardWritePeak = -1;
    bool fixedPoint = false; ///< the document written, read and written again, is the same
};

/// The figures of one xmeml size, handed from the child through a pipe.
struct XmemlResult {
    bool ran = false;
    char failure[200] = {};
    std::size_t clips = 0;
    double xmemlBytes = 0;
    double standardBytes = 0;
    // Medians, in seconds per run, each timed in turn with standard OTIO's.
    double readSeconds = 0;
    double standardReadSeconds = 0;
    double readRatio = 0;
    double writeSeconds = 0;
    double standardWriteSeconds = 0;
    double writeRatio = 0;
    // Peak resident memory above the level before the step, in bytes; < 0 unknown.
    double readPeak = -1;
    double standardReadPeak = -1;
    double writePeak = -1;
    double standardWritePeak = -1;
    bool sameCut = false;    ///< standard OTIO of the cut read back holds the same clips
    bool fixedPoint = false; ///< the document written, read and written again, is the same
};

/// The xmeml sizes: their names and the timeline whose cut they hold (a size
/// of standardSizes, or the plain cut).
struct XmemlSize {
    const char* name;
    const char* timeline;
};
constexpr XmemlSize kXmemlSizes[] = {{"X", "D"}, {"X3", "D3"}, {"XP", "plain"}};

/// A long plain cut: one picture track and two sound tracks of 3000 clips each,
/// without effects, notes or gaps.
bench::TimelineShape plainCut() {
    bench::TimelineShape shape;
    shape.videoTracks = 1;
    shape.audioTracks = 2;
    shape.clipsPerTrack = 3000;
    shape.effectsPerClip = 0;
    shape.gapEvery = 0;
    shape.annotationEvery = 0;
    shape.extraDataEntries = 0;
    return shape;
}

// --- time ----------------------------------------------------------------------

double now() {
    using Clock = std::chrono::steady_clock;
    return std::chrono::duration<double>(Clock::now().time_since_epoch()).count();
}

/// Processor time of this process, in seconds: on a machine others share, a
/// steadier figure than the clock's.
double processorTime() {
    timespec time{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &time);
    return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_nsec) * 1e-9;
}

double median(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    const std::size_t n = samples.size();
    return n % 2 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
}

/// One step to time: `prepare` makes what `count` runs need (outside the
/// clock), `run` gets a run's index, `finish` releases what the runs of one
/// sample made (outside the clock).
struct Step {
    std::function<void(int)> prepare;
    std::function<void(int)> run;
    std::function<void()> finish;
    /// When set, used instead of run: makes what run `i` needs, times the run
    /// itself and returns its seconds (for a run that must find its input just
    /// made, as a host's would be).
    std::function<double(int)> timed = {};

    /// Seconds of the runs 0 to `count` - 1 together.
    double runs(int count) const {
        if (timed) {
            double seconds = 0;
            for (int i = 0; i < count; ++i)
                seconds += timed(i);
            return seconds;
        }
        const double start = now();
        for (int i = 0; i < count; ++i)
            run(i);
        return now() - start;
    }

    /// Runs the step once (to warm caches) and returns how many runs a sample
    /// holds: as many as last kMinSampleSeconds together.
    int calibrate() const {
        prepare(1);
        const double first = runs(1);
        finish();
        return first >= kMinSampleSeconds
                   ? 1
                   : std::min(2000,
                              static_cast<int>(kMinSampleSeconds / std::max(first, 1e-7)) + 1);
    }
    /// One sample of `perSample` runs: seconds per run.
    double sample(int perSample) const {
        prepare(perSample);
        const double seconds = runs(perSample) / perSample;
        finish();
        return seconds;
    }
};

/// The median over `repeat` samples of one run of `run`, in seconds (see Step).
double measure(int repeat, const std::function<void(int)>& prepare,
               const std::function<void(int)>& run, const std::function<void()>& finish) {
    const Step step{prepare, run, finish};
    const int perSample = step.calibrate();
    std::vector<double> samples;
    for (int r = 0; r < repeat; ++r)
        samples.push_back(step.sample(perSample));
    return median(samples);
}

/// A step and its baseline timed in turn, sample by sample, so that a change in
/// the machine's load between them weighs on both alike: the medians of each,
/// and the median of the ratios of samples taken side by side.
struct Paired {
    double baselineSeconds = 0;
    double seconds = 0;
    double ratio = 0;
};

Paired measurePaired(int repeat, const Step& baseline, const Step& step) {
    const int baselinePerSample = baseline.calibrate();
    const int perSample = step.calibrate();
    std::vector<double> baselineSamples, samples, ratios;
    for (int r = 0; r < repeat; ++r) {
        baselineSamples.push_back(baseline.sample(baselinePerSample));
        samples.push_back(step.sample(perSample));
        ratios.push_back(samples.back() / baselineSamples.back());
    }
    return Paired{median(baselineSamples), median(samples), median(ratios)};
}

// --- memory --------------------------------------------------------------------

/// A "Vm..." line of /proc/self/status in bytes, or -1.
double statusBytes(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::size_t length = std::strlen(field);
    while (std::getline(status, line)) {
        if (line.compare(0, length, field) == 0 && line.size() > length && line[length] == ':')
            return std::atof(line.c_str() + length + 1) * 1024.0;
    }
    return -1;
}

/// Resets the kernel's peak-RSS mark of this process to its current RSS.
bool resetPeak() {
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
    clear.flush();
    return static_cast<bool>(clear);
}

/// The peak resident memory that `step` adds to the process, in bytes.
///
/// Freed heap is first handed back to the system (malloc_trim), so that the step
/// cannot hide its use in pages already resident. Then the kernel's peak mark is
/// reset to the current RSS (/proc/self/clear_refs) and read back after the step
/// (VmHWM). Where the mark cannot be reset, the step runs in a forked child whose
/// starting peak is the RSS it inherits, and the child's ru_maxrss is read.
double peakOf(const std::function<void()>& step) {
    malloc_trim(0);
    if (resetPeak()) {
        const double before = statusBytes("VmRSS");
        step();
        const double peak = statusBytes("VmHWM");
        return before < 0 || peak < 0 ? -1 : peak - before;
    }

    int channel[2];
    if (pipe(channel) != 0)
        return -1;
    const pid_t child = fork();
    if (child == 0) {
        close(channel[0]);
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        const long before = usage.ru_maxrss;
        step();
        getrusage(RUSAGE_SELF, &usage);
        const double grown = (usage.ru_maxrss - before) * 1024.0;
        const ssize_t written = write(channel[1], &grown, sizeof grown);
        _exit(written == sizeof grown ? 0 : 1);
    }
    close(channel[1]);
    double grown = -1;
    if (child < 0 || read(channel[0], &grown, sizeof grown) != sizeof grown)
        grown = -1;
    close(channel[0]);
    if (child > 0)
        waitpid(child, nullptr, 0);
    return grown;
}

// --- the steps -------------------------------------------------------------------

/// Counts what an edit tree holds: sources, gaps and the effects on them.
class TreeCounter : public DmTreeVisitor {
public:
    TreeCounter() : DmTreeVisitor("bench tree counter") {}
    void visitSourceNode(DmSourceNode* node) override {
        ++clips;
        countEffects(node);
    }
    void visitGapNode(DmGapNode* node) override {
        ++gaps;
        countEffects(node);
    }
    void endCompositionNode(DmCompositionNode*) override {}
    void endTrackNode(DmTrackNode*) override {}
    void endLayerNode(DmLayerNode*) override {}

    std::size_t clips = 0;
    std::size_t gaps = 0;
    std::size_t effects = 0;

private:
    void countEffects(const DmSegmentNode* segment) {
        if (segment)
            effects += segment->getNbEffects();
    }
};

SharedPtr<Composition> emptyComposition() {
    SharedPtr<Composition> composition;
    Composition::create(composition, String("bench"), "bench", Rational(24, 1));
    return composition;
}

/// Text to edit tree over the public interface; the tree is that of `into`.
const DmRoot& importText(const String& text, SharedPtr<Composition>& into) {
    into = emptyComposition();
    into->setJson(Composition::JsonType::Otio, text);
    Status status;
    const DmRoot& tree = into->getTree(status);
    if (!status)
        throw std::runtime_error(std::string("import failed: ") + status.getDescription());
    return tree;
}

/// Edit tree to text over the public interface, from a composition that holds
/// the tree and no text yet.
void exportText(const SharedPtr<Composition>& holder, String& out) {
    const Status status = holder->getJson(Composition::JsonType::Otio, out);
    if (!status)
        throw std::runtime_error(std::string("export failed: ") + status.getDescription());
}

/// The tree of `holder` as standard OTIO text.
void writeStandard(const Composition& holder, String& out) {
    String message;
    const Status status = StandardOtio::write(holder, out, &message);
    if (!status)
        throw std::runtime_error(std::string("standard OTIO write failed: ") + message.c_str());
}

/// Standard OTIO text to a new composition.
SharedPtr<Composition> readStandard(const String& text) {
    SharedPtr<Composition> composition;
    LossReport losses;
    String message;
    const Status status =
        StandardOtio::read(text.c_str(), text.size(), "bench", composition, losses, &message);
    if (!status)
        throw std::runtime_error(std::string("standard OTIO read failed: ") + message.c_str());
    return composition;
}

/// The edit-tree JSON of a composition, to compare trees.
std::string treeText(const Composition& composition) {
    String text;
    if (!composition.getJson(Composition::JsonType::DmTree, text))
        throw std::runtime_error("no edit-tree JSON");
    return std::string(text.c_str(), text.size());
}

template <class Result> void fail(Result& result, const std::string& message) {
    std::snprintf(result.failure, sizeof result.failure, "%s", message.c_str());
}

/// Keeps freed heap in the process instead of handing it back to the system after
/// every run. On this kind of machine (a virtual one, shared) a page fault costs
/// microseconds, and whether a run finds its pages already mapped would otherwise
/// depend on what the run before it freed: the figures would measure the heap's
/// history more than the step. The first-touch cost shows in the memory figures.
void keepHeap() {
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024); // the largest glibc takes
}

/// RapidJSON's own DOM parse of a text and compact write of that DOM: the
/// baseline of a reader and of a writer. Like the DOM and the buffer that import
/// and export use inside, each is released within its run.
struct RapidJsonBaseline {
    double parseSeconds = 0;
    double parsePeak = -1;
    double writeSeconds = 0;
};

RapidJsonBaseline measureRapidJson(const char* text, int repeat, const std::string& what) {
    const auto nothing = [](int) {};
    const auto none = [] {};
    RapidJsonBaseline baseline;
    baseline.parseSeconds = measure(
        repeat, nothing,
        [&](int) {
            rapidjson::Document document;
            document.Parse(text);
        },
        none);
    baseline.parsePeak = peakOf([&] {
        rapidjson::Document document;
        document.Parse(text);
    });
    rapidjson::Document parsed;
    parsed.Parse(text);
    if (parsed.HasParseError())
        throw std::runtime_error("the " + what + " text does not parse");
    baseline.writeSeconds = measure(
        repeat, nothing,
        [&](int) {
            rapidjson::StringBuffer buffer;
            rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
            parsed.Accept(writer);
        },
        none);
    return baseline;
}

/// The standard OTIO writer and reader on the imported tree: the writer from a
/// composition holding the tree, the reader into a new composition (its copy of
/// the tree included, as Composition::create(id, root) takes one).
/// `standard` as another tool would write the same timeline: without the
/// members only this system writes ("zem"), indented with four spaces as the
/// OpenTimelineIO library writes.
String asAnotherTools(const String& standard) {
    rapidjson::Document document;
    document.Parse<rapidjson::kParseFullPrecisionFlag>(standard.c_str());
    const std::function<void(rapidjson::Value&)> strip = [&](rapidjson::Value& value) {
        if (value.IsObject()) {
            value.RemoveMember("zem");
            for (auto& member : value.GetObject())
                strip(member.value);
        } else if (value.IsArray()) {
            for (rapidjson::Value& element : value.GetArray())
                strip(element);
        }
    };
    strip(document);
    rapidjson::StringBuffer buffer;
    rapidjson::PrettyWriter<rapidjson::StringBuffer> writer(buffer);
    writer.SetIndent(' ', 4);
    document.Accept(writer);
    return String(buffer.GetString(), buffer.GetSize());
}

void measureStandard(SizeResult& result, const DmRoot& tree, bool anotherTool, int repeat) {
    const SharedPtr<Composition> holder = Composition::create(String("standard"), tree);
    std::vector<String> outputs;
    result.standardWriteSeconds = measure(
        repeat, [&](int n) { outputs.assign(static_cast<std::size_t>(n), String()); },
        [&](int i) { writeStandard(*holder, outputs[static_cast<std::size_t>(i)]); },
        [&] { outputs.clear(); });

    String standard;
    writeStandard(*holder, standard);
    if (anotherTool)
        standard = asAnotherTools(standard);
    result.standardBytes = static_cast<double>(standard.size());
    // RapidJSON on the standard text: its parse and its compact write, as for the
    // product's own text.
    const RapidJsonBaseline baseline = measureRapidJson(standard.c_str(), repeat, "standard OTIO");

    // The read timed in turn with RapidJSON's DOM parse of the same text, sample
    // by sample: the ratio is the reader's figure of merit.
    std::vector<SharedPtr<Composition>> read;
    const Step parsing{[](int) {},
                       [&](int) {
                           rapidjson::Document document;
                           document.Parse(standard.c_str());
                       },
                       [] {}};
    const Step reading{[&](int n) { read.resize(static_cast<std::size_t>(n)); },
                       [&](int i) { read[static_cast<std::size_t>(i)] = readStandard(standard); },
                       [&] { read.clear(); }};
    const Paired readAgainstParse = measurePaired(repeat, parsing, reading);
    result.standardReadSeconds = readAgainstParse.seconds;
    result.standardReadRatio = readAgainstParse.ratio;
    // A long track's items are parsed on a thread of their own: the processor
    // time of the read is more than its time on the clock.
    std::vector<double> processor;
    for (int r = 0; r < repeat; ++r) {
        const double start = processorTime();
        const SharedPtr<Composition> once = readStandard(standard);
        processor.push_back(processorTime() - start);
    }
    result.standardReadProcessorSeconds = median(processor);
    result.standardReadPeak = peakOf([&] { readStandard(standard); });
    result.standardParseSeconds = readAgainstParse.baselineSeconds;
    result.standardParsePeak = baseline.parsePeak;
    result.standardRapidWriteSeconds = baseline.writeSeconds;
    // Another tool's text holds the same clips; this system's, the same tree.
    if (anotherTool) {
        const SharedPtr<Composition> again = readStandard(standard);
        Status status;
        const DmRoot& readTree = again->getTree(status);
        TreeCounter read, written;
        DmPreIt(const_cast<DmRoot*>(&readTree), &read).traverse();
        DmPreIt(const_cast<DmRoot*>(&tree), &written).traverse();
        result.standardSameTree = read.clips == written.clips && read.gaps == written.gaps;
    } else {
        result.standardSameTree = treeText(*readStandard(standard)) == treeText(*holder);
    }
}

/// Every measurement of one size. Runs in the child process of that size.
SizeResult runSize(const bench::TimelineSize& size, const Options& options) {
    keepHeap();
    SizeResult result;
    result.ran = true;
    const int repeat = options.repeat;

    bench::TimelineCounts counts;
    double start = now();
    const std::string generated = bench::generateTimeline(size.shape, &counts);
    result.generateSeconds = now() - start;
    result.documentBytes = static_cast<double>(generated.size());
    result.points = counts.points;

    if (!options.samplesDir.empty()) {
        const std::string path = options.samplesDir + "/bench-" + size.name + ".otio.json";
        std::error_code ignored;
        std::filesystem::create_directories(options.samplesDir, ignored);
        std::ofstream out(path, std::ios::binary);
        out.write(generated.data(), static_cast<std::streamsize>(generated.size()));
        if (!out) {
            fail(result, "cannot write " + path);
            return result;
        }
    }

    // The text as a host holds it; setJson shares it.
    const String text(generated.c_str(), generated.size());

    try {
        // Baseline: RapidJSON's DOM parse with the default (strict) flags, and its
        // compact write of that DOM, each timed in turn with the step it is the
        // baseline of (below).
        result.parsePeak = peakOf([&] {
            rapidjson::Document document;
            document.Parse(text.c_str());
        });
        // The import's peak is taken twice: here, after one import has brought the
        // library's code and first-use tables in (which are not the step's), and
        // after the timed imports below, whose freed trees leave the heap holed:
        // what the walk builds then lands partly in holes whose pages were
        // returned to the system, and counts again.
        {
            SharedPtr<Composition> composition;
            importText(text, composition);
        }
        result.importPeak = peakOf([&] {
            SharedPtr<Composition> composition;
            importText(text, composition);
        });
        rapidjson::Document parsed;
        parsed.Parse(text.c_str());
        if (parsed.HasParseError())
            throw std::runtime_error("the generated text does not parse");
        {
            rapidjson::StringBuffer buffer;
            rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
            parsed.Accept(writer);
            result.writeMatches = generated == buffer.GetString();
        }

        // Import: setJson, then getTree runs the conversion.
        SharedPtr<Composition> held;
        // Timed in turn with RapidJSON's parse, sample by sample: the ratio is
        // then that of runs made under the same load.
        const auto nothing = [](int) {};
        const auto none = [] {};
        const Step parse{nothing,
                         [&](int) {
                             rapidjson::Document document;
                             document.Parse(text.c_str());
                         },
                         none};
        const Paired importAgainstParse =
            measurePaired(repeat, parse,
                          Step{nothing, nullptr, none,
                               // Each import follows the release of the composition imported
                               // before it, outside the clock, as in a host that lets a
                               // composition go and imports the next: the heap's deferred work
                               // for what the release freed falls on the import, and not on
                               // RapidJSON's parse. (Released all at once ahead of a sample,
                               // a small document's freed trees were out of the processor's
                               // caches by the time the heap merged them.)
                               [&](int) {
                                   held = SharedPtr<Composition>();
                                   const double start = now();
                                   importText(text, held);
                                   return now() - start;
                               }});
        held = SharedPtr<Composition>();
        result.parseSeconds = importAgainstParse.baselineSeconds;
        result.importSeconds = importAgainstParse.seconds;
        result.importRatio = importAgainstParse.ratio;
        result.importPeakLater = peakOf([&] {
            SharedPtr<Composition> composition;
            importText(text, composition);
        });

        SharedPtr<Composition> source;
        const DmRoot& tree = importText(text, source);
        TreeCounter counter;
        DmPreIt(const_cast<DmRoot*>(&tree), &counter).traverse(); // the walk only reads
        result.clips = counter.clips;
        result.gaps = counter.gaps;
        result.effects = counter.effects;
        result.countsMatch = counter.clips == counts.clips && counter.gaps == counts.gaps &&
                             counter.effects == counts.effects;

        // The deep copy of the tree that a fresh composition takes, on its own.
        std::vector<SharedPtr<Composition>> holders;
        result.copySeconds = measure(
            repeat, [&](int n) { holders.resize(static_cast<std::size_t>(n)); },
            [&](int i) {
                holders[static_cast<std::size_t>(i)] = Composition::create(String("copy"), tree);
            },
            [&] { holders.clear(); });

        // The export's peak first, before any text of this process has been
        // released: the pages of a released text serve the next one, which would
        // then add next to nothing.
        {
            // The standard OTIO writer's too, its text kept until the export's
            // peak is taken, so that neither text serves the other.
            const SharedPtr<Composition> standard = Composition::create(String("standard"), tree);
            String standardText;
            result.standardWritePeak = peakOf([&] { writeStandard(*standard, standardText); });
            const SharedPtr<Composition> holder = Composition::create(String("export"), tree);
            result.exportPeak = peakOf([&] {
                String out;
                exportText(holder, out);
            });
        }

        // Export: getJson on a fresh composition holding the tree (made outside the
        // clock: the text cache of the first run would answer every later one).
        std::vector<String> outputs;
        const Step write{nothing,
                         [&](int) {
                             rapidjson::StringBuffer buffer;
                             rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
                             parsed.Accept(writer);
                         },
                         none};
        const Paired exportAgainstWrite = measurePaired(
            repeat, write,
            Step{[&](int n) {
                     // Kept until the next sample, as the imports above.
                     holders.assign(static_cast<std::size_t>(n), SharedPtr<Composition>());
                     outputs.assign(static_cast<std::size_t>(n), String());
                 },
                 nullptr, none,
                 // Each composition is made right before its export, outside the
                 // clock, as a host exports a composition it has just set up:
                 // made all at once ahead of the sample, a small document's trees
                 // were out of the processor's caches by the time their turn came,
                 // while RapidJSON writes one DOM over and over.
                 [&](int i) {
                     const auto at = static_cast<std::size_t>(i);
                     holders[at] = Composition::create(String("export"), tree);
                     const double start = now();
                     exportText(holders[at], outputs[at]);
                     return now() - start;
                 }});
        holders.clear();
        outputs.clear();
        result.writeSeconds = exportAgainstWrite.baselineSeconds;
        result.exportSeconds = exportAgainstWrite.seconds;
        result.exportRatio = exportAgainstWrite.ratio;
        parsed = rapidjson::Document();

        // Round trip as `zemcomp convert` makes it: text, tree, a fresh composition
        // with a copy of the tree, text.
        result.roundTripSeconds = measure(
            repeat, [&](int n) { outputs.assign(static_cast<std::size_t>(n), String()); },
            [&](int i) {
                SharedPtr<Composition> first;
                const DmRoot& imported = importText(text, first);
                exportText(Composition::create(String("round trip"), imported),
                           outputs[static_cast<std::size_t>(i)]);
            },
            [&] { outputs.clear(); });

        // A second round trip must give back the first one's text.
        String once, twice;
        exportText(Composition::create(String("once"), tree), once);
        SharedPtr<Composition> again;
        exportText(Composition::create(String("twice"), importText(once, again)), twice);
        result.exportedBytes = static_cast<double>(once.size());
        result.fixedPoint = once == twice;

        measureStandard(result, tree, size.shape.anotherTool, repeat);
    } catch (const std::exception& e) {
        fail(result, e.what());
    }
    return result;
}

/// Runs `run` in a child process and collects the figures it returns (plain
/// data with a `failure` text).
template <class Result, class Run> Result inChild(const Run& run) {
    Result result;
    int channel[2];
    if (pipe(channel) != 0) {
        fail(result, "pipe failed");
        return result;
    }
    std::fflush(stdout);
    std::fflush(stderr);
    const pid_t child = fork();
    if (child < 0) {
        fail(result, "fork failed");
        return result;
    }
    if (child == 0) {
        close(channel[0]);
        const Result figures = run();
        const char* bytes = reinterpret_cast<const char*>(&figures);
        std::size_t left = sizeof figures;
        while (left > 0) {
            const ssize_t written = write(channel[1], bytes, left);
            if (written <= 0)
                _exit(1);
            bytes += written;
            left -= static_cast<std::size_t>(written);
        }
        _exit(0);
    }

    close(channel[1]);
    char* bytes = reinterpret_cast<char*>(&result);
    std::size_t got = 0;
    while (got < sizeof result) {
        const ssize_t n = read(channel[0], bytes + got, sizeof result - got);
        if (n <= 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    close(channel[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (got != sizeof result) {
        result = Result();
        if (WIFSIGNALED(status))
            fail(result, "the run was ended by signal " + std::to_string(WTERMSIG(status)));
        else
            fail(result, "the run gave no figures");
    }
    return result;
}

/// Runs one size in a child process and collects its figures.
SizeResult runSizeInChild(const bench::TimelineSize& size, const Options& options) {
    return inChild<SizeResult>([&] { return runSize(size, options); });
}

// --- EDLs ------------------------------------------------------------------------

/// An EDL text to a new composition.
SharedPtr<Composition> readEdl(const std::string& text) {
    SharedPtr<Composition> composition;
    LossReport losses;
    String message;
    const Status status =
        Edl::read(text.data(), text.size(), Rational(), "bench", composition, losses, &message);
    if (!status)
        throw std::runtime_error(std::string("EDL read failed: ") + message.c_str());
    return composition;
}

/// The composition as an EDL.
void writeEdl(const Composition& composition, String& out) {
    LossReport losses;
    String message;
    const Status status = Edl::write(composition, Edl::WriteOptions(), out, losses, &message);
    if (!status)
        throw std::runtime_error(std::string("EDL write failed: ") + message.c_str());
}

/// Every measurement of one EDL size, against the product dialect's import and
/// export of the same composition. Runs in the child process of that size.
EdlResult runEdlSize(const EdlSize& size, const Options& options) {
    keepHeap();
    EdlResult result;
    result.ran = true;
    const int repeat = options.repeat;
    try {
        bench::EdlCounts counts;
        const std::string list = bench::generateEdl(size.events, &counts);
        result.events = counts.events;
        result.edlBytes = static_cast<double>(list.size());
        if (!options.samplesDir.empty()) {
            std::error_code ignored;
            std::filesystem::create_directories(options.samplesDir, ignored);
            std::ofstream(options.samplesDir + "/bench-" + size.name + ".edl", std::ios::binary)
                << list;
        }

        // The composition and its product text, the import's input.
        const SharedPtr<Composition> read = readEdl(list);
        Status status;
        const DmRoot& tree = read->getTree(status);
        TreeCounter counter;
        DmPreIt(const_cast<DmRoot*>(&tree), &counter).traverse(); // the walk only reads
        result.clips = counter.clips;
        result.clipsMatch = counter.clips == counts.clips;
        String otio;
        exportText(Composition::create(String("product"), tree), otio);
        result.otioBytes = static_cast<double>(otio.size());

        // Peaks first, each after one run has brought code and tables in, and
        // before any text of this process was released (see runSize).
        {
            SharedPtr<Composition> warm;
            importText(otio, warm);
        }
        result.readPeak = peakOf([&] { readEdl(list); });
        result.importPeak = peakOf([&] {
            SharedPtr<Composition> composition;
            importText(otio, composition);
        });
        {
            String edlText, otioText;
            result.writePeak = peakOf([&] { writeEdl(*read, edlText); });
            const SharedPtr<Composition> holder = Composition::create(String("export"), tree);
            result.exportPeak = peakOf([&] { exportText(holder, otioText); });
        }

        // Reading timed in turn with the import, each after the release of what
        // the run before it made, outside the clock.
        const auto nothing = [](int) {};
        const auto none = [] {};
        SharedPtr<Composition> held;
        const Paired readAgainstImport = measurePaired(repeat,
                                                       Step{nothing, nullptr, none,
                                                            [&](int) {
                                                                held = SharedPtr<Composition>();
                                                                const double start = now();
                                                                importText(otio, held);
                                                                return now() - start;
                                                            }},
                                                       Step{nothing, nullptr, none, [&](int) {
                                                                held = SharedPtr<Composition>();
                                                                const double start = now();
                                                                held = readEdl(list);
                                                                return now() - start;
                                                            }});
        held = SharedPtr<Composition>();
        result.importSeconds = readAgainstImport.baselineSeconds;
        result.readSeconds = readAgainstImport.seconds;
        result.readRatio = readAgainstImport.ratio;

        // Writing timed in turn with the export, each from a composition made
        // right before it, outside the clock.
        std::vector<SharedPtr<Composition>> holders;
        std::vector<String> outputs;
        const auto prepare = [&](int n) {
            holders.assign(static_cast<std::size_t>(n), SharedPtr<Composition>());
            outputs.assign(static_cast<std::size_t>(n), String());
        };
        const Paired writeAgainstExport =
            measurePaired(repeat,
                          Step{prepare, nullptr, none,
                               [&](int i) {
                                   const auto at = static_cast<std::size_t>(i);
                                   holders[at] = Composition::create(String("export"), tree);
                                   const double start = now();
                                   exportText(holders[at], outputs[at]);
                                   return now() - start;
                               }},
                          Step{prepare, nullptr, none, [&](int i) {
                                   const auto at = static_cast<std::size_t>(i);
                                   holders[at] = Composition::create(String("edl"), tree);
                                   const double start = now();
                                   writeEdl(*holders[at], outputs[at]);
                                   return now() - start;
                               }});
        holders.clear();
        outputs.clear();
        result.exportSeconds = writeAgainstExport.baselineSeconds;
        result.writeSeconds = writeAgainstExport.seconds;
        result.writeRatio = writeAgainstExport.ratio;

        String once, twice;
        writeEdl(*read, once);
        writeEdl(*readEdl(std::string(once.c_str(), once.size())), twice);
        result.fixedPoint = once == twice;
    } catch (const std::exception& e) {
        fail(result, e.what());
    }
    return result;
}

// --- cuts compared ---------------------------------------------------------------

SharedPtr<Composition> readCut(const std::string& text) {
    DocumentReadOptions options;
    options.dialect = Dialect::OtioStandard;
    DocumentReading reading = Documents::read(text.c_str(), text.size(), String("cut"), options);
    if (!reading.status)
        throw std::runtime_error("reading a cut failed: " + reading.where);
    return std::move(reading.composition);
}

/// Reading both cuts, against comparing them and against carrying the notes of
/// the old onto the new (which compares them first). Runs in the child process
/// of that size.
CompareResult runCompareSize(const CompareSize& size, const Options& options) {
    keepHeap();
    CompareResult result;
    result.ran = true;
    try {
        const bench::CutPair pair = bench::generateCutPair(size.clips);
        result.clips = pair.clips;
        result.notes = pair.notes;
        result.bytes = static_cast<double>(pair.before.size() + pair.after.size());
        if (!options.samplesDir.empty()) {
            std::error_code ignored;
            std::filesystem::create_directories(options.samplesDir, ignored);
            const std::string stem = options.samplesDir + "/bench-" + size.name;
            std::ofstream(stem + "-old.otio", std::ios::binary) << pair.before;
            std::ofstream(stem + "-new.otio", std::ios::binary) << pair.after;
        }

        const auto nothing = [](int) {};
        const auto none = [] {};
        SharedPtr<Composition> before, after;
        const Step reading{nothing, nullptr, none, [&](int) {
                               before = after = SharedPtr<Composition>();
                               const double start = now();
                               before = readCut(pair.before);
                               after = readCut(pair.after);
                               return now() - start;
                           }};
        // The cuts each run needs are read before the clock starts: carrying
        // changes the new one.
        const auto fresh = [&] {
            before = readCut(pair.before);
            after = readCut(pair.after);
        };
        CutComparison::Result compared;
        const Paired comparing = measurePaired(
            options.repeat, reading, Step{nothing, nullptr, none, [&](int) {
                                              fresh();
                                              const double start = now();
                                              CutComparison::compare(*before, *after, {}, compared);
                                              return now() - start;
                                          }});
        result.readSeconds = comparing.baselineSeconds;
        result.compareSeconds = comparing.seconds;
        result.compareRatio = comparing.ratio;
        CutComparison::Carried carried;
        const Paired carrying =
            measurePaired(options.repeat, reading,
                          Step{nothing, nullptr, none, [&](int) {
                                   fresh();
                                   const double start = now();
                                   CutComparison::carryNotes(*before, *after, {}, carried);
                                   return now() - start;
                               }});
        result.carrySeconds = carrying.seconds;
        result.carryRatio = carrying.ratio;

        std::size_t removed = 0, added = 0;
        for (const CutComparison::TrackChanges& track : carried.comparison.tracks)
            for (const CutComparison::ClipChange& change : track.changes) {
                removed += change.change == CutComparison::Change::Removed;
                added += change.change == CutComparison::Change::Added;
            }
        result.pairsMatch = removed == pair.removed && added == pair.added;
        result.carried = carried.notes;
        result.left = carried.left.size();
    } catch (const std::exception& e) {
        fail(result, e.what());
    }
    return result;
}

// --- FCPXML ----------------------------------------------------------------------

/// An FCPXML text to a new composition.
SharedPtr<Composition> readFcpxml(const String& text) {
    SharedPtr<Composition> composition;
    LossReport losses;
    String message;
    const Status status =
        Fcpxml::read(text.c_str(), text.size(), "bench", composition, losses, &message);
    if (!status)
        throw std::runtime_error(std::string("FCPXML read failed: ") + message.c_str());
    return composition;
}

/// The composition as FCPXML (1.8).
void writeFcpxml(const Composition& composition, String& out) {
    LossReport losses;
    String message;
    const Status status = Fcpxml::write(composition, Fcpxml::WriteOptions(), out, losses, &message);
    if (!status)
        throw std::runtime_error(std::string("FCPXML write failed: ") + message.c_str());
}

/// Every measurement of one FCPXML size, against standard OTIO's reader and
/// writer of the same composition (the one the FCPXML text reads into). Runs
/// in the child process of that size.
FcpxmlResult runFcpxmlSize(const FcpxmlSize& size, const Options& options) {
    keepHeap();
    FcpxmlResult result;
    result.ran = true;
    const int repeat = options.repeat;
    try {
        // The cut: the dense feature, or an EDL's long plain cut.
        SharedPtr<Composition> source;
        if (size.timeline) {
            const auto& known = bench::standardSizes();
            const auto found =
                std::find_if(known.begin(), known.end(),
                             [&](const bench::TimelineSize& s) { return s.name == size.timeline; });
            importText(String(bench::generateTimeline(found->shape).c_str()), source);
        } else {
            source = readEdl(bench::generateEdl(size.events, nullptr));
        }
        String text;
        writeFcpxml(*source, text);
        result.fcpxmlBytes = static_cast<double>(text.size());
        if (!options.samplesDir.empty()) {
            std::error_code ignored;
            std::filesystem::create_directories(options.samplesDir, ignored);
            std::ofstream(options.samplesDir + "/bench-" + size.name + ".fcpxml", std::ios::binary)
                << text.c_str();
        }
        const SharedPtr<Composition> read = readFcpxml(text);
        Status status;
        const DmRoot& tree = read->getTree(status);
        TreeCounter counter;
        DmPreIt(const_cast<DmRoot*>(&tree), &counter).traverse(); // the walk only reads
        result.clips = counter.clips;
        String standard;
        writeStandard(*read, standard);
        result.standardBytes = static_cast<double>(standard.size());

        { const SharedPtr<Composition> warm = readStandard(standard); }
        result.readPeak = peakOf([&] { readFcpxml(text); });
        result.standardReadPeak = peakOf([&] { readStandard(standard); });
        {
            String a, b;
            result.writePeak = peakOf([&] { writeFcpxml(*read, a); });
            result.standardWritePeak = peakOf([&] { writeStandard(*read, b); });
        }

        const auto nothing = [](int) {};
        const auto none = [] {};
        SharedPtr<Composition> held;
        const Paired reading = measurePaired(repeat,
                                             Step{nothing, nullptr, none,
                                                  [&](int) {
                                                      held = SharedPtr<Composition>();
                                                      const double start = now();
                                                      held = readStandard(standard);
                                                      return now() - start;
                                                  }},
                                             Step{nothing, nullptr, none, [&](int) {
                                                      held = SharedPtr<Composition>();
                                                      const double start = now();
                                                      held = readFcpxml(text);
                                                      return now() - start;
                                                  }});
        held = SharedPtr<Composition>();
        result.standardReadSeconds = reading.baselineSeconds;
        result.readSeconds = reading.seconds;
        result.readRatio = reading.ratio;

        String out;
        const Paired writing = measurePaired(repeat,
                                             Step{nothing, nullptr, none,
                                                  [&](int) {
                                                      out = String();
                                                      const double start = now();
                                                      writeStandard(*read, out);
                                                      return now() - start;
                                                  }},
                                             Step{nothing, nullptr, none, [&](int) {
                                                      out = String();
                                                      const double start = now();
                                                      writeFcpxml(*read, out);
                                                      return now() - start;
                                                  }});
        result.standardWriteSeconds = writing.baselineSeconds;
        result.writeSeconds = writing.seconds;
        result.writeRatio = writing.ratio;

        String once, twice;
        writeFcpxml(*read, once);
        writeFcpxml(*readFcpxml(once), twice);
        result.fixedPoint = once == twice;
    } catch (const std::exception& e) {
        fail(result, e.what());
    }
    return result;
}

// --- Final Cut Pro 7 XML ------------------------------------------------------------

SharedPtr<Composition> readXmeml(const std::string& text) {
    SharedPtr<Composition> composition;
    LossReport losses;
    String message;
    const Status status =
        Xmeml::read(text.data(), text.size(), "bench", composition, losses, &message);
    if (!status)
        throw std::runtime_error(std::string("xmeml read failed: ") + message.c_str());
    return composition;
}

void writeXmeml(const Composition& composition, String& out) {
    LossReport losses;
    String message;
    const Status status = Xmeml::write(composition, out, losses, &message);
    if (!status)
        throw std::runtime_error(std::string("xmeml write failed: ") + message.c_str());
}

/// The clips of a composition's tracks, to compare two readings of one cut.
std::vector<std::string> clipsOf(const Composition& composition) {
    TimelineView view;
    TimelineView::build(composition, view);
    std::vector<std::string> clips;
    for (const TimelineTrack& track : view.tracks)
        for (const TimelineItem& item : track.items)
            if (item.isClip())
                clips.push_back(std::to_string(item.record.start) + "+" +
                                std::to_string(item.record.duration) + " " + item.name + " " +
                                std::to_string(item.source.start.value_or(-1)) + " " +
                                item.targetUrl);
    return clips;
}

/// The product timeline `name` of the standard sizes, or the plain cut.
bench::TimelineShape timelineShape(const std::string& name) {
    for (const bench::TimelineSize& size : bench::standardSizes())
        if (size.name == name)
            return size.shape;
    return plainCut();
}

/// Every measurement of one xmeml size: the document written for the
/// timeline's cut, read and written, against the standard OTIO reader and
/// writer of the cut that document holds. Runs in the child process of that size.
XmemlResult runXmemlSize(const XmemlSize& size, const Options& options) {
    keepHeap();
    XmemlResult result;
    result.ran = true;
    const int repeat = options.repeat;
    try {
        const std::string generated = bench::generateTimeline(timelineShape(size.timeline));
        SharedPtr<Composition> product;
        const DmRoot& source = importText(String(generated.c_str(), generated.size()), product);
        String written;
        writeXmeml(*Composition::create(String("source"), source), written);
        const std::string xmeml(written.c_str(), written.size());
        result.xmemlBytes = static_cast<double>(xmeml.size());
        if (!options.samplesDir.empty()) {
            std::error_code ignored;
            std::filesystem::create_directories(options.samplesDir, ignored);
            std::ofstream(options.samplesDir + "/bench-" + size.name + ".xml", std::ios::binary)
                << xmeml;
        }
        // The cut the document holds, and its standard OTIO.
        const SharedPtr<Composition> read = readXmeml(xmeml);
        Status status;
        const DmRoot& tree = read->getTree(status);
        TreeCounter counter;
        DmPreIt(const_cast<DmRoot*>(&tree), &counter).traverse(); // the walk only reads
        result.clips = counter.clips;
        String standard;
        writeStandard(*read, standard);
        result.standardBytes = static_cast<double>(standard.size());

        // Peaks first, each after one run has brought code and tables in.
        readStandard(standard);
        result.readPeak = peakOf([&] { readXmeml(xmeml); });
        result.standardReadPeak = peakOf([&] { readStandard(standard); });
        {
            String xmemlText, standardText;
            result.writePeak = peakOf([&] { writeXmeml(*read, xmemlText); });
            result.standardWritePeak = peakOf([&] { writeStandard(*read, standardText); });
        }

        const auto nothing = [](int) {};
        const auto none = [] {};
        SharedPtr<Composition> held;
        const Paired reading = measurePaired(repeat,
                                             Step{nothing, nullptr, none,
                                                  [&](int) {
                                                      held = SharedPtr<Composition>();
                                                      const double start = now();
                                                      held = readStandard(standard);
                                                      return now() - start;
                                                  }},
                                             Step{nothing, nullptr, none, [&](int) {
                                                      held = SharedPtr<Composition>();
                                                      const double start = now();
                                                      held = readXmeml(xmeml);
                                                      return now() - start;
                                                  }});
        held = SharedPtr<Composition>();
        result.standardReadSeconds = reading.baselineSeconds;
        result.readSeconds = reading.seconds;
        result.readRatio = reading.ratio;

        // Writing from a composition made right before each run, outside the clock.
        std::vector<SharedPtr<Composition>> holders;
        std::vector<String> outputs;
        const auto prepare = [&](int n) {
            holders.assign(static_cast<std::size_t>(n), SharedPtr<Composition>());
            outputs.assign(static_cast<std::size_t>(n), String());
        };
        const Paired writing =
            measurePaired(repeat,
                          Step{prepare, nullptr, none,
                               [&](int i) {
                                   const auto at = static_cast<std::size_t>(i);
                                   holders[at] = Composition::create(String("standard"), tree);
                                   const double start = now();
                                   writeStandard(*holders[at], outputs[at]);
                                   return now() - start;
                               }},
                          Step{prepare, nullptr, none, [&](int i) {
                                   const auto at = static_cast<std::size_t>(i);
                                   holders[at] = Composition::create(String("xmeml"), tree);
                                   const double start = now();
                                   writeXmeml(*holders[at], outputs[at]);
                                   return now() - start;
                               }});
        holders.clear();
        outputs.clear();
        result.standardWriteSeconds = writing.baselineSeconds;
        result.writeSeconds = writing.seconds;
        result.writeRatio = writing.ratio;

        String again;
        writeXmeml(*read, again);
        result.fixedPoint = std::string(again.c_str(), again.size()) == xmeml;
        result.sameCut = clipsOf(*readStandard(standard)) == clipsOf(*read) &&
                         clipsOf(*read).size() == result.clips;
    } catch (const std::exception& e) {
        fail(result, e.what());
    }
    return result;
}

// --- printing ------------------------------------------------------------------

std::string bytesText(double bytes) {
    char text[32];
    if (bytes < 0)
        return "n/a";
    if (bytes < 1024 * 1024)
        std::snprintf(text, sizeof text, "%.1f KB", bytes / 1024);
    else
        std::snprintf(text, sizeof text, "%.1f MB", bytes / kMiB);
    return text;
}

std::string timeText(double seconds) {
    char text[32];
    if (seconds < 0.001)
        std::snprintf(text, sizeof text, "%.1f us", seconds * 1e6);
    else if (seconds < 1)
        std::snprintf(text, sizeof text, "%.2f ms", seconds * 1e3);
    else
        std::snprintf(text, sizeof text, "%.3f s", seconds);
    return text;
}

double megabytesPerSecond(double bytes, double seconds) {
    return seconds > 0 ? bytes / kMiB / seconds : 0;
}

std::string loadAverage() {
    std::ifstream in("/proc/loadavg");
    std::string one, five, fifteen;
    in >> one >> five >> fifteen;
    return in ? one + " " + five + " " + fifteen : "unknown";
}

/// "SIZE (MULTIPLEx)": a peak and its multiple of `base`; "n/a" when either was
/// not measured.
std::string peakCell(double peak, double base) {
    if (peak < 0 || base <= 0)
        return "n/a";
    char text[40];
    std::snprintf(text, sizeof text, "%s (%.2fx)", bytesText(peak).c_str(), peak / base);
    return text;
}

/// Calls `row(size, result)` for every size that ran to the end.
template <class Row>
void eachCompleted(const std::vector<bench::TimelineSize>& sizes,
                   const std::vector<SizeResult>& results, Row row) {
    for (std::size_t i = 0; i < results.size(); ++i) {
        if (results[i].ran && !results[i].failure[0])
            row(sizes[i], results[i]);
    }
}

void printTables(const std::vector<bench::TimelineSize>& sizes,
                 const std::vector<SizeResult>& results) {
    std::printf("\nTimes (median per run; import = setJson + getTree, export = getJson(Otio) on a "
                "fresh composition holding the tree,\nround trip = import, tree copy into a fresh "
                "composition, export, and the release of both compositions;\nimp/parse and "
                "exp/write = median of the ratios of samples taken in turn with RapidJSON's)\n");
    std::printf("%-4s %10s %10s %10s %10s %10s %11s %9s %9s %9s\n", "size", "document", "parse",
                "write", "import", "export", "round trip", "tree copy", "imp/parse", "exp/write");
    for (std::size_t i = 0; i < results.size(); ++i) {
        const SizeResult& r = results[i];
        if (!r.ran || r.failure[0]) {
            std::printf("%-4s failed: %s\n", sizes[i].name.c_str(),
                        r.failure[0] ? r.failure : "not run");
            continue;
        }
        std::printf("%-4s %10s %10s %10s %10s %10s %11s %9s %8.1fx %8.1fx\n", sizes[i].name.c_str(),
                    bytesText(r.documentBytes).c_str(), timeText(r.parseSeconds).c_str(),
                    timeText(r.writeSeconds).c_str(), timeText(r.importSeconds).c_str(),
                    timeText(r.exportSeconds).c_str(), timeText(r.roundTripSeconds).c_str(),
                    timeText(r.copySeconds).c_str(), r.importRatio, r.exportRatio);
    }

    std::printf("\nThroughput (MB of document per second) and cost per MB: equal ms/MB across "
                "sizes means linear scaling\n");
    std::printf("%-4s %9s %9s %9s %9s %12s %12s %12s\n", "size", "parse", "write", "import",
                "export", "import ms/MB", "export ms/MB", "round ms/MB");
    eachCompleted(sizes, results, [](const bench::TimelineSize& size, const SizeResult& r) {
        const double mb = r.documentBytes / kMiB;
        std::printf("%-4s %9.1f %9.1f %9.1f %9.1f %12.1f %12.1f %12.1f\n", size.name.c_str(),
                    megabytesPerSecond(r.documentBytes, r.parseSeconds),
                    megabytesPerSecond(r.documentBytes, r.writeSeconds),
                    megabytesPerSecond(r.documentBytes, r.importSeconds),
                    megabytesPerSecond(r.documentBytes, r.exportSeconds),
                    r.importSeconds * 1e3 / mb, r.exportSeconds * 1e3 / mb,
                    r.roundTripSeconds * 1e3 / mb);
    });

    std::printf("\nPeak memory above the level before each step (x = multiple of the text: the "
                "document read for parse and import,\nthe text written for export; import/DOM = "
                "import peak / parse peak, after one import and again after the timed ones)\n");
    std::printf("%-4s %10s %16s %16s %16s %12s %12s\n", "size", "document", "parse (DOM)", "import",
                "export", "import/DOM", "after runs");
    eachCompleted(sizes, results, [](const bench::TimelineSize& size, const SizeResult& r) {
        auto ratio = [&](double peak) {
            char text[16] = "n/a";
            if (r.parsePeak > 0 && peak >= 0)
                std::snprintf(text, sizeof text, "%.2fx", peak / r.parsePeak);
            return std::string(text);
        };
        std::printf("%-4s %10s %16s %16s %16s %12s %12s\n", size.name.c_str(),
                    bytesText(r.documentBytes).c_str(),
                    peakCell(r.parsePeak, r.documentBytes).c_str(),
                    peakCell(r.importPeak, r.documentBytes).c_str(),
                    peakCell(r.exportPeak, r.exportedBytes).c_str(), ratio(r.importPeak).c_str(),
                    ratio(r.importPeakLater).c_str());
    });

    std::printf("\nStandard OTIO of the same tree (write = StandardOtio::write from a composition "
                "holding the tree,\nread = StandardOtio::read into a new composition, which takes "
                "the tree the reader built; x = time over the product's export or import)\n");
    std::printf("%-4s %10s %10s %8s %10s %8s %14s %14s %10s\n", "size", "std text", "write",
                "/export", "read", "/import", "write peak", "read peak", "same tree");
    eachCompleted(sizes, results, [](const bench::TimelineSize& size, const SizeResult& r) {
        std::printf("%-4s %10s %10s %7.1fx %10s %7.1fx %14s %14s %10s\n", size.name.c_str(),
                    bytesText(r.standardBytes).c_str(), timeText(r.standardWriteSeconds).c_str(),
                    r.standardWriteSeconds / r.exportSeconds,
                    timeText(r.standardReadSeconds).c_str(),
                    r.standardReadSeconds / r.importSeconds, bytesText(r.standardWritePeak).c_str(),
                    bytesText(r.standardReadPeak).c_str(), r.standardSameTree ? "yes" : "NO");
    });

    std::printf("\nStandard OTIO against RapidJSON on the standard text (write / RapidJSON's "
                "compact write, read / its DOM parse\nof the same text, the median of "
                "samples taken in turn; cpu/parse = the read's processor time, all its "
                "threads,\nover the parse's time; peak x = multiple of the text written or "
                "read)\n");
    std::printf("%-4s %10s %10s %10s %11s %10s %9s %16s %16s\n", "size", "std text", "rj parse",
                "rj write", "write/write", "read/parse", "cpu/parse", "write peak", "read peak");
    eachCompleted(sizes, results, [](const bench::TimelineSize& size, const SizeResult& r) {
        std::printf("%-4s %10s %10s %10s %10.1fx %9.2fx %8.2fx %16s %16s\n", size.name.c_str(),
                    bytesText(r.standardBytes).c_str(), timeText(r.standardParseSeconds).c_str(),
                    timeText(r.standardRapidWriteSeconds).c_str(),
                    r.standardWriteSeconds / r.standardRapidWriteSeconds, r.standardReadRatio,
                    r.standardReadProcessorSeconds / r.standardParseSeconds,
                    peakCell(r.standardWritePeak, r.standardBytes).c_str(),
                    peakCell(r.standardReadPeak, r.standardBytes).c_str());
    });

    std::printf("\nChecks\n");
    std::printf("%-4s %7s %7s %8s %9s %10s %8s %12s %11s\n", "size", "clips", "gaps", "effects",
                "points", "exported", "counts", "write==text", "fixed point");
    eachCompleted(sizes, results, [](const bench::TimelineSize& size, const SizeResult& r) {
        std::printf("%-4s %7zu %7zu %8zu %9zu %10s %8s %12s %11s\n", size.name.c_str(), r.clips,
                    r.gaps, r.effects, r.points, bytesText(r.exportedBytes).c_str(),
                    r.countsMatch ? "ok" : "MISMATCH",
                    size.shape.indented ? "(indented)"
                    : r.writeMatches    ? "yes"
                                        : "no",
                    r.fixedPoint ? "yes" : "NO");
    });
}

void printEdlTable(const std::vector<const EdlSize*>& sizes,
                   const std::vector<EdlResult>& results) {
    std::printf("\nEDLs (read = Edl::read into a new composition, write = Edl::write of it; "
                "import and export = the product\ndialect's of the same composition converted "
                "to it, timed in turn with them; per event and per clip)\n");
    std::printf("%-4s %7s %7s %10s %10s %10s %10s %8s %10s %10s %8s\n", "size", "events", "clips",
                "EDL text", "OTIO text", "read", "import", "rd/imp", "write", "export", "wr/exp");
    for (std::size_t i = 0; i < results.size(); ++i) {
        const EdlResult& r = results[i];
        if (!r.ran || r.failure[0]) {
            std::printf("%-4s failed: %s\n", sizes[i]->name, r.failure[0] ? r.failure : "not run");
            continue;
        }
        std::printf(
            "%-4s %7zu %7zu %10s %10s %10s %10s %7.2fx %10s %10s %7.2fx\n", sizes[i]->name,
            r.events, r.clips, bytesText(r.edlBytes).c_str(), bytesText(r.otioBytes).c_str(),
            timeText(r.readSeconds).c_str(), timeText(r.importSeconds).c_str(), r.readRatio,
            timeText(r.writeSeconds).c_str(), timeText(r.exportSeconds).c_str(), r.writeRatio);
    }
    std::printf("\nPer event and per clip (equal figures across sizes mean linear growth)\n");
    std::printf("%-4s %11s %11s %11s %11s %11s %11s %12s %12s\n", "size", "read/event", "read/clip",
                "import/clip", "write/event", "write/clip", "export/clip", "clips match",
                "fixed point");
    for (std::size_t i = 0; i < results.size(); ++i) {
        const EdlResult& r = results[i];
        if (!r.ran || r.failure[0] || r.events == 0 || r.clips == 0)
            continue;
        const double events = static_cast<double>(r.events), clips = static_cast<double>(r.clips);
        std::printf(
            "%-4s %11s %11s %11s %11s %11s %11s %12s %12s\n", sizes[i]->name,
            timeText(r.readSeconds / events).c_str(), timeText(r.readSeconds / clips).c_str(),
            timeText(r.importSeconds / clips).c_str(), timeText(r.writeSeconds / events).c_str(),
            timeText(r.writeSeconds / clips).c_str(), timeText(r.exportSeconds / clips).c_str(),
            r.clipsMatch ? "yes" : "NO", r.fixedPoint ? "yes" : "NO");
    }
    std::printf("\nPeak memory above the level before each step, in all and per clip\n");
    std::printf("%-4s %12s %10s %12s %10s %12s %10s %12s %10s\n", "size", "read", "/clip", "import",
                "/clip", "write", "/clip", "export", "/clip");
    for (std::size_t i = 0; i < results.size(); ++i) {
        const EdlResult& r = results[i];
        if (!r.ran || r.failure[0] || r.clips == 0)
            continue;
        const double clips = static_cast<double>(r.clips);
        const auto perClip = [&](double peak) {
            char text[32] = "n/a";
            if (peak >= 0)
                std::snprintf(text, sizeof text, "%.0f B", peak / clips);
            return std::string(text);
        };
        std::printf("%-4s %12s %10s %12s %10s %12s %10s %12s %10s\n", sizes[i]->name,
                    bytesText(r.readPeak).c_str(), perClip(r.readPeak).c_str(),
                    bytesText(r.importPeak).c_str(), perClip(r.importPeak).c_str(),
                    bytesText(r.writePeak).c_str(), perClip(r.writePeak).c_str(),
                    bytesText(r.exportPeak).c_str(), perClip(r.exportPeak).c_str());
    }
}

void printCompareTable(const std::vector<const CompareSize*>& sizes,
                       const std::vector<CompareResult>& results) {
    std::printf("\nCuts compared (read = Documents::read of both cuts, standard OTIO; compare = "
                "CutComparison::compare;\ncarry = CutComparison::carryNotes, which compares "
                "first; each timed in turn with reading)\n");
    std::printf("%-4s %7s %7s %10s %10s %10s %8s %10s %8s %8s %8s %8s\n", "size", "clips", "notes",
                "both texts", "read", "compare", "cmp/rd", "carry", "car/rd", "carried", "left",
                "pairs");
    for (std::size_t i = 0; i < results.size(); ++i) {
        const CompareResult& r = results[i];
        if (!r.ran || r.failure[0]) {
            std::printf("%-4s failed: %s\n", sizes[i]->name, r.failure[0] ? r.failure : "not run");
            continue;
        }
        std::printf("%-4s %7zu %7zu %10s %10s %10s %7.2fx %10s %7.2fx %8zu %8zu %8s\n",
                    sizes[i]->name, r.clips, r.notes, bytesText(r.bytes).c_str(),
                    timeText(r.readSeconds).c_str(), timeText(r.compareSeconds).c_str(),
                    r.compareRatio, timeText(r.carrySeconds).c_str(), r.carryRatio, r.carried,
                    r.left, r.pairsMatch ? "match" : "DIFFER");
    }
    // Growth: time per clip, and per clip x log2(clips) against the first size.
    std::printf("\nGrowth (per clip; per n log n relative to the first size: near 1 or below "
                "is n log n or better)\n");
    std::printf("%-4s %12s %12s %14s\n", "size", "compare/clip", "carry/clip", "carry/nlogn");
    double first = 0;
    for (std::size_t i = 0; i < results.size(); ++i) {
        const CompareResult& r = results[i];
        if (!r.ran || r.failure[0] || r.clips < 2)
            continue;
        const double n = static_cast<double>(r.clips);
        const double perNLogN = r.carrySeconds / (n * std::log2(n));
        if (first == 0)
            first = perNLogN;
        std::printf("%-4s %12s %12s %13.2fx\n", sizes[i]->name,
                    timeText(r.compareSeconds / n).c_str(), timeText(r.carrySeconds / n).c_str(),
                    perNLogN / first);
    }
}

void printFcpxmlTable(const std::vector<const FcpxmlSize*>& sizes,
                      const std::vector<FcpxmlResult>& results) {
    std::printf("\nFCPXML (read = Fcpxml::read into a new composition, write = Fcpxml::write of "
                "it; std = standard OTIO's\nreader and writer of the same composition, timed in "
                "turn with them)\n");
    std::printf("%-4s %7s %10s %10s %10s %10s %8s %10s %10s %8s\n", "size", "clips", "FCPXML",
                "std text", "read", "std read", "rd/std", "write", "std write", "wr/std");
    for (std::size_t i = 0; i < results.size(); ++i) {
        const FcpxmlResult& r = results[i];
        if (!r.ran || r.failure[0]) {
            std::printf("%-4s failed: %s\n", sizes[i]->name, r.failure[0] ? r.failure : "not run");
            continue;
        }
        std::printf("%-4s %7zu %10s %10s %10s %10s %7.2fx %10s %10s %7.2fx\n", sizes[i]->name,
                    r.clips, bytesText(r.fcpxmlBytes).c_str(), bytesText(r.standardBytes).c_str(),
                    timeText(r.readSeconds).c_str(), timeText(r.standardReadSeconds).c_str(),
                    r.readRatio, timeText(r.writeSeconds).c_str(),
                    timeText(r.standardWriteSeconds).c_str(), r.writeRatio);
    }
    std::printf("\nPer clip (equal figures across sizes mean linear growth), and peak memory "
                "above the level before each step\n");
    std::printf("%-4s %10s %10s %10s %10s %10s %10s %10s %10s %6s\n", "size", "read", "std read",
                "write", "std write", "rd peak", "std rd", "wr peak", "std wr", "fixed");
    for (std::size_t i = 0; i < results.size(); ++i) {
        const FcpxmlResult& r = results[i];
        if (!r.ran || r.failure[0] || r.clips == 0)
            continue;
        const double clips = static_cast<double>(r.clips);
        const auto perClip = [&](double peak) {
            char text[32] = "n/a";
            if (peak >= 0)
                std::snprintf(text, sizeof text, "%.0f B", peak / clips);
            return std::string(text);
        };
        std::printf("%-4s %10s %10s %10s %10s %10s %10s %10s %10s %6s\n", sizes[i]->name,
                    timeText(r.readSeconds / clips).c_str(),
                    timeText(r.standardReadSeconds / clips).c_str(),
                    timeText(r.writeSeconds / clips).c_str(),
                    timeText(r.standardWriteSeconds / clips).c_str(), perClip(r.readPeak).c_str(),
                    perClip(r.standardReadPeak).c_str(), perClip(r.writePeak).c_str(),
                    perClip(r.standardWritePeak).c_str(), r.fixedPoint ? "yes" : "NO");
    }
}

void printXmemlTable(const std::vector<const XmemlSize*>& sizes,
                     const std::vector<XmemlResult>& results) {
    std::printf("\nFinal Cut Pro 7 XML (read = Xmeml::read into a new composition, write = "
                "Xmeml::write of it; standard = the\nstandard OTIO reader and writer of the same "
                "cut, timed in turn with them)\n");
    std::printf("%-4s %7s %10s %10s %10s %10s %8s %10s %10s %8s\n", "size", "clips", "xmeml",
                "OTIO text", "read", "std read", "rd/std", "write", "std write", "wr/std");
    for (std::size_t i = 0; i < results.size(); ++i) {
        const XmemlResult& r = results[i];
        if (!r.ran || r.failure[0]) {
            std::printf("%-4s failed: %s\n", sizes[i]->name, r.failure[0] ? r.failure : "not run");
            continue;
        }
        std::printf("%-4s %7zu %10s %10s %10s %10s %7.2fx %10s %10s %7.2fx\n", sizes[i]->name,
                    r.clips, bytesText(r.xmemlBytes).c_str(), bytesText(r.standardBytes).c_str(),
                    timeText(r.readSeconds).c_str(), timeText(r.standardReadSeconds).c_str(),
                    r.readRatio, timeText(r.writeSeconds).c_str(),
                    timeText(r.standardWriteSeconds).c_str(), r.writeRatio);
    }
    std::printf("\nPer clip (equal figures across sizes mean linear growth), and peak memory "
                "above the level before each step\n");
    std::printf("%-4s %10s %10s %10s %10s %10s %10s %10s %10s %9s %9s\n", "size", "read",
                "std read", "write", "std write", "read pk", "std rd pk", "write pk", "std wr pk",
                "same cut", "fixed pt");
    for (std::size_t i = 0; i < results.size(); ++i) {
        const XmemlResult& r = results[i];
        if (!r.ran || r.failure[0] || r.clips == 0)
            continue;
        const double clips = static_cast<double>(r.clips);
        const auto perClip = [&](double peak) {
            char text[32] = "n/a";
            if (peak >= 0)
                std::snprintf(text, sizeof text, "%.0f B", peak / clips);
            return std::string(text);
        };
        std::printf("%-4s %10s %10s %10s %10s %10s %10s %10s %10s %9s %9s\n", sizes[i]->name,
                    timeText(r.readSeconds / clips).c_str(),
                    timeText(r.standardReadSeconds / clips).c_str(),
                    timeText(r.writeSeconds / clips).c_str(),
                    timeText(r.standardWriteSeconds / clips).c_str(), perClip(r.readPeak).c_str(),
                    perClip(r.standardReadPeak).c_str(), perClip(r.writePeak).c_str(),
                    perClip(r.standardWritePeak).c_str(), r.sameCut ? "yes" : "NO",
                    r.fixedPoint ? "yes" : "NO");
    }
}

// --- profiling -------------------------------------------------------------------

/// Runs `step(r)` for r from 0 to options.repeat and prints the time a run took.
template <class Step>
void timeRuns(const Options& options, const std::string& sizeName, std::size_t bytes,
              const Step& step) {
    const double start = now();
    const double startProcessor = processorTime();
    for (int r = 0; r < options.repeat; ++r)
        step(r);
    const double seconds = now() - start;
    const double processorSeconds = processorTime() - startProcessor;
    std::printf("%s of %s (%s) x %d: %s per run (processor time %s per run)\n",
                options.profile.c_str(), sizeName.c_str(),
                bytesText(static_cast<double>(bytes)).c_str(), options.repeat,
                timeText(seconds / options.repeat).c_str(),
                timeText(processorSeconds / options.repeat).c_str());
}

/// One phase only, `repeat` times, in this process: for a profiler.
int profile(const bench::TimelineSize& size, const Options& options) {
    keepHeap();
    const std::string generated = bench::generateTimeline(size.shape);
    const String text(generated.c_str(), generated.size());
    SharedPtr<Composition> source;
    const DmRoot* tree = nullptr;
    if (options.profile != "import" && options.profile != "parse" && options.profile != "write")
        tree = &importText(text, source);
    SharedPtr<Composition> holder;
    String standard;
    if (tree && options.profile.rfind("std-", 0) == 0) {
        holder = Composition::create(String("standard"), *tree);
        writeStandard(*holder, standard);
        if (size.shape.anotherTool)
            standard = asAnotherTools(standard);
    }

    rapidjson::Document parsed;
    if (options.profile == "write")
        parsed.Parse(text.c_str());
    // The compositions exported are made before the clock starts and released
    // after it stops: a composition answers a second export from its cache.
    std::vector<SharedPtr<Composition>> holders;
    if (options.profile == "export")
        for (int r = 0; r < options.repeat; ++r)
            holders.push_back(Composition::create(String("export"), *tree));

    timeRuns(options, size.name, generated.size(), [&](int r) {
        if (options.profile == "parse") {
            // RapidJSON's DOM parse alone: the baseline of the import.
            rapidjson::Document document;
            document.Parse(text.c_str());
        } else if (options.profile == "write") {
            rapidjson::StringBuffer buffer;
            rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
            parsed.Accept(writer);
        } else if (options.profile == "import") {
            SharedPtr<Composition> composition;
            importText(text, composition);
        } else if (options.profile == "std-write") {
            String out;
            writeStandard(*holder, out);
        } else if (options.profile == "std-read") {
            readStandard(standard);
        } else if (options.profile == "std-parse") {
            // RapidJSON's DOM parse of the standard text: the baseline of std-read.
            rapidjson::Document document;
            document.Parse(standard.c_str());
        } else if (options.profile == "export") {
            String out;
            exportText(holders[static_cast<std::size_t>(r)], out);
        } else {
            SharedPtr<Composition> first;
            String out;
            exportText(Composition::create(String("round trip"), importText(text, first)), out);
        }
    });
    return 0;
}

/// An EDL phase only ("edl-read" or "edl-write"), `repeat` times, in this
/// process: for a profiler.
int profileEdl(const EdlSize& size, const Options& options) {
    keepHeap();
    const std::string list = bench::generateEdl(size.events, nullptr);
    const SharedPtr<Composition> read = readEdl(list);
    timeRuns(options, size.name, list.size(), [&](int) {
        if (options.profile == "edl-read") {
            readEdl(list);
        } else {
            String out;
            writeEdl(*read, out);
        }
    });
    return 0;
}

/// A comparison phase only ("compare" or "carry"), `repeat` times, in this
/// process: for a profiler. Each carry goes onto a new cut read before it.
int profileCompare(const CompareSize& size, const Options& options) {
    keepHeap();
    const bench::CutPair pair = bench::generateCutPair(size.clips);
    const SharedPtr<Composition> before = readCut(pair.before);
    std::vector<SharedPtr<Composition>> after;
    for (int r = 0; r < options.repeat; ++r)
        after.push_back(readCut(pair.after));
    timeRuns(options, size.name, pair.before.size() + pair.after.size(), [&](int r) {
        if (options.profile == "compare") {
            CutComparison::Result result;
            CutComparison::compare(*before, *after[static_cast<std::size_t>(r)], {}, result);
        } else {
            CutComparison::Carried carried;
            CutComparison::carryNotes(*before, *after[static_cast<std::size_t>(r)], {}, carried);
        }
    });
    return 0;
}

/// An xmeml phase only ("xmeml-read" or "xmeml-write"), `repeat` times, in
/// this process.
int profileXmeml(const XmemlSize& size, const Options& options) {
    keepHeap();
    const std::string generated = bench::generateTimeline(timelineShape(size.timeline));
    SharedPtr<Composition> product;
    const DmRoot& source = importText(String(generated.c_str(), generated.size()), product);
    String written;
    writeXmeml(*Composition::create(String("source"), source), written);
    const std::string xmeml(written.c_str(), written.size());
    const SharedPtr<Composition> read = readXmeml(xmeml);
    timeRuns(options, size.name, xmeml.size(), [&](int) {
        if (options.profile == "xmeml-read") {
            readXmeml(xmeml);
        } else {
            String out;
            writeXmeml(*read, out);
        }
    });
    return 0;
}

// --- options -------------------------------------------------------------------

std::vector<std::string> splitList(const std::string& list) {
    std::vector<std::string> items;
    std::stringstream in(list);
    std::string item;
    while (std::getline(in, item, ','))
        if (!item.empty())
            items.push_back(item);
    return items;
}

bool parseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "zemcomp-bench: %s needs a value\n", arg.c_str());
                return false;
            }
            out = argv[++i];
            return true;
        };
        std::string text;
        if (arg == "--help" || arg == "-h") {
            std::printf("%s", kUsage);
            std::exit(0);
        } else if (arg == "--sizes") {
            if (!value(text))
                return false;
            options.sizes = splitList(text);
        } else if (arg == "--repeat") {
            if (!value(text))
                return false;
            options.repeat = std::atoi(text.c_str());
            if (options.repeat < 1) {
                std::fprintf(stderr, "zemcomp-bench: --repeat needs a count of at least 1\n");
                return false;
            }
        } else if (arg == "--write-samples") {
            if (!value(options.samplesDir))
                return false;
        } else if (arg == "--profile") {
            if (!value(options.profile))
                return false;
            if (options.profile != "import" && options.profile != "export" &&
                options.profile != "parse" && options.profile != "write" &&
                options.profile != "roundtrip" && options.profile != "std-write" &&
                options.profile != "std-read" && options.profile != "std-parse" &&
                options.profile != "edl-read" && options.profile != "edl-write" &&
                options.profile != "compare" && options.profile != "carry" &&
                options.profile != "xmeml-read" && options.profile != "xmeml-write") {
                std::fprintf(
                    stderr,
                    "zemcomp-bench: --profile takes import, export, roundtrip, parse, write, "
                    "std-write, std-read, std-parse, edl-read, edl-write, compare, carry, "
                    "xmeml-read or "
                    "xmeml-write\n");
                return false;
            }
        } else {
            std::fprintf(stderr, "zemcomp-bench: unknown argument %s\n%s", arg.c_str(), kUsage);
            return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parseOptions(argc, argv, options))
        return 2;

    std::vector<bench::TimelineSize> sizes;
    std::vector<const EdlSize*> edlSizes;
    std::vector<const CompareSize*> compareSizes;
    std::vector<const FcpxmlSize*> fcpxmlSizes;
    std::vector<const XmemlSize*> xmemlSizes;
    for (const std::string& name : options.sizes) {
        const auto xmeml = std::find_if(std::begin(kXmemlSizes), std::end(kXmemlSizes),
                                        [&](const XmemlSize& s) { return name == s.name; });
        if (xmeml != std::end(kXmemlSizes)) {
            xmemlSizes.push_back(xmeml);
            continue;
        }
        const auto fcpxml = std::find_if(std::begin(kFcpxmlSizes), std::end(kFcpxmlSizes),
                                         [&](const FcpxmlSize& s) { return name == s.name; });
        if (fcpxml != std::end(kFcpxmlSizes)) {
            fcpxmlSizes.push_back(fcpxml);
            continue;
        }
        const auto compared = std::find_if(std::begin(kCompareSizes), std::end(kCompareSizes),
                                           [&](const CompareSize& s) { return name == s.name; });
        if (compared != std::end(kCompareSizes)) {
            compareSizes.push_back(compared);
            continue;
        }
        const auto edl = std::find_if(std::begin(kEdlSizes), std::end(kEdlSizes),
                                      [&](const EdlSize& s) { return name == s.name; });
        if (edl != std::end(kEdlSizes)) {
            edlSizes.push_back(edl);
            continue;
        }
        const auto& known = bench::standardSizes();
        const auto found =
            std::find_if(known.begin(), known.end(),
                         [&](const bench::TimelineSize& s) { return s.name == name; });
        if (found == known.end()) {
            std::fprintf(
                stderr,
                "zemcomp-bench: unknown size %s (S, 64K, 256K, M, L, XL, D, D3, Di, P, P3, Pa, "
                "E, E3, X, X3, XP, F, F3, C, C3, C9)\n",
                name.c_str());
            return 2;
        }
        sizes.push_back(*found);
    }
    if (sizes.empty() && edlSizes.empty() && compareSizes.empty() && fcpxmlSizes.empty() &&
        xmemlSizes.empty()) {
        std::fprintf(stderr, "zemcomp-bench: no sizes to run\n");
        return 2;
    }

    if (options.profile.rfind("edl-", 0) == 0) {
        if (edlSizes.empty()) {
            std::fprintf(stderr, "zemcomp-bench: --profile %s needs an EDL size (E, E3)\n",
                         options.profile.c_str());
            return 2;
        }
        return profileEdl(*edlSizes.front(), options);
    }
    if (options.profile == "compare" || options.profile == "carry") {
        if (compareSizes.empty()) {
            std::fprintf(stderr, "zemcomp-bench: --profile %s needs a size of cuts (C, C3, C9)\n",
                         options.profile.c_str());
            return 2;
        }
        return profileCompare(*compareSizes.front(), options);
    }
    if (options.profile.rfind("xmeml-", 0) == 0) {
        if (xmemlSizes.empty()) {
            std::fprintf(stderr, "zemcomp-bench: --profile %s needs an xmeml size (X, X3, XP)\n",
                         options.profile.c_str());
            return 2;
        }
        return profileXmeml(*xmemlSizes.front(), options);
    }
    if (!options.profile.empty()) {
        if (sizes.empty()) {
            std::fprintf(stderr, "zemcomp-bench: --profile needs an OTIO size\n");
            return 2;
        }
        return profile(sizes.front(), options);
    }

    std::printf("zemcomp-bench: OTIO import and export against RapidJSON's DOM parse and compact "
                "write of the same text\n");
    std::printf("%d samples per figure, median reported; runs shorter than %.0f ms are repeated "
                "within a sample;\nfreed heap stays in the process between runs (no trimming, "
                "mmap threshold 32 MB)\n",
                options.repeat, kMinSampleSeconds * 1e3);
    std::printf("processors online: %ld, load average at start: %s\n",
                sysconf(_SC_NPROCESSORS_ONLN), loadAverage().c_str());
    std::printf("peak memory: each size runs in a forked child; before a step freed heap is "
                "returned to the system (malloc_trim)\n"
                "and the kernel's peak-RSS mark is reset (/proc/self/clear_refs); the step's "
                "figure is VmHWM after it minus VmRSS before.\n"
                "The input text is resident before every step and not counted (setJson shares "
                "it).\n\n");

    std::vector<SizeResult> results;
    bool allGood = true;
    for (const bench::TimelineSize& size : sizes) {
        const double start = now();
        std::printf("running %s ...", size.name.c_str());
        std::fflush(stdout);
        const SizeResult result = runSizeInChild(size, options);
        std::printf(" %s document (generated in %s), done in %.1f s\n",
                    bytesText(result.documentBytes).c_str(),
                    timeText(result.generateSeconds).c_str(), now() - start);
        allGood = allGood && result.ran && !result.failure[0] && result.countsMatch &&
                  result.fixedPoint && result.standardSameTree;
        results.push_back(result);
    }
    if (!results.empty())
        printTables(sizes, results);

    std::vector<EdlResult> edlResults;
    for (const EdlSize* size : edlSizes) {
        const double start = now();
        std::printf("running %s ...", size->name);
        std::fflush(stdout);
        const EdlResult result = inChild<EdlResult>([&] { return runEdlSize(*size, options); });
        std::printf(" %zu events, done in %.1f s\n", result.events, now() - start);
        allGood =
            allGood && result.ran && !result.failure[0] && result.clipsMatch && result.fixedPoint;
        edlResults.push_back(result);
    }
    if (!edlResults.empty())
        printEdlTable(edlSizes, edlResults);
    std::vector<XmemlResult> xmemlResults;
    for (const XmemlSize* size : xmemlSizes) {
        const double start = now();
        std::printf("running %s ...", size->name);
        std::fflush(stdout);
        const XmemlResult result =
            inChild<XmemlResult>([&] { return runXmemlSize(*size, options); });
        std::printf(" %zu clips, done in %.1f s\n", result.clips, now() - start);
        allGood =
            allGood && result.ran && !result.failure[0] && result.sameCut && result.fixedPoint;
        xmemlResults.push_back(result);
    }
    if (!xmemlResults.empty())
        printXmemlTable(xmemlSizes, xmemlResults);

    std::vector<CompareResult> compareResults;
    for (const CompareSize* size : compareSizes) {
        const double start = now();
        std::printf("running %s ...", size->name);
        std::fflush(stdout);
        const CompareResult result =
            inChild<CompareResult>([&] { return runCompareSize(*size, options); });
        std::printf(" %zu clips, done in %.1f s\n", result.clips, now() - start);
        allGood = allGood && result.ran && !result.failure[0] && result.pairsMatch;
        compareResults.push_back(result);
    }
    if (!compareResults.empty())
        printCompareTable(compareSizes, compareResults);
    std::vector<FcpxmlResult> fcpxmlResults;
    for (const FcpxmlSize* size : fcpxmlSizes) {
        const double start = now();
        std::printf("running %s ...", size->name);
        std::fflush(stdout);
        const FcpxmlResult result =
            inChild<FcpxmlResult>([&] { return runFcpxmlSize(*size, options); });
        std::printf(" %zu clips, done in %.1f s\n", result.clips, now() - start);
        allGood = allGood && result.ran && !result.failure[0] && result.fixedPoint;
        fcpxmlResults.push_back(result);
    }
    if (!fcpxmlResults.empty())
        printFcpxmlTable(fcpxmlSizes, fcpxmlResults);
    if (!options.samplesDir.empty())
        std::printf("\nsamples written to %s/bench-SIZE.otio.json\n", options.samplesDir.c_str());
    return allGood ? 0 : 1;
}
