// zemcomp convert: reads a document into the edit tree and writes the tree in
// a dialect.

#include "tools/zemcomp/commands/Command.h"
#include "tools/zemcomp/commands/FileTask.h"
#include "tools/zemcomp/files/FileIO.h"
#include "tools/zemcomp/options/NumberOption.h"
#include "tools/zemcomp/text/Summary.h"

#include <iostream>

namespace zemcomp {

using namespace ZEM_0_81;

namespace {

class Convert : public Command {
public:
    CLI::App* add(CLI::App& app) override {
        CLI::App* convert =
            app.add_subcommand("convert", "Convert a document through the edit tree to a dialect");
        convert->add_option("IN", m_path, "Document to read; - for standard input")->required();
        m_input.add(*convert);
        addDialectOption(*convert, "--to", m_to, "Dialect to write (see below)")->required();
        convert->add_option("-o,--output", m_outPath,
                            "File to write (written only on success); standard output by default");
        m_versionOption = addOtioVersionOption(*convert, m_version);
        m_fcpxmlVersionOption = addFcpxmlVersionOption(*convert, m_options.fcpxml.version);
        convert
            ->add_option("--track", m_track,
                         "With --to edl: the video track to write, by its name or its number "
                         "as list shows them (default: the first video track)")
            ->type_name("TRACK");
        convert
            ->add_option("--reel-length", m_options.edl.reelLength,
                         "With --to edl: the most characters of a reel name made from a media "
                         "file's name (8; 32 or more for systems that read long reel names)")
            ->type_name("N")
            ->capture_default_str()
            ->transform(wholeNumberIn(1, 128));
        convert->add_flag("--non-drop", m_options.edl.nonDropFrame,
                          "With --to edl at 29.97 or 59.94: non-drop-frame timecode (default: "
                          "drop frame)");
        convert->footer(dialectFooter());
        return convert;
    }

    int run(const Invocation&) override {
        if (m_versionOption->count() > 0 && m_to != Dialect::OtioStandard) {
            std::cerr << "zemcomp: --otio-version is for --to otio-std" << std::endl;
            return kBadUsage;
        }
        if (m_fcpxmlVersionOption->count() > 0 && m_to != Dialect::Fcpxml) {
            std::cerr << "zemcomp: --fcpxml-version is for --to fcpxml" << std::endl;
            return kBadUsage;
        }
        std::string error;
        const std::optional<Document> document = readDocument(m_path, error);
        if (!document)
            return fail(error);
        // Always through the edit tree: what is written is what the exporter of
        // the dialect makes of the tree read, never the text read.
        const Loaded loaded = load(*document, m_input.readOptions());
        if (!loaded.status)
            return fail(importFailure(*document, loaded, loaded.status));
        if (!printLosses(*document, loaded, m_input))
            return kDocumentFailed;

        DocumentWriteOptions options = m_options;
        if (!edlTrack(*loaded.composition, options.edl.track))
            return kBadUsage;
        if (m_versionOption->count() > 0)
            options.otioVersion = m_version;
        String text;
        String why;
        LossReport written;
        const Status status =
            Documents::write(*loaded.composition, m_to, options, text, written, &why);
        if (!status)
            return fail(document->name + ": " +
                        (why.empty() ? "" : std::string(why.c_str()) + " (") + describe(status) +
                        (why.empty() ? "" : ")"));
        // What the dialect written could not hold, at its place in the text written.
        const std::vector<Loss> dropped = lossesOf(written);
        std::cerr << lossLines(dropped, outputName()) << std::flush;
        if (m_input.strict && !dropped.empty())
            return fail(strictFailure(dropped.size(), outputName(), true) + ": nothing written");
        if (m_outPath.empty() || m_outPath == "-") {
            std::cout << text.c_str() << std::endl;
            return kSuccess;
        }
        if (!Documents::writeFile(m_outPath, std::string(text.c_str(), text.size()), error))
            return fail(error);
        return kSuccess;
    }

private:
    /// The track --track names, as an index of the timeline view; false, with
    /// the reason printed, when it names none.
    bool edlTrack(const Composition& composition, std::int32_t& track) const {
        if (m_track.empty())
            return true;
        TimelineView view;
        TimelineView::build(composition, view);
        for (std::size_t t = 0; t < view.tracks.size(); ++t)
            if (view.tracks[t].name == m_track || std::to_string(t + 1) == m_track) {
                track = static_cast<std::int32_t>(t);
                return true;
            }
        std::cerr << "zemcomp: --track " << m_track << ": no track of that name or number"
                  << std::endl;
        return false;
    }

    std::string outputName() const {
        return m_outPath.empty() || m_outPath == "-" ? std::string(kStandardOutputName) : m_outPath;
    }

    std::string m_path, m_outPath;
    OtioVersion m_version = kCurrentOtioVersion;
    DocumentWriteOptions m_options;
    std::string m_track;
    CLI::Option* m_versionOption = nullptr;
    CLI::Option* m_fcpxmlVersionOption = nullptr;
    InputOptions m_input;
    Dialect m_to = Dialect::Otio;
};

} // namespace

std::unique_ptr<Command> convertCommand() {
    return std::make_unique<Convert>();
}

} // namespace zemcomp
