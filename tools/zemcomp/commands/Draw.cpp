// zemcomp draw: the timeline as one self-contained SVG picture, or two cuts
// compared in one.

#include "tools/zemcomp/commands/Command.h"
#include "tools/zemcomp/commands/FileTask.h"
#include "tools/zemcomp/options/NumberOption.h"
#include "tools/zemcomp/options/RangeOption.h"
#include "tools/zemcomp/picture/ComparePicture.h"
#include "tools/zemcomp/picture/TimelinePicture.h"
#include "tools/zemcomp/picture/TimelineSvg.h"
#include "tools/zemcomp/text/Summary.h"

#include <iostream>

namespace zemcomp {

using namespace ZEM_0_81;

namespace {

class Draw : public Command {
public:
    CLI::App* add(CLI::App& app) override {
        CLI::App* draw = app.add_subcommand(
            "draw", "Draw a timeline as one SVG picture: tracks, clips, gaps, effects and notes");
        CLI::Option* file = draw->add_option(
            "FILE", m_path,
            "Document to read; - for standard input; the bundled example when omitted");
        draw->add_option("--compare", m_compare,
                         "Draw two cuts of one edit compared: OLD's tracks above NEW's on one "
                         "ruler, each clip coloured and lettered by its change and joined to its "
                         "partner by a band (see compare)")
            ->expected(2)
            ->type_name("OLD NEW")
            ->excludes(file);
        m_input.add(*draw);
        draw->add_option("-o,--output", m_outPath,
                         "SVG file to write (written only on success); standard output by default");
        draw->add_option("--range", m_range,
                         "Draw only frames START to END (END not drawn), each a frame number or a "
                         "timecode HH:MM:SS:FF as list shows them, e.g. 01:00:02:00-01:00:04:00")
            ->type_name("START-END")
            ->check(rangeShape());
        draw->add_option("--width", m_width, "Width of the picture in pixels")
            ->type_name("PIXELS")
            ->capture_default_str()
            ->transform(wholeNumberIn(static_cast<std::int64_t>(PictureLayout::kMinimumWidth),
                                      static_cast<std::int64_t>(PictureLayout::kMaximumWidth)));
        draw->footer(dialectFooter());
        return draw;
    }

    int run(const Invocation& invocation) override {
        if (!m_compare.empty())
            return drawCompared();
        std::string error;
        const std::optional<Document> document =
            readDocument(m_path.empty() ? defaultExample(invocation.argv0) : m_path, error);
        if (!document)
            return fail(error);
        const Loaded loaded = load(*document, m_input.readOptions());
        TimelineView view;
        const Status status =
            loaded.status ? TimelineView::build(*loaded.composition, view) : loaded.status;
        if (!status)
            return fail(importFailure(*document, loaded, status));
        if (!view.hasTimeline)
            return fail(document->name + ": no timeline");
        if (!printLosses(*document, loaded, m_input))
            return kDocumentFailed;

        PictureOptions options;
        if (!pictureOptions(view, document->name, options))
            return kBadUsage;
        return writeOutput(m_outPath, TimelineSvg::write(TimelinePicture::layout(view, options)));
    }

private:
    /// The options both pictures share: the width, and the range at `view`'s
    /// rate; false, with the reason printed, when the range is not one.
    bool pictureOptions(const TimelineView& view, const std::string& name,
                        PictureOptions& options) const {
        options.width = static_cast<double>(m_width);
        options.source = name;
        if (m_range.empty())
            return true;
        // Timecodes in the range count at the timeline's rate, known only now.
        std::string error;
        options.range = resolveRange(m_range, Clock::of(view), error);
        if (!options.range)
            std::cerr << "zemcomp: " << name << ": " << error << std::endl;
        return options.range.has_value();
    }

    int drawCompared() {
        if (m_compare[0] == "-" && m_compare[1] == "-") {
            std::cerr << "zemcomp: standard input can be read only once" << std::endl;
            return kBadUsage;
        }
        Document oldDocument, newDocument;
        Loaded oldCut, newCut;
        if (!readCut(m_compare[0], m_input, oldDocument, oldCut) ||
            !readCut(m_compare[1], m_input, newDocument, newCut))
            return kDocumentFailed;
        CutComparison::Result result;
        String why;
        const Status status = CutComparison::compare(*oldCut.composition, *newCut.composition,
                                                     CutComparison::Options(), result, &why);
        if (!status)
            return fail(std::string(why.c_str()) + " (" + describe(status) + ")");
        PictureOptions options;
        if (!pictureOptions(result.newView, newDocument.name, options))
            return kBadUsage;
        return writeOutput(m_outPath, TimelineSvg::write(ComparePicture::layout(
                                          result, options, oldDocument.name, newDocument.name)));
    }

    std::vector<std::string> m_compare;
    std::string m_path, m_outPath, m_range;
    InputOptions m_input;
    std::int64_t m_width = static_cast<std::int64_t>(PictureLayout::kDefaultWidth);
};

} // namespace

std::unique_ptr<Command> drawCommand() {
    return std::make_unique<Draw>();
}

} // namespace zemcomp
