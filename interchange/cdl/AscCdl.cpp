#include "interchange/AscCdl.h"

#include "interchange/Failure.h"
#include "interchange/TimelineSegments.h"
#include "interchange/cdl/CdlReader.h"
#include "interchange/cdl/CdlWriter.h"
#include "interchange/cdl/ClipLooks.h"
#include "interchange/cdl/LookMatcher.h"

#include "outside/dmtree/CoSharedPtr.h"
#include "outside/dmtree/DmRoot.h"

#include <cctype>

namespace ZEM_0_81 {

namespace {

using namespace Interchange;

Status treeFailure(Status status, String* message) {
    return failed(status,
                  std::string("the composition has no edit tree: ") + status.getDescription(),
                  message);
}

void reportChanged(LossReport& report, const Cdl::LookMatcher& matcher, const Cdl::Claim& claim,
                   const AscCdl::Correction& correction) {
    Cdl::LookMatcher::lose(report, correction,
                           matcher.clipText(claim.track, claim.item) +
                               " had a look of other values: it takes those of " +
                               (correction.id.empty() ? std::string("the correction")
                                                      : "correction \"" + correction.id + "\""));
}

} // namespace

const char* AscCdl::extensionOf(Form form) {
    switch (form) {
    case Form::Correction:
        return "cc";
    case Form::Collection:
        return "ccc";
    case Form::DecisionList:
        return "cdl";
    }
    return "";
}

bool AscCdl::formOfPath(const std::string& path, Form& form) {
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || path.find('/', dot) != std::string::npos)
        return false;
    std::string extension = path.substr(dot + 1);
    for (char& c : extension)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (Form candidate : {Form::Correction, Form::Collection, Form::DecisionList})
        if (extension == extensionOf(candidate)) {
            form = candidate;
            return true;
        }
    return false;
}

const char* AscCdl::ruleName(Rule rule) {
    switch (rule) {
    case Rule::Place:
        return "place";
    case Rule::Media:
        return "media";
    case Rule::Name:
        return "name";
    case Rule::Reel:
        return "reel";
    case Rule::MediaStem:
        return "media file name";
    }
    return "";
}

Status AscCdl::read(const char* text, std::size_t length, Contents& out, LossReport& losses,
                    String* message) {
    losses.clear();
    std::string why;
    if (!Cdl::readText(text, length, out, losses, why))
        return failed(Status(Status::JsonConversionFailed), why, message);
    return Status();
}

Status AscCdl::apply(Composition& composition, const std::vector<Correction>& corrections,
                     std::vector<Match>& matches, LossReport& report, String* message) {
    Status status;
    const DmRoot& root = composition.getTree(status);
    if (!status)
        return treeFailure(status, message);
    matches.clear();
    report.clear();

    // The looks go onto a copy, which replaces the composition's tree when any
    // changed: the composition itself changes only through its public API.
    const CoSharedPtr<DmPropertySet> copy = root.clone();
    auto* tree = dynamic_cast<DmRoot*>(copy.get());
    TimelineView view;
    TimelineSegments segments;
    buildTimeline(*tree, view, segments);
    const Cdl::LookMatcher matcher(view, segments);

    bool changed = false;
    for (const Cdl::Claim& claim : matcher.assign(corrections, report)) {
        const Correction& correction = corrections[claim.correction];
        const Cdl::LookChange change =
            Cdl::setLook(*segments[claim.track][claim.item], correction.look);
        if (change.hadLook && change.changed)
            reportChanged(report, matcher, claim, correction);
        changed = changed || change.changed;
        matches.push_back(Match{claim.correction, correction.id, claim.track, claim.item,
                                matcher.nameOf(claim.track, claim.item), claim.rule, change.hadLook,
                                change.changed});
    }
    if (changed)
        composition.setTree(*tree);
    return Status();
}

Status AscCdl::looks(const Composition& composition, std::vector<ClipLook>& out) {
    Status status;
    const DmRoot& root = composition.getTree(status);
    if (!status)
        return status;
    TimelineView view;
    TimelineSegments segments;
    // The walk only reads; the iterator's counted references come and go.
    buildTimeline(const_cast<DmRoot&>(root), view, segments);
    out = Cdl::clipLooks(view, segments);
    return Status();
}

Status AscCdl::write(const std::vector<ClipLook>& looks, Form form, String& out, String* message) {
    if (looks.empty())
        return failed(Status(Status::NoData), "no clip has a look", message);
    if (form == Form::Correction && looks.size() > 1)
        return failed(Status(Status::NoData),
                      "a ColorCorrection file holds one look, and " + std::to_string(looks.size()) +
                          " clips have one",
                      message);
    out = String(Cdl::writeText(looks, form));
    return Status();
}

Status AscCdl::write(const Composition& composition, Form form, String& out, String* message) {
    std::vector<ClipLook> found;
    const Status status = looks(composition, found);
    if (!status)
        return treeFailure(status, message);
    return write(found, form, out, message);
}

} // namespace ZEM_0_81
