#include "interchange/Documents.h"

#include "interchange/EdlRead.h"
#include "interchange/Fcpxml.h"
#include "interchange/StandardOtio.h"
#include "interchange/TimelineChoice.h"
#include "interchange/Xmeml.h"
#include "strictjson/StrictParse.h"

#include "outside/dmtree/DmCompositionNode.h"
#include "outside/dmtree/DmReelNode.h"
#include "outside/dmtree/DmRoot.h"

#include <cstring>
#include <optional>
#include <string>
#include <strings.h>
#include <utility>
#include <vector>

namespace ZEM_0_81 {

namespace {

Composition::JsonType jsonTypeOf(Dialect dialect) {
    return dialect == Dialect::Otio ? Composition::JsonType::Otio : Composition::JsonType::DmTree;
}

/// "LINE:COLUMN: reason" when `text` is not well-formed JSON, else "".
/// `nanAndInfinity` lets NaN and Infinity literals through, as standard OTIO does.
std::string syntaxError(const char* text, bool nanAndInfinity) {
    const std::optional<StrictJson::SyntaxError> error =
        nanAndInfinity ? StrictJson::findSyntaxError<rapidjson::kParseNanAndInfFlag>(text)
                       : StrictJson::findSyntaxError(text);
    if (!error)
        return {};
    return std::to_string(error->line) + ":" + std::to_string(error->column) + ": " + error->reason;
}

/// Where and why the read of `text` failed, for Reading::where.
std::string whereOf(const char* text, const std::string& name, Dialect dialect,
                    const String& message) {
    const std::string syntax =
        dialect == Dialect::Edl || dialect == Dialect::Xmeml || dialect == Dialect::Fcpxml
            ? std::string()
            : syntaxError(text, dialect == Dialect::OtioStandard);
    if (!syntax.empty())
        return name + ":" + syntax;
    if (!message.empty())
        return name + ": " + message.c_str();
    return name;
}

/// The names of the compositions of `composition`'s tree, in the tree's order.
std::vector<std::string> timelineNames(const Composition& composition) {
    std::vector<std::string> names;
    Status status;
    const DmRoot& root = composition.getTree(status);
    if (!status)
        return names;
    for (std::uint32_t r = 0; r < root.getNbChildren(); ++r) {
        const auto* reel = dynamic_cast<const DmReelNode*>(root.getChild(r));
        for (std::uint32_t c = 0; reel && c < reel->getNbChildren(); ++c)
            if (const auto* node = dynamic_cast<const DmCompositionNode*>(reel->getChild(c)))
                names.emplace_back(node->getName().str());
    }
    return names;
}

/// The failure of a read whose timeline `choice` does not name the one it reads
/// (a dialect of one timeline, or edit-tree JSON, which is read whole), or an
/// empty message.
std::string wrongTimeline(const Composition& composition, const std::string& choice) {
    const std::vector<std::string> names = timelineNames(composition);
    std::size_t index = 0;
    std::string why;
    if (!Interchange::chooseTimeline(choice, names, index, why))
        return why;
    if (index != 0)
        return "timeline \"" + choice +
               "\" is not the first: edit-tree JSON is read whole, "
               "its first timeline the one answered for";
    return {};
}

} // namespace

DocumentReading Documents::read(const char* text, std::size_t length, const String& id,
                                const DocumentReadOptions& options) {
    DocumentReading reading;
    reading.dialect = options.dialect ? *options.dialect : detectDialect(text, length);
    String message;
    if (reading.dialect == Dialect::OtioStandard || reading.dialect == Dialect::Edl ||
        reading.dialect == Dialect::Xmeml || reading.dialect == Dialect::Fcpxml) {
        if (reading.dialect == Dialect::Edl)
            reading.status =
                Interchange::Cmx::readList(text, length, options.rate, id, options.untitled,
                                           reading.composition, reading.losses, &message);
        else if (reading.dialect == Dialect::Xmeml)
            reading.status = Xmeml::read(text, length, id, Xmeml::ReadOptions{options.timeline},
                                         reading.composition, reading.losses, &message);
        else if (reading.dialect == Dialect::Fcpxml)
            reading.status = Fcpxml::read(text, length, id, Fcpxml::ReadOptions{options.timeline},
                                          reading.composition, reading.losses, &message);
        else
            reading.status =
                StandardOtio::read(text, length, id, StandardOtio::ReadOptions{options.timeline},
                                   reading.composition, reading.losses, &message);
        if (!reading.status) {
            // Nothing read: a composition without content stands in for the document.
            Composition::create(reading.composition, id, "", Rational(24, 1));
            reading.composition->setJson(Composition::JsonType::DmTree, String());
        }
    } else {
        // Any valid rate will do: the content is replaced by the document at once.
        Composition::create(reading.composition, id, "", Rational(24, 1));
        reading.composition->setJson(jsonTypeOf(reading.dialect), String(text, length));
        reading.composition->getTree(reading.status);
    }
    // Dialects of several timelines choose among them as they read.
    const bool chooses = reading.dialect == Dialect::OtioStandard ||
                         reading.dialect == Dialect::Xmeml || reading.dialect == Dialect::Fcpxml;
    if (reading.status && !options.timeline.empty() && !chooses) {
        const std::string why = wrongTimeline(*reading.composition, options.timeline);
        if (!why.empty()) {
            reading.status = Status(Status::NoData);
            message = String(why.c_str());
            Composition::create(reading.composition, id, "", Rational(24, 1));
            reading.composition->setJson(Composition::JsonType::DmTree, String());
            reading.losses.clear();
        }
    }
    if (!reading.status)
        reading.where = whereOf(text, options.name, reading.dialect, message);
    return reading;
}

Status Documents::write(const Composition& composition, Dialect dialect, String& text,
                        LossReport& losses, String* message) {
    return write(composition, dialect, DocumentWriteOptions(), text, losses, message);
}

Status Documents::write(const Composition& composition, Dialect dialect,
                        const DocumentWriteOptions& options, String& text, LossReport& losses,
                        String* message) {
    losses.clear();
    if (message)
        *message = String();
    if (dialect == Dialect::Edl)
        return Edl::write(composition, options.edl, text, losses, message);
    if (dialect == Dialect::Xmeml)
        return Xmeml::write(composition, text, losses, message);
    if (dialect == Dialect::Fcpxml)
        return Fcpxml::write(composition, options.fcpxml, text, losses, message);
    if (dialect == Dialect::OtioStandard) {
        if (!options.otioVersion)
            return StandardOtio::write(composition, text, message);
        StandardOtio::WriteOptions release;
        release.version = options.otioVersion;
        release.losses = &losses;
        return StandardOtio::write(composition, release, text, message);
    }
    // Through a fresh composition holding a copy of the tree: one read from a
    // text would give that text back, not what its exporter writes.
    Status status;
    const DmRoot& tree = composition.getTree(status);
    if (!status)
        return status;
    const SharedPtr<Composition> fresh = Composition::create(composition.getId(), tree);
    return fresh->getJson(jsonTypeOf(dialect), text);
}

bool Documents::dialectOfPath(const std::string& path, Dialect& dialect) {
    const auto endsWith = [](const std::string& text, const char* end) {
        const std::size_t size = std::strlen(end);
        return text.size() >= size && strcasecmp(text.c_str() + text.size() - size, end) == 0;
    };
    std::string name = path; // a bundle folder may be named with a final "/"
    name.erase(name.find_last_not_of('/') + 1);
    if (endsWith(path, ".edl")) {
        dialect = Dialect::Edl;
        return true;
    }
    if (endsWith(path, ".xml")) {
        dialect = Dialect::Xmeml;
        return true;
    }
    if (endsWith(path, ".fcpxml") || endsWith(name, ".fcpxmld")) {
        dialect = Dialect::Fcpxml;
        return true;
    }
    return false;
}

std::string Documents::describe(const Status& status) {
    return "status " + std::to_string(status.getCode()) + ": " + status.getDescription();
}

} // namespace ZEM_0_81
