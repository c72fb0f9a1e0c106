#include "interchange/StandardOtio.h"

#include "composition/AdoptTree.h"
#include "composition/JsonException.h"
#include "interchange/otiostd/io/OtioWriter.h"
#include "interchange/otiostd/schemas/DocumentSchema.h"
#include "interchange/otiostd/schemas/TrackItems.h"

#include "outside/dmtree/DmTree.h"

#include <limits>

namespace ZEM_0_81 {

namespace {

Status failed(const Json::Exception& failure, String* message) {
    if (message)
        *message = String(failure.what());
    return Json::statusFromException(failure);
}

} // namespace

Status StandardOtio::write(const Composition& composition, String& out, String* message) {
    return write(composition, WriteOptions(), out, message);
}

Status StandardOtio::write(const Composition& composition, const WriteOptions& options, String& out,
                           String* message) {
    if (options.losses)
        options.losses->clear();
    if (options.version && *otioVersionName(*options.version) == '\0') {
        if (message)
            *message = String("no OpenTimelineIO release has that version");
        return Status(Status::JsonGenerationFailed);
    }
    Status status;
    const DmRoot& tree = composition.getTree(status);
    if (!status) {
        if (message)
            *message = String((std::string("the composition has no edit tree to write: ") +
                               status.getDescription())
                                  .c_str());
        return status;
    }
    try {
        Interchange::OtioWriter writer(options.version.value_or(kCurrentOtioVersion),
                                       options.version.has_value(), options.losses);
        Interchange::DocumentSchema::write(writer, tree);
        out = writer.takeText();
        return Status();
    } catch (const Json::Exception& failure) {
        return failed(failure, message);
    }
}

Status StandardOtio::read(const char* text, std::size_t length, const String& id,
                          SharedPtr<Composition>& out, LossReport& losses, String* message) {
    return read(text, length, id, ReadOptions(), out, losses, message);
}

Status StandardOtio::read(const char* text, std::size_t length, const String& id,
                          const ReadOptions& options, SharedPtr<Composition>& out,
                          LossReport& losses, String* message) {
    losses.clear();
    try {
        Interchange::TrackItems::Ahead ahead;
        if (!options.parseAhead)
            ahead.minBytes = std::numeric_limits<std::size_t>::max();
        CoSharedPtr<DmRoot> root = Interchange::DocumentSchema::readLeavingItems(
            text, length, options.timeline, ahead, losses);
        if (!root) {
            losses.clear();
            root = Interchange::DocumentSchema::readParsedWhole(text, length, options.timeline,
                                                                losses);
        }
        out = adoptTree(id, root.get());
        return Status();
    } catch (const Json::Exception& failure) {
        return failed(failure, message);
    }
}

} // namespace ZEM_0_81
