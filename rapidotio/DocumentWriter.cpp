#include "rapidotio/DocumentWriter.h"

#include "composition/JsonException.h"

#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <string>

namespace ZEM_0_81::rapidotio {

void writeDocument(const std::vector<SharedPtr<Node>>& nodes, DmString& out) {
    if (nodes.empty() || !nodes.front())
        return;

    Allocator allocator(65536);
    Document document(&allocator);
    document.SetObject();
    // A RootNode writes nothing itself and hands the top-level object to the
    // timeline, which fills it.
    nodes.front()->toJson(document, allocator);

    rapidjson::StringBuffer buffer(nullptr, 256);
    rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
    // The writer refuses NaN and infinity; the text would stop there, so the
    // whole export fails instead of handing out a truncated document.
    if (!document.Accept(writer))
        throw Json::Exception("OTIO JSON cannot hold a number that is not finite",
                              Status(Status::JsonConversionFailed));
    out = DmString(std::string(buffer.GetString(), buffer.GetSize()));
}

} // namespace ZEM_0_81::rapidotio
