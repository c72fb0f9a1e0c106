// zemcomp notes carry: the review notes of one cut moved onto the next, each
// onto the same frames of its shot.
//
//   zemcomp notes carry OLD NEW [-o OUT] [--to DIALECT] [--strict]

#include "tools/zemcomp/commands/Command.h"
#include "tools/zemcomp/commands/FileTask.h"
#include "tools/zemcomp/files/FileIO.h"
#include "tools/zemcomp/text/Summary.h"
#include "tools/zemcomp/text/TimeText.h"

#include "interchange/CutComparison.h"

#include <iostream>

namespace zemcomp {

using namespace ZEM_0_81;

namespace {

/// "OLD: 01:00:10:05: note "fix the flicker": left behind: why" for one note
/// or paint layer not carried, or carried over part of its frames.
std::string leftLine(const CutComparison::LeftBehind& left, const CutComparison::Result& compared,
                     const std::string& oldName) {
    const std::string what = left.isNote ? "note \"" + left.text + "\""
                                         : "paint (" + std::to_string(left.strokes) +
                                               (left.strokes == 1 ? " stroke)" : " strokes)");
    std::string line = oldName + ": " +
                       timecodeText(left.record.start, Clock::of(compared.oldView)) + ": " + what +
                       ": ";
    if (left.why == CutComparison::LeftBehind::Reason::PartlyGone)
        line += "carried over " + std::to_string(left.carried.duration) + " of its " +
                std::to_string(left.record.duration) + " frames, from " +
                timecodeText(left.carried.start, Clock::of(compared.newView)) + ": ";
    else
        line += "left behind: ";
    return line + CutComparison::reasonText(left.why) + "\n";
}

std::string count(std::size_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

class Notes : public Command {
public:
    CLI::App* add(CLI::App& app) override {
        CLI::App* notes =
            app.add_subcommand("notes", "Carry the review notes of one cut onto the next");
        notes->require_subcommand(1);
        m_carry = notes->add_subcommand(
            "carry", "Write NEW with the review notes and paint of OLD's clips moved onto the "
                     "same source frames of their shots in NEW; say which could not go");
        m_carry->add_option("OLD", m_old, "The cut the notes are on; - for standard input")
            ->required();
        m_carry->add_option("NEW", m_new, "The cut they go to; - for standard input")->required();
        m_input.add(*m_carry);
        m_toOption = addDialectOption(*m_carry, "--to", m_to,
                                      "Dialect to write NEW in (default: the one it was read in)");
        m_carry->add_option("-o,--output", m_outPath,
                            "File to write NEW to (written only on success); standard output by "
                            "default");
        m_carry
            ->add_option("--track", m_options.track,
                         "Carry only the notes of this track: its name in NEW (else in OLD), or "
                         "its number among NEW's tracks")
            ->type_name("TRACK");
        m_carry->footer(
            "A note goes to the clip its clip is paired with (as compare pairs them), at the same "
            "frames of the shot's media. A note whose frames are no longer all in that clip is "
            "carried over those that remain, or not at all; notes on gaps and on removed clips "
            "stay behind: each is reported on standard error with its place in OLD, its text and "
            "why. --strict also fails, writing nothing, when any frame of a note or paint stays "
            "behind.\n\n" +
            dialectFooter());
        return notes;
    }

    int run(const Invocation&) override {
        if (m_old == "-" && m_new == "-") {
            std::cerr << "zemcomp: standard input can be read only once" << std::endl;
            return kBadUsage;
        }
        Document oldDocument, newDocument;
        Loaded oldCut, newCut;
        if (!readCut(m_old, m_input, oldDocument, oldCut) ||
            !readCut(m_new, m_input, newDocument, newCut))
            return kDocumentFailed;
        CutComparison::Carried carried;
        String why;
        const Status status = CutComparison::carryNotes(*oldCut.composition, *newCut.composition,
                                                        m_options, carried, &why);
        if (!status && status.getCode() == Status::NoData && !m_options.track.empty()) {
            std::cerr << "zemcomp: --track " << m_options.track << ": " << why.c_str() << std::endl;
            return kBadUsage;
        }
        if (!status)
            return fail(std::string(why.c_str()) + " (" + describe(status) + ")");

        for (const CutComparison::LeftBehind& left : carried.left)
            std::cerr << leftLine(left, carried.comparison, oldDocument.name);
        std::cerr << oldDocument.name << ": carried " << count(carried.notes, "note", "notes")
                  << " and " << count(carried.paint, "paint layer", "paint layers") << " onto "
                  << newDocument.name << ", " << carried.left.size()
                  << " left behind or carried in part, " << carried.alreadyThere
                  << " already there" << std::endl;
        if (m_input.strict && !carried.left.empty())
            return fail(oldDocument.name + ": " +
                        count(carried.left.size(), "note or paint layer", "notes or paint layers") +
                        " not carried whole (--strict): nothing written");

        String text;
        LossReport written;
        const Dialect dialect = m_toOption->count() > 0 ? m_to : newCut.dialect;
        const Status wrote = Documents::write(*newCut.composition, dialect, text, written, &why);
        if (!wrote)
            return fail(newDocument.name + ": " +
                        (why.empty() ? "" : std::string(why.c_str()) + " (") + describe(wrote) +
                        (why.empty() ? "" : ")"));
        const std::vector<Loss> dropped = lossesOf(written);
        const std::string outName =
            m_outPath.empty() || m_outPath == "-" ? std::string(kStandardOutputName) : m_outPath;
        std::cerr << lossLines(dropped, outName) << std::flush;
        if (m_input.strict && !dropped.empty())
            return fail(strictFailure(dropped.size(), outName, true) + ": nothing written");
        return writeOutput(m_outPath, std::string(text.c_str(), text.size()) + "\n");
    }

private:
    CLI::App* m_carry = nullptr;
    std::string m_old, m_new, m_outPath;
    InputOptions m_input;
    CutComparison::Options m_options;
    Dialect m_to = Dialect::Otio;
    CLI::Option* m_toOption = nullptr;
};

} // namespace

std::unique_ptr<Command> notesCommand() {
    return std::make_unique<Notes>();
}

} // namespace zemcomp
