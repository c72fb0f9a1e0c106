// zemcomp draw: the timeline as one self-contained SVG picture.

#include "tools/zemcomp/commands/Command.h"
#include "tools/zemcomp/commands/FileTask.h"
#include "tools/zemcomp/options/NumberOption.h"
#include "tools/zemcomp/options/RangeOption.h"
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
        draw->add_option(
            "FILE", m_path,
            "Document to read; - for standard input; the bundled example when omitted");
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
        options.width = static_cast<double>(m_width);
        options.source = document->name;
        if (!m_range.empty()) {
            // Timecodes in the range count at the timeline's rate, known only now.
            options.range = resolveRange(m_range, Clock::of(view), error);
            if (!options.range) {
                std::cerr << "zemcomp: " << document->name << ": " << error << std::endl;
                return kBadUsage;
            }
        }
        const std::string svg = TimelineSvg::write(TimelinePicture::layout(view, options));
        if (m_outPath.empty() || m_outPath == "-") {
            std::cout << svg;
            return kSuccess;
        }
        if (!Documents::writeFile(m_outPath, svg, error))
            return fail(error);
        return kSuccess;
    }

private:
    std::string m_path, m_outPath, m_range;
    InputOptions m_input;
    std::int64_t m_width = static_cast<std::int64_t>(PictureLayout::kDefaultWidth);
};

} // namespace

std::unique_ptr<Command> drawCommand() {
    return std::make_unique<Draw>();
}

} // namespace zemcomp
