#include "json/OtioExport.h"

#include "composition/JsonException.h"
#include "outside/dmtree/DmRoot.h"
#include "outside/dmtree/DmTreeIterator.h"
#include "rapidotio/DocumentWriter.h"
#include "json/DmTreeExporter.h"

#include <utility>

namespace ZEM_0_81 {

Status exportOtioJson(const CoSharedPtr<DmRoot>& tree, DmString& out) {
    try {
        Json::DmTreeExporter exporter;
        {
            // A null tree is walked as an empty one and prints "{}".
            DmPreIt iterator(tree.get(), &exporter);
            iterator.traverse();
        }
        // Printed into a text of our own first, so that `out` is only replaced by a
        // complete document.
        DmString text;
        rapidotio::writeDocument(exporter.nodeStack(), text);
        out = std::move(text);
    } catch (const Json::Exception& e) {
        return Json::statusFromException(e);
    }
    return Status();
}

} // namespace ZEM_0_81
