#include "json/DmTreeExporter.h"

#include "json/ExportContext.h"

namespace ZEM_0_81::Json {

namespace {
constexpr const char* kVisitorName = "OTIO to DmTree Exporter";
}

DmTreeExporter::DmTreeExporter() : DmTreeVisitor(kVisitorName), m_context(new ExportContext) {}

DmTreeExporter::DmTreeExporter(rapidotio::DocumentStream& stream)
    : DmTreeVisitor(kVisitorName), m_context(new ExportContext(stream)) {}

DmTreeExporter::~DmTreeExporter() {
    delete m_context;
}

void DmTreeExporter::visitCompositionNode(DmCompositionNode* node) {
    if (node)
        m_context->visitComposition(*node);
}

void DmTreeExporter::visitTrackNode(DmTrackNode* node) {
    if (node)
        m_context->visitTrack(*node);
}

void DmTreeExporter::visitLayerNode(DmLayerNode* node) {
    if (node)
        m_context->visitLayer(*node);
}

void DmTreeExporter::visitSourceNode(DmSourceNode* node) {
    if (node)
        m_context->visitSource(*node);
}

void DmTreeExporter::visitGapNode(DmGapNode* node) {
    if (node)
        m_context->visitGap(*node);
}

void DmTreeExporter::endCompositionNode(DmCompositionNode*) {
    m_context->pop();
}

void DmTreeExporter::endTrackNode(DmTrackNode*) {
    m_context->pop();
}

void DmTreeExporter::endLayerNode(DmLayerNode*) {
    m_context->pop();
}

const std::vector<SharedPtr<rapidotio::Node>>& DmTreeExporter::nodeStack() const {
    return m_context->nodeStack;
}

} // namespace ZEM_0_81::Json
