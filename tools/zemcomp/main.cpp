// zemcomp: inspect, list, check, convert and draw composition documents from
// the command line, through the library's public interface.

#include "composition/Composition.h"
#include "composition/TimelineView.h"
#include "interchange/StandardOtio.h"
#include "module/VersionInfo.h"
#include "tools/zemcomp/Completion.h"
#include "tools/zemcomp/Document.h"
#include "tools/zemcomp/FileBatch.h"
#include "tools/zemcomp/FileCommands.h"
#include "tools/zemcomp/FileIO.h"
#include "tools/zemcomp/NumberOption.h"
#include "tools/zemcomp/RangeOption.h"
#include "tools/zemcomp/Summary.h"
#include "tools/zemcomp/TimelinePicture.h"
#include "tools/zemcomp/TimelineSvg.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <iostream>
#include <limits>
#include <map>

using namespace ZEM_0_81;

namespace {

constexpr int kSuccess = 0;
constexpr int kDocumentFailed = 1;
constexpr int kBadUsage = 2;

/// The most threads -j asks for.
constexpr std::int64_t kMaxJobs = 256;

/// A dialect as the command line names it, with what it is in words.
struct DialectWord {
    const char* name;
    zemcomp::Dialect dialect;
    const char* description;
};

const DialectWord kDialectWords[] = {
    {"otio", zemcomp::Dialect::Otio,
     "OpenTimelineIO JSON with this library's metadata, as it reads and writes it"},
    {"otio-std", zemcomp::Dialect::OtioStandard,
     "standard OpenTimelineIO JSON, as the OpenTimelineIO library reads and writes it"},
    {"dmtree", zemcomp::Dialect::DmTree, "the edit tree's own JSON"},
};

std::map<std::string, zemcomp::Dialect> dialectMap() {
    std::map<std::string, zemcomp::Dialect> dialects;
    for (const DialectWord& word : kDialectWords)
        dialects.emplace(word.name, word.dialect);
    return dialects;
}

std::vector<std::string> dialectNames() {
    std::vector<std::string> names;
    for (const DialectWord& word : kDialectWords)
        names.emplace_back(word.name);
    return names;
}

/// The help text's closing words: the dialects, one line each.
std::string dialectFooter() {
    std::string text = "\nDialects (--from, --to):\n";
    for (const DialectWord& word : kDialectWords) {
        std::string name = word.name;
        name.resize(10, ' ');
        text += "  " + name + word.description + "\n";
    }
    text += "Without --from the dialect is detected: dmtree by a top-level \"format\" member,\n"
            "otio by a timeline whose metadata.zem.ZEM_SCHEMA is \"TimelineMetadata.1\",\n"
            "otio-std otherwise.\n";
    return text;
}

int fail(const std::string& message) {
    std::cerr << "zemcomp: " << message << std::endl;
    return kDocumentFailed;
}

/// The version line with the kind of build it comes from.
std::string versionLine() {
    std::string line = versionString() + ", " + ZEM_BUILD_TYPE + " build";
#if defined(ZEM_SANITIZERS)
    line += std::string(" with ") + ZEM_SANITIZERS;
#endif
    return line;
}

int runConvert(const std::string& path, std::optional<zemcomp::Dialect> from, zemcomp::Dialect to,
               const std::string& outPath, bool strict) {
    std::string error;
    const std::optional<zemcomp::Document> document = zemcomp::readDocument(path, error);
    if (!document)
        return fail(error);

    // Always through the edit tree: what is written is what the exporter of the
    // dialect makes of the tree read, never the text read.
    const zemcomp::Loaded loaded = zemcomp::load(*document, from);
    if (!loaded.status)
        return fail(zemcomp::importFailure(*document, loaded, loaded.status));
    const std::vector<zemcomp::Loss> losses = zemcomp::lossesOf(loaded.losses);
    std::cerr << zemcomp::lossLines(losses, document->name) << std::flush;
    if (strict && !losses.empty())
        return fail(zemcomp::strictFailure(losses.size(), document->name));
    String text;
    String why;
    LossReport written;
    const Status status = Documents::write(*loaded.composition, to, text, written, &why);
    if (!status)
        return fail(document->name + ": " + (why.empty() ? "" : std::string(why.c_str()) + " (") +
                    zemcomp::describe(status) + (why.empty() ? "" : ")"));

    if (outPath.empty() || outPath == "-") {
        std::cout << text.c_str() << std::endl;
        return kSuccess;
    }
    if (!Documents::writeFile(outPath, std::string(text.c_str(), text.size()), error))
        return fail(error);
    return kSuccess;
}

int runDraw(const std::string& path, std::optional<zemcomp::Dialect> from, const std::string& range,
            std::int64_t width, const std::string& outPath, bool strict) {
    std::string error;
    const std::optional<zemcomp::Document> document = zemcomp::readDocument(path, error);
    if (!document)
        return fail(error);
    const zemcomp::Loaded loaded = zemcomp::load(*document, from);
    TimelineView view;
    const Status status =
        loaded.status ? TimelineView::build(*loaded.composition, view) : loaded.status;
    if (!status)
        return fail(zemcomp::importFailure(*document, loaded, status));
    if (!view.hasTimeline)
        return fail(document->name + ": no timeline");
    const std::vector<zemcomp::Loss> losses = zemcomp::lossesOf(loaded.losses);
    std::cerr << zemcomp::lossLines(losses, document->name) << std::flush;
    if (strict && !losses.empty())
        return fail(zemcomp::strictFailure(losses.size(), document->name));

    zemcomp::PictureOptions options;
    options.width = static_cast<double>(width);
    options.source = document->name;
    // The view has been built, so the tree is there to ask.
    StandardOtio::transitions(*loaded.composition, options.transitions);
    if (!range.empty()) {
        // Timecodes in the range count at the timeline's rate, known only now.
        options.range = zemcomp::resolveRange(range, zemcomp::Clock::of(view), error);
        if (!options.range) {
            std::cerr << "zemcomp: " << document->name << ": " << error << std::endl;
            return kBadUsage;
        }
    }
    const std::string svg =
        zemcomp::TimelineSvg::write(zemcomp::TimelinePicture::layout(view, options));
    if (outPath.empty() || outPath == "-") {
        std::cout << svg;
        return kSuccess;
    }
    if (!Documents::writeFile(outPath, svg, error))
        return fail(error);
    return kSuccess;
}

/// How the outcomes of several files are put together on standard output.
enum class Joining {
    Lines,     ///< one after the other (one line each)
    Blocks,    ///< a blank line between the files' blocks of lines
    JsonArray, ///< one JSON object each, in one JSON array
};

/// Runs `task` over `files` and prints each outcome in the order given, joined
/// as `joining` says. Exit status 1 when any file failed.
int runFiles(const std::vector<std::string>& files, unsigned jobs, Joining joining,
             zemcomp::FileOutcome (*task)(const std::string&, const zemcomp::FileOptions&),
             const zemcomp::FileOptions& options) {
    bool written = false;
    const auto report = [&](const zemcomp::FileOutcome& outcome) {
        std::string out = outcome.out;
        if (joining == Joining::JsonArray && !out.empty()) {
            if (out.back() == '\n')
                out.pop_back();
            out = (written ? ",\n" : "[\n") + out;
        } else if (joining == Joining::Blocks && written && !out.empty()) {
            out = "\n" + out;
        }
        written = written || !out.empty();
        std::cout << out;
        if (!outcome.err.empty()) {
            std::cout.flush();
            std::cerr << outcome.err << std::flush;
        }
    };
    const std::size_t failed = zemcomp::runFiles(
        files, jobs, [&](const std::string& file) { return task(file, options); }, report);
    if (joining == Joining::JsonArray)
        std::cout << (written ? "\n]\n" : "[]\n");
    return failed == 0 ? kSuccess : kDocumentFailed;
}

int run(int argc, char** argv) {
    CLI::App app{"Inspect, list, check, convert and draw composition documents: OTIO JSON (the "
                 "product's own and standard OpenTimelineIO) and the edit tree's JSON.",
                 "zemcomp"};
    app.require_subcommand(1);
    app.set_version_flag("--version", versionLine());
    app.footer(dialectFooter());

    const std::map<std::string, zemcomp::Dialect> dialects = dialectMap();
    zemcomp::FileOptions options;
    // --from of the command run, when given; the dialect is detected otherwise.
    zemcomp::Dialect from = zemcomp::Dialect::Otio;
    std::vector<CLI::Option*> fromOptions;
    const auto addDialect = [&](CLI::App* command, const char* name, zemcomp::Dialect& target,
                                const char* text) {
        return command->add_option(name, target, text)
            ->transform(CLI::CheckedTransformer(dialects, CLI::ignore_case).description(""))
            ->type_name("DIALECT");
    };
    const auto addFrom = [&](CLI::App* command) {
        fromOptions.push_back(addDialect(command, "--from", from,
                                         "Dialect of the input (see below; default: detected)"));
        command->add_flag("--strict", options.strict,
                          "Fail when reading standard OTIO loses anything (the losses are listed "
                          "on standard error either way)");
    };
    std::int64_t jobs = 1;
    const auto addJobs = [&](CLI::App* command) {
        command->add_option("-j,--jobs", jobs, "Read up to N files at once, on N threads")
            ->type_name("N")
            ->transform(zemcomp::wholeNumberIn(1, kMaxJobs));
    };
    const char* const filesHelp = "Documents to read, reported one by one in this order; - for "
                                  "standard input (once); the bundled example when none";

    std::vector<std::string> infoFiles;
    CLI::App* info = app.add_subcommand(
        "info", "Print each composition's name, start, duration, tracks and output bounds");
    info->add_option("FILE", infoFiles, filesHelp);
    addFrom(info);
    info->add_option("--at", options.frames,
                     "Frame at which to report the output bounds (repeatable; "
                     "default: the start frame); a frame outside the composition gets a note")
        ->type_name("FRAME")
        ->allow_extra_args(false) // each --at takes one frame; files may follow
        ->transform(zemcomp::wholeNumberIn(std::numeric_limits<std::int64_t>::min(),
                                           std::numeric_limits<std::int64_t>::max()));
    info->add_flag("--json", options.json,
                   "Print one JSON object per file (a JSON array of them for several files)");
    addJobs(info);

    std::vector<std::string> listFiles;
    bool tracks = false, clips = false, media = false, notes = false;
    CLI::App* list = app.add_subcommand(
        "list", "List each composition's OTIO tracks, clips and gaps, media or review notes");
    list->add_option("FILE", listFiles, filesHelp);
    addFrom(list);
    CLI::Option* tracksFlag = list->add_flag("--tracks", tracks, "One line per track");
    CLI::Option* clipsFlag = list->add_flag(
        "--clips", clips,
        "One line per clip and gap, with record and source ranges, and per transition of a "
        "standard OTIO track (the default)");
    CLI::Option* mediaFlag =
        list->add_flag("--media", media, "One line per media input of each clip");
    CLI::Option* notesFlag =
        list->add_flag("--notes", notes, "One line per review note and paint layer");
    tracksFlag->excludes(clipsFlag, mediaFlag, notesFlag);
    clipsFlag->excludes(mediaFlag, notesFlag);
    mediaFlag->excludes(notesFlag);
    list->add_flag("--json", options.json,
                   "Print the whole timeline of each file as one JSON object (a JSON array of "
                   "them for several files)");
    addJobs(list);

    std::vector<std::string> checkFiles;
    CLI::App* check = app.add_subcommand(
        "check", "Parse and import documents; report each one's first problem or a summary");
    check->add_option("FILE", checkFiles, "Documents to read; - for standard input (once)")
        ->required();
    addFrom(check);
    addJobs(check);

    std::string convertPath, outPath;
    zemcomp::Dialect to = zemcomp::Dialect::Otio;
    CLI::App* convert =
        app.add_subcommand("convert", "Convert a document through the edit tree to a dialect");
    convert->add_option("IN", convertPath, "Document to read; - for standard input")->required();
    addFrom(convert);
    addDialect(convert, "--to", to, "Dialect to write (see below)")->required();
    convert->add_option("-o,--output", outPath,
                        "File to write (written only on success); standard output by default");

    std::string drawPath, drawOutPath, range;
    std::int64_t width = static_cast<std::int64_t>(zemcomp::PictureLayout::kDefaultWidth);
    CLI::App* draw = app.add_subcommand(
        "draw", "Draw a timeline as one SVG picture: tracks, clips, gaps, effects and notes");
    draw->add_option("FILE", drawPath,
                     "Document to read; - for standard input; the bundled example when omitted");
    addFrom(draw);
    draw->add_option("-o,--output", drawOutPath,
                     "SVG file to write (written only on success); standard output by default");
    draw->add_option("--range", range,
                     "Draw only frames START to END (END not drawn), each a frame number or a "
                     "timecode HH:MM:SS:FF as list shows them, e.g. 01:00:02:00-01:00:04:00")
        ->type_name("START-END")
        ->check(zemcomp::rangeShape());
    draw->add_option("--width", width, "Width of the picture in pixels")
        ->type_name("PIXELS")
        ->capture_default_str()
        ->transform(zemcomp::wholeNumberIn(
            static_cast<std::int64_t>(zemcomp::PictureLayout::kMinimumWidth),
            static_cast<std::int64_t>(zemcomp::PictureLayout::kMaximumWidth)));

    std::string shell;
    CLI::App* completion = app.add_subcommand(
        "completion", "Print a completion script for the shell (bash): source it, or install "
                      "it as /usr/share/bash-completion/completions/zemcomp");
    completion->add_option("SHELL", shell, "The shell: bash")
        ->required()
        ->check(CLI::IsMember({"bash"}));

    for (CLI::App* command : {info, list, check, convert, draw})
        command->footer(dialectFooter());

    try {
        app.parse(argc, argv);
    } catch (const CLI::Success& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        app.exit(e);
        return kBadUsage;
    }

    if (completion->parsed()) {
        std::cout << zemcomp::bashCompletion(
            app, {{"--from", dialectNames()}, {"--to", dialectNames()}, {"SHELL", {"bash"}}});
        return kSuccess;
    }
    for (const CLI::Option* option : fromOptions) {
        if (option->count() > 0)
            options.dialect = from;
    }
    if (convert->parsed())
        return runConvert(convertPath, options.dialect, to, outPath, options.strict);
    if (draw->parsed())
        return runDraw(drawPath.empty() ? zemcomp::defaultExample(argv[0]) : drawPath,
                       options.dialect, range, width, drawOutPath, options.strict);

    std::vector<std::string>& files = info->parsed()   ? infoFiles
                                      : list->parsed() ? listFiles
                                                       : checkFiles;
    if (std::count(files.begin(), files.end(), "-") > 1) {
        std::cerr << "zemcomp: standard input (-) can be read only once" << std::endl;
        return kBadUsage;
    }
    if (files.empty())
        files.push_back(zemcomp::defaultExample(argv[0]));
    const auto threads = static_cast<unsigned>(jobs);
    const Joining joining = !options.json      ? Joining::Blocks
                            : files.size() > 1 ? Joining::JsonArray
                                               : Joining::Lines;

    if (info->parsed())
        return runFiles(files, threads, joining, zemcomp::infoFile, options);
    if (list->parsed()) {
        options.selection = tracks  ? zemcomp::ListSelection::Tracks
                            : media ? zemcomp::ListSelection::Media
                            : notes ? zemcomp::ListSelection::Notes
                                    : zemcomp::ListSelection::Clips;
        return runFiles(files, threads, joining, zemcomp::listFile, options);
    }
    return runFiles(files, threads, Joining::Lines, zemcomp::checkFile, options);
}

} // namespace

int main(int argc, char** argv) {
    // Every write to standard output is checked: output that cannot be written
    // is a failure, never lost in silence.
    zemcomp::StandardOutput out;
    const int status = run(argc, argv);
    std::string error;
    if (!out.close(error)) {
        std::cerr << "zemcomp: " << error << std::endl;
        return status == kSuccess ? kDocumentFailed : status;
    }
    return status;
}
