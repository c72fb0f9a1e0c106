// zemcomp compare: what changed between two cuts of one edit, clip by clip:
// the change list editors read before they move their notes.
//
//   zemcomp compare OLD NEW [--track T] [--json] [--exit-code]

#include "tools/zemcomp/commands/Command.h"
#include "tools/zemcomp/commands/FileTask.h"
#include "tools/zemcomp/text/ChangeList.h"
#include "tools/zemcomp/text/Listing.h"

#include "interchange/CutComparison.h"

#include <iostream>

namespace zemcomp {

using namespace ZEM_0_81;

namespace {

class Compare : public Command {
public:
    CLI::App* add(CLI::App& app) override {
        CLI::App* compare = app.add_subcommand(
            "compare", "List what changed between two cuts, clip by clip: moved, trimmed, "
                       "slipped, new versions, added and removed shots");
        compare->add_option("OLD", m_old, "The earlier cut; - for standard input")->required();
        compare->add_option("NEW", m_new, "The later cut; - for standard input")->required();
        m_input.add(*compare);
        compare
            ->add_option("--track", m_options.track,
                         "Compare only this track: its name in the new cut (else in the old), or "
                         "its number among the new cut's tracks")
            ->type_name("TRACK");
        compare->add_flag("--json", m_json,
                          "Print one JSON object: each pair of tracks with its changes, each "
                          "clip as list --json gives it");
        compare->add_flag("--exit-code", m_exitCode,
                          "Exit with status 1 when any clip changed (as git diff does), 0 when "
                          "none did");
        compare->footer(
            "Clips are paired track by track (tracks by name, else by kind and order) when they "
            "show the same shot: the same media, the same name once a version token (_v003, "
            ".v003, v3) is set aside, or for clips without media or a name the same reel with "
            "overlapping source frames. HEAD and TAIL are the frames the new clip shows more (+) "
            "or less (-) "
            "at each end, at its source rate; SHIFT is how far it moved, at the new cut's rate, "
            "counted from each cut's start. The exit status is 0 whether or not the cuts "
            "differ, unless --exit-code is given.\n\n" +
            dialectFooter());
        return compare;
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
        CutComparison::Result result;
        String why;
        const Status status = CutComparison::compare(*oldCut.composition, *newCut.composition,
                                                     m_options, result, &why);
        if (!status && status.getCode() == Status::NoData && !m_options.track.empty()) {
            std::cerr << "zemcomp: --track " << m_options.track << ": " << why.c_str() << std::endl;
            return kBadUsage;
        }
        if (!status)
            return fail(std::string(why.c_str()) + " (" + describe(status) + ")");
        if (m_json) {
            std::cout << changeJson(result, oldDocument.name, newDocument.name) << std::endl;
        } else {
            std::cout << "old: " << oldDocument.name << ": " << viewHeadline(result.oldView) << "\n"
                      << "new: " << newDocument.name << ": " << viewHeadline(result.newView) << "\n"
                      << changeTable(result) << changeSummary(result) << std::endl;
        }
        return m_exitCode && result.changed() ? kDocumentFailed : kSuccess;
    }

private:
    std::string m_old, m_new;
    InputOptions m_input;
    CutComparison::Options m_options;
    bool m_json = false;
    bool m_exitCode = false;
};

} // namespace

std::unique_ptr<Command> compareCommand() {
    return std::make_unique<Compare>();
}

} // namespace zemcomp
