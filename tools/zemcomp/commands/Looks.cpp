// zemcomp looks: a grader's looks (ASC CDL files) onto a cut's clips, and a
// cut's looks out again.
//
//   zemcomp looks apply CUT LOOKS... [-o OUT] [--to DIALECT]
//   zemcomp looks extract CUT [-o OUT.ccc|OUT.cdl] [--form FORM]

#include "tools/zemcomp/commands/Command.h"
#include "tools/zemcomp/commands/FileTask.h"
#include "tools/zemcomp/text/Summary.h"

#include "interchange/AscCdl.h"

#include <iostream>
#include <map>
#include <sstream>

namespace zemcomp {

using namespace ZEM_0_81;

namespace {

/// "FILE: line N: SCHEMA: what" for each entry of `report`.
std::string reportLines(const LossReport& report, const std::string& file) {
    return lossLines(lossesOf(report), file);
}

/// What a match says: "ID -> track 1 item 3 "sh010" by name (look changed)".
std::string matchLine(const AscCdl::Match& match, const TimelineView& view) {
    std::ostringstream line;
    line << (match.id.empty() ? std::string("(no id)") : match.id) << " -> track "
         << match.track + 1;
    if (match.track < view.tracks.size() && !view.tracks[match.track].name.empty())
        line << " " << view.tracks[match.track].name;
    line << " item " << match.item + 1 << " \"" << match.clip << "\" by "
         << AscCdl::ruleName(match.rule) << " ("
         << (!match.hadLook  ? "new look"
             : match.changed ? "look changed"
                             : "same look")
         << ")";
    return line.str();
}

class Looks : public Command {
public:
    CLI::App* add(CLI::App& app) override {
        CLI::App* looks = app.add_subcommand(
            "looks", "Apply the looks of ASC CDL files (.cc, .ccc, .cdl) to a cut's clips, or "
                     "extract a cut's looks as one");
        looks->require_subcommand(1);
        m_apply = looks->add_subcommand(
            "apply", "Give each clip the look of the correction that names it (by media, name, "
                     "reel or media file name); print what matched what");
        m_apply->add_option("CUT", m_cut, "Document to read; - for standard input")->required();
        m_apply->add_option("LOOKS", m_looks, "ASC CDL files, applied in this order")->required();
        m_applyInput.add(*m_apply);
        m_toOption = addDialectOption(*m_apply, "--to", m_to,
                                      "Dialect to write the cut in (default: the one it was read "
                                      "in)");
        m_apply->add_option("-o,--output", m_outPath,
                            "File to write the cut to (written only on success); standard output "
                            "by default, the matches then going to standard error");
        m_apply->footer(dialectFooter());

        m_extract = looks->add_subcommand(
            "extract", "Write the looks of a cut's clips as an ASC CDL file: a .ccc collection, "
                       "or a .cdl decision list tied to the clips' media");
        m_extract->add_option("CUT", m_cut, "Document to read; - for standard input")->required();
        m_extractInput.add(*m_extract);
        m_extract->add_option("-o,--output", m_outPath,
                              "File to write (its extension .cc, .ccc or .cdl gives the form); "
                              "standard output by default");
        m_formOption =
            m_extract
                ->add_option("--form", m_form,
                             "cc (one look), ccc (a collection) or cdl (a decision list); default: "
                             "from the extension of -o, else ccc")
                ->transform(
                    CLI::CheckedTransformer(
                        std::map<std::string, AscCdl::Form>{{"cc", AscCdl::Form::Correction},
                                                            {"ccc", AscCdl::Form::Collection},
                                                            {"cdl", AscCdl::Form::DecisionList}},
                        CLI::ignore_case)
                        .description(""))
                ->type_name("FORM");
        m_extract->footer(dialectFooter());
        return looks;
    }

    int run(const Invocation& invocation) override {
        (void)invocation;
        return m_apply->parsed() ? apply() : extract();
    }

private:
    int apply() {
        Document document;
        Loaded loaded;
        if (!readCut(m_cut, m_applyInput, document, loaded))
            return kDocumentFailed;
        const bool toStandardOutput = m_outPath.empty() || m_outPath == "-";
        std::ostream& said = toStandardOutput ? std::cerr : std::cout;
        bool lost = false;
        for (const std::string& path : m_looks) {
            std::string text, error;
            int code = 0;
            if (!Documents::readFile(path, text, code, error))
                return fail(error);
            AscCdl::Contents contents;
            LossReport report;
            String why;
            Status status = AscCdl::read(text.data(), text.size(), contents, report, &why);
            std::cerr << reportLines(report, path) << std::flush;
            lost = lost || !report.isEmpty();
            if (!status)
                return fail(path + ": " + why.c_str());
            std::vector<AscCdl::Match> matches;
            status =
                AscCdl::apply(*loaded.composition, contents.corrections, matches, report, &why);
            if (!status)
                return fail(document.name + ": " + why.c_str() + " (" + describe(status) + ")");
            TimelineView view;
            TimelineView::build(*loaded.composition, view);
            for (const AscCdl::Match& match : matches)
                said << path << ": " << matchLine(match, view) << "\n";
            said.flush();
            std::cerr << reportLines(report, path) << std::flush;
            lost = lost || !report.isEmpty();
        }
        if (m_applyInput.strict && lost)
            return fail(document.name + ": the looks did not all apply as they stand (--strict)");
        return write(document, loaded, m_toOption->count() > 0 ? m_to : loaded.dialect);
    }

    int write(const Document& document, const Loaded& loaded, Dialect dialect) {
        String text, why;
        LossReport written;
        const Status status = Documents::write(*loaded.composition, dialect, text, written, &why);
        if (!status)
            return fail(document.name + ": " +
                        (why.empty() ? "" : std::string(why.c_str()) + " (") + describe(status) +
                        (why.empty() ? "" : ")"));
        return writeOutput(m_outPath, std::string(text.c_str(), text.size()) + "\n");
    }

    int extract() {
        Document document;
        Loaded loaded;
        if (!readCut(m_cut, m_extractInput, document, loaded))
            return kDocumentFailed;
        AscCdl::Form form = AscCdl::Form::Collection;
        if (m_formOption->count() > 0)
            form = m_form;
        else
            AscCdl::formOfPath(m_outPath, form);
        String text, why;
        const Status status = AscCdl::write(*loaded.composition, form, text, &why);
        if (!status)
            return fail(document.name + ": " + why.c_str() + " (" + describe(status) + ")");
        return writeOutput(m_outPath, std::string(text.c_str(), text.size()));
    }

    CLI::App* m_apply = nullptr;
    CLI::App* m_extract = nullptr;
    std::string m_cut, m_outPath;
    std::vector<std::string> m_looks;
    InputOptions m_applyInput, m_extractInput;
    Dialect m_to = Dialect::Otio;
    CLI::Option* m_toOption = nullptr;
    AscCdl::Form m_form = AscCdl::Form::Collection;
    CLI::Option* m_formOption = nullptr;
};

} // namespace

std::unique_ptr<Command> looksCommand() {
    return std::make_unique<Looks>();
}

} // namespace zemcomp
