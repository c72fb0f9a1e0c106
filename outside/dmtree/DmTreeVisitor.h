#pragma once

#include "outside/dmtree/DmApi.h"
#include "outside/dmtree/DmString.h"

class DmCompositionNode;
class DmTrackNode;
class DmLayerNode;
class DmTransitionNode; // declared only: no such node is made by this library
class DmCutNode;
class DmTrxEffectNode; // declared only
class DmSegmentNode;
class DmSourceNode;
class DmContainerNode;
class DmGapNode;
class DmBlobNode;    // declared only
class DmBatchFxNode; // declared only

/// Operations a tree walk (DmPreIt) calls, one per node kind, plus the end
/// operations called after the subtree of a composition, a track and a layer.
/// Every visitor defines the source and gap visits and the three end operations;
/// the other visits do nothing unless overridden. The order of the operations is
/// part of the interface.
class KRDMTREE_API DmTreeVisitor {
public:
    explicit DmTreeVisitor(const char* name);
    virtual ~DmTreeVisitor();

    virtual void visitCompositionNode(DmCompositionNode* node);
    virtual void visitTrackNode(DmTrackNode* node);
    virtual void visitLayerNode(DmLayerNode* node);
    virtual void visitTransitionNode(DmTransitionNode* node);
    virtual void visitCutNode(DmCutNode* node);
    virtual void visitTrxEffectNode(DmTrxEffectNode* node);
    virtual void visitSegmentNode(DmSegmentNode* node);
    virtual void visitSourceNode(DmSourceNode* node) = 0;
    virtual void visitContainerNode(DmContainerNode* node);
    virtual void visitGapNode(DmGapNode* node) = 0;
    virtual void visitBlobNode(DmBlobNode* node);
    virtual void visitBatchFxNode(DmBatchFxNode* node);
    virtual void endCompositionNode(DmCompositionNode* node) = 0;
    virtual void endTrackNode(DmTrackNode* node) = 0;
    virtual void endLayerNode(DmLayerNode* node) = 0;

    /// The name given at construction.
    const char* getVisitorName() const;

private:
    DmString m_name;
};
