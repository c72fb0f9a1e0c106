// Fcpxml::read: the document parsed (Xml::load), its resources indexed
// (Resources), each project's storylines placed (StoryWalk) and built into a
// composition (TimelineBuild).

#include "interchange/Fcpxml.h"

#include "composition/AdoptTree.h"
#include "interchange/TimelineChoice.h"
#include "interchange/fcpxml/ElementReport.h"
#include "interchange/fcpxml/FcpxmlKept.h"
#include "interchange/fcpxml/Resources.h"
#include "interchange/fcpxml/StoryWalk.h"
#include "interchange/fcpxml/TimelineBuild.h"
#include "interchange/places/TextLines.h"
#include "interchange/xml/XmlText.h"

#include "outside/dmtree/DmCompositionNode.h"
#include "outside/dmtree/DmReelNode.h"
#include "outside/dmtree/DmRoot.h"

#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <cstring>
#include <vector>

namespace ZEM_0_81 {

namespace {

namespace Fcpx = Interchange::Fcpx;
using Fcpx::ElementReport;
using Fcpx::Format;
using Fcpx::isNamed;
using Fcpx::isStoryElement;
using Fcpx::Resources;
using Fcpx::SequenceInfo;
using Fcpx::StoryWalk;
using Fcpx::xmlText;
namespace Kept = Fcpx::Kept;

constexpr const char* kRoot = "fcpxml";

Status readFailed(Status::Type type, const std::string& why, String* message) {
    if (message)
        *message = String(why.c_str(), why.size());
    return Status(type);
}

/// A project of the document, with the event and library it is in.
struct Project {
    pugi::xml_node node;
    pugi::xml_node event;
    pugi::xml_node library;
};

/// The projects of `root` in document order: its own, its events', its
/// library's events'. What else the document holds as timeline items (clips
/// of an event) is reported: only projects are timelines.
std::vector<Project> projectsOf(const pugi::xml_node& root, ElementReport& report) {
    std::vector<Project> projects;
    const auto items = [&](const pugi::xml_node& parent, const pugi::xml_node& event,
                           const pugi::xml_node& library) {
        for (const pugi::xml_node item : parent.children()) {
            if (item.type() != pugi::node_element)
                continue;
            if (isNamed(item, "project"))
                projects.push_back(Project{item, event, library});
            else if (isStoryElement(item.name()))
                report.lose(item, "not read: a clip of an event, not a project; only projects "
                                  "are timelines");
        }
    };
    items(root, {}, {});
    for (const pugi::xml_node event : root.children("event"))
        items(event, event, {});
    for (const pugi::xml_node library : root.children("library"))
        for (const pugi::xml_node event : library.children("event"))
            items(event, event, library);
    return projects;
}

using KeptWriter = rapidjson::Writer<rapidjson::StringBuffer>;

/// The attributes of `node` but those `leftOut` as [[name, value], ...] under
/// `key`, and `extra` (a name and a value) when its name is not empty.
void pairs(KeptWriter& writer, const char* key, const pugi::xml_node& node,
           std::initializer_list<const char*> leftOut,
           const std::pair<const char*, std::string>& extra = {"", ""}) {
    writer.Key(key);
    writer.StartArray();
    if (*extra.first) {
        writer.StartArray();
        writer.String(extra.first);
        writer.String(extra.second.c_str(), static_cast<rapidjson::SizeType>(extra.second.size()));
        writer.EndArray();
    }
    for (const pugi::xml_attribute attribute : node.attributes()) {
        bool skip = false;
        for (const char* name : leftOut)
            skip = skip || std::strcmp(attribute.name(), name) == 0;
        if (skip)
            continue;
        writer.StartArray();
        writer.String(attribute.name());
        writer.String(attribute.value());
        writer.EndArray();
    }
    writer.EndArray();
}

/// The members of a composition's "fcpxml" dictionary.
std::string compositionKept(const pugi::xml_node& root, const Project& project,
                            const pugi::xml_node& sequence, const Format* format,
                            const Fcpx::Time& frame) {
    rapidjson::StringBuffer buffer;
    KeptWriter writer(buffer);
    writer.StartObject();
    writer.Key(Kept::kVersion);
    writer.String(root.attribute("version").value());
    writer.Key(Kept::kProject);
    writer.String(project.node.attribute("name").value());
    if (project.event) {
        writer.Key(Kept::kEvent);
        writer.String(project.event.attribute("name").value());
    }
    if (project.library) {
        writer.Key(Kept::kLibrary);
        writer.String(project.library.attribute("location").value());
    }
    pairs(writer, Kept::kSequence, sequence, {"format", "duration", "tcStart"});
    // The frame duration read, whatever the format said: the rate a timeline
    // timed at another is written back at.
    pairs(writer, Kept::kFormat, format ? format->node : pugi::xml_node(), {"id", "frameDuration"},
          {"frameDuration", frame.text()});
    std::vector<std::string> children;
    for (const pugi::xml_node child : sequence.children())
        if (isNamed(child, "note") || isNamed(child, "metadata"))
            children.push_back(xmlText(child));
    if (!children.empty()) {
        writer.Key(Kept::kChildren);
        writer.StartArray();
        for (const std::string& child : children)
            writer.String(child.c_str(), static_cast<rapidjson::SizeType>(child.size()));
        writer.EndArray();
    }
    writer.EndObject();
    return std::string(buffer.GetString(), buffer.GetSize());
}

/// The composition of `project`.
CoSharedPtr<DmCompositionNode> readProject(const pugi::xml_node& root, const Project& project,
                                           const Resources& resources, ElementReport& report) {
    const pugi::xml_node sequence = project.node.child("sequence");
    SequenceInfo info;
    info.name = project.node.attribute("name").value();
    info.format = resources.format(sequence.attribute("format").value());
    info.frame = info.format ? info.format->frameDuration : Fcpx::Time::invalid();
    if (!info.frame.valid()) {
        report.lose(sequence, "its format gives no frame duration: read at 24 frames a second");
        info.frame = Fcpx::Time(1, 24);
    }
    Fcpx::Time value;
    const pugi::xml_attribute tcStart = sequence.attribute("tcStart");
    if (tcStart && Fcpx::parseTime(tcStart.value(), value))
        info.start = value;
    else if (tcStart)
        report.lose(sequence, "its tcStart is no time: the timeline starts at 0");
    if (Fcpx::parseTime(sequence.attribute("duration").value(), value))
        info.duration = value;
    info.kept = compositionKept(root, project, sequence, info.format, info.frame);
    StoryWalk walk(resources, report, info.frame);
    const pugi::xml_node spine = sequence.child("spine");
    if (spine)
        walk.run(spine);
    else
        report.lose(sequence ? sequence : project.node, "it holds no storyline: read empty");
    return Fcpx::buildComposition(info, walk, report);
}

} // namespace

Status Fcpxml::read(const char* text, std::size_t length, const String& id,
                    SharedPtr<Composition>& out, LossReport& losses, String* message) {
    return read(text, length, id, ReadOptions(), out, losses, message);
}

Status Fcpxml::read(const char* text, std::size_t length, const String& id,
                    const ReadOptions& options, SharedPtr<Composition>& out, LossReport& losses,
                    String* message) {
    losses.clear();
    if (!text)
        length = 0;
    const Interchange::TextLines lines(text, length);
    pugi::xml_document document;
    std::string why;
    if (!Interchange::Xml::load(text ? text : "", length, lines, document, why))
        return readFailed(Status::JsonSyntaxError, "not XML: " + why, message);
    const pugi::xml_node root = document.document_element();
    if (!isNamed(root, kRoot))
        return readFailed(Status::JsonConversionFailed,
                          std::string("not FCPXML: the root element is <") + root.name() +
                              ">, not <fcpxml>",
                          message);
    ElementReport report(losses);
    Resources resources;
    resources.read(root.child("resources"), report);
    const std::vector<Project> projects = projectsOf(root, report);
    if (projects.empty()) {
        losses.clear();
        return readFailed(Status::OtioImportFailed,
                          "no timeline: the document holds no project (FCPXML's timelines)",
                          message);
    }
    std::vector<std::string> names;
    for (const Project& project : projects)
        names.emplace_back(project.node.attribute("name").value());
    std::size_t chosen = 0;
    if (!options.timeline.empty() &&
        !Interchange::chooseTimeline(options.timeline, names, chosen, why)) {
        losses.clear();
        return readFailed(Status::NoData, why, message);
    }

    const CoSharedPtr<DmReelNode> reel(DmReelNode::create());
    for (std::size_t index = 0; index < projects.size(); ++index) {
        if (!options.timeline.empty() && index != chosen)
            continue;
        const CoSharedPtr<DmCompositionNode> composition =
            readProject(root, projects[index], resources, report);
        reel->addComposition(composition.get());
    }
    const CoSharedPtr<DmRoot> tree(DmRoot::create());
    tree->addReel(reel.get());
    out = adoptTree(id, tree.get());
    return Status();
}

bool Fcpxml::looksLikeFcpxml(const char* text, std::size_t length) {
    return text && Interchange::Xml::rootElementOf(text, length) == kRoot;
}

bool Fcpxml::versionFromText(const char* text, std::int32_t& version) {
    if (!text || std::strncmp(text, "1.", 2) != 0)
        return false;
    for (std::int32_t minor = kFirstVersion; minor <= kLastVersion; ++minor)
        if (std::strcmp(text + 2, std::to_string(minor).c_str()) == 0) {
            version = minor;
            return true;
        }
    return false;
}

} // namespace ZEM_0_81
