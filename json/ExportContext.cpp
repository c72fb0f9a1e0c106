// The frame of an OTIO export: the stack of open rapidotio nodes and the two
// frame rates the visits share.

#include "json/ExportContext.h"

#include "json/EditTree.h"
#include "outside/core/Rational.h"
#include "outside/core/String.h"
#include "outside/dmtree/DmString.h"
#include "rapidotio/DocumentWriter.h"
#include "rapidotio/RootNode.h"

namespace ZEM_0_81::Json {

ExportContext::ExportContext() {
    nodeStack.push_back(SharedPtr<rapidotio::Node>(new rapidotio::RootNode(std::string())));
}

ExportContext::ExportContext(rapidotio::DocumentStream& stream) : ExportContext() {
    this->stream = &stream;
}

ExportContext::~ExportContext() = default;

void ExportContext::appendChild(const SharedPtr<rapidotio::Node>& node) {
    if (!stream) {
        nodeStack.back()->addChild(node);
        return;
    }
    // Written whole now and let go with the caller's reference: its owner does
    // not keep it.
    node->parent = nodeStack.back().get();
    stream->add(*node);
}

void ExportContext::push(const SharedPtr<rapidotio::Node>& node) {
    nodeStack.back()->addChild(node);
    nodeStack.push_back(node);
    if (stream)
        stream->open(*node);
}

void ExportContext::pop() {
    if (nodeStack.size() < 2)
        return;
    if (stream)
        stream->close();
    nodeStack.pop_back();
}

std::string textOf(const DmString& text) {
    return std::string(DmStr2CStr(text).c_str());
}

double frameRateOf(const DmString& fcm) {
    // A text the core library cannot read gives 0/1, and every rate written from
    // it follows.
    return EditTree::rateOf(fcm).getValue();
}

} // namespace ZEM_0_81::Json
