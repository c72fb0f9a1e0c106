#include "json/OtioExport.h"

#include "composition/JsonException.h"
#include "outside/core/String.h"
#include "outside/dmtree/DmRoot.h"
#include "outside/dmtree/DmString.h"
#include "outside/dmtree/DmTreeIterator.h"
#include "rapidotio/DocumentWriter.h"
#include "json/DmTreeExporter.h"

#include <string>

namespace ZEM_0_81 {

Status exportOtioJson(const CoSharedPtr<DmRoot>& tree, String& out) {
    try {
        rapidotio::DocumentStream stream;
        Json::DmTreeExporter exporter(stream);
        {
            // A null tree is walked as an empty one and prints "{}".
            DmPreIt iterator(tree.get(), &exporter);
            iterator.traverse();
        }
        // `out` is only replaced by a complete document.
        out = stream.finish();
    } catch (const Json::Exception& e) {
        return Json::statusFromException(e);
    }
    return Status();
}

Status exportOtioJson(const CoSharedPtr<DmRoot>& tree, DmString& out) {
    String text;
    const Status status = exportOtioJson(tree, text);
    if (status)
        out = DmString(std::string(text.c_str(), text.size()));
    return status;
}

} // namespace ZEM_0_81
