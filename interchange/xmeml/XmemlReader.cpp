// Xmeml::read: the document parsed (Xml::load), its sequences found
// (DocumentIndex), the one asked for or every one read (readSequence) into the
// compositions of one reel.

#include "interchange/Xmeml.h"

#include "composition/AdoptTree.h"
#include "interchange/TimelineChoice.h"
#include "interchange/xmeml/DocumentIndex.h"
#include "interchange/xmeml/ReadReport.h"
#include "interchange/xmeml/SequenceContext.h"
#include "interchange/xmeml/SequenceReader.h"
#include "interchange/xmeml/XmemlNames.h"
#include "interchange/xmeml/XmemlValues.h"
#include "interchange/xml/XmlText.h"

#include "outside/dmtree/DmCompositionNode.h"
#include "outside/dmtree/DmReelNode.h"
#include "outside/dmtree/DmRoot.h"

#include <cstring>
#include <vector>

namespace ZEM_0_81 {

namespace {

Status failedRead(Status::Type type, const std::string& why, String* message) {
    if (message)
        *message = String(why.c_str(), why.size());
    return Status(type);
}

} // namespace

Status Xmeml::read(const char* text, std::size_t length, const String& id,
                   SharedPtr<Composition>& out, LossReport& losses, String* message) {
    return read(text, length, id, ReadOptions(), out, losses, message);
}

Status Xmeml::read(const char* text, std::size_t length, const String& id,
                   const ReadOptions& options, SharedPtr<Composition>& out, LossReport& losses,
                   String* message) {
    using namespace Interchange;
    losses.clear();
    if (!text)
        length = 0;
    const TextLines lines(text, length);
    pugi::xml_document document;
    std::string why;
    if (!Xml::load(text, length, lines, document, why))
        return failedRead(Status::JsonConversionFailed, why, message);
    const pugi::xml_node root = document.document_element();
    if (!root || std::strcmp(root.name(), Fcp7::Names::kXmeml) != 0)
        return failedRead(Status::JsonConversionFailed,
                          std::string("not Final Cut Pro XML: the root element is <") +
                              (root ? root.name() : "") + ">, not <xmeml>",
                          message);

    const Fcp7::DocumentIndex index(root);
    const std::vector<pugi::xml_node>& sequences = index.sequences();
    if (sequences.empty())
        return failedRead(Status::NoData, "no timeline: the document holds no sequence", message);
    std::vector<std::string> names;
    names.reserve(sequences.size());
    for (const pugi::xml_node& sequence : sequences)
        names.push_back(Fcp7::childText(sequence, Fcp7::Names::kName));
    std::vector<pugi::xml_node> chosen = sequences;
    if (!options.timeline.empty()) {
        std::size_t at = 0;
        if (!chooseTimeline(options.timeline, names, at, why))
            return failedRead(Status::NoData, why, message);
        chosen = {sequences[at]};
    }

    Fcp7::ReadReport report(losses);
    // What a document gives once is kept again on each use within twice the
    // document's length, and 64 MiB.
    Fcp7::GivenOnce givenOnce((std::size_t(64) << 20) + 2 * length);
    const CoSharedPtr<DmReelNode> reel(DmReelNode::create());
    for (const pugi::xml_node& sequence : chosen)
        reel->addComposition(Fcp7::readSequence(sequence, index, report, givenOnce).get());
    const CoSharedPtr<DmRoot> tree(DmRoot::create());
    tree->addReel(reel.get());
    out = adoptTree(id, tree.get());
    return Status();
}

} // namespace ZEM_0_81
