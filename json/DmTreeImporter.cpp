#include "json/DmTreeImporter.h"

#include "outside/dmtree/DmCompositionNode.h"
#include "outside/dmtree/DmCutNode.h"
#include "outside/dmtree/DmLayerNode.h"
#include "outside/dmtree/DmReelNode.h"
#include "outside/dmtree/DmRoot.h"
#include "outside/dmtree/DmSegmentNode.h"
#include "outside/dmtree/DmTrackNode.h"
#include "json/DmTreeImporterImpl.h"
#include "json/HandOver.h"

namespace ZEM_0_81::Json {

DmTreeImporter::DmTreeImporter(const CoSharedPtr<DmRoot>& root) : m_impl(new Impl) {
    m_impl->root = root;
    m_impl->reel = DmReelNode::create();
    if (m_impl->root)
        m_impl->root->addReel(m_impl->reel.get());
}

DmTreeImporter::~DmTreeImporter() {
    delete m_impl;
}

void DmTreeImporter::Impl::placeSegment(eDmTreeMediaType mediaType) {
    if (segmentCount == 0) {
        layer->setLayerStartTC(recordPosition);
    } else if (segmentCount > 0) {
        handOver(DmCutNode::create(mediaType), [&](DmCutNode* cut) { layer->addChild(cut); });
    }
}

} // namespace ZEM_0_81::Json
