#pragma once

#include "outside/dmtree/DmFrameResolution.h"
#include "outside/dmtree/DmTreeNode.h"

/// A composition: start timecode with its frame-count mode text, length in frames,
/// frame-count mode text and an optional frame resolution; its children are tracks.
class KRDMTREE_API DmCompositionNode : public DmTreeNode {
public:
    /// A composition named `name` with frame-count mode `fcm` (also the start-TC
    /// mode), start TC 0 and length 0, holding a counted reference to `resolution`
    /// (may be null). No reference is taken on the result.
    static DmCompositionNode* create(const DmString& name, const DmString& fcm,
                                     DmFrameResolution* resolution);

    double getStartTC() const { return m_startTC; }
    /// Sets the start TC (frames) and the frame-count mode text it is counted in.
    void setStartTC(double tc, const DmString& fcm);
    DmString getStartTcFcm() const { return m_startTcFcm; }
    DmString getFcm() const { return m_fcm; }
    double getCompLength() const { return m_length; }
    void setCompLength(double length) { m_length = length; }
    /// The resolution given to create (null when none); the node keeps its reference.
    DmFrameResolution* getResolution() const { return m_resolution.get(); }

    void accept(DmTreeVisitor& visitor) override;
    void acceptEnd(DmTreeVisitor& visitor) override;

protected:
    DmTreeNode* copyNode() const override;
    DmCompositionNode(const DmString& name, const DmString& fcm, DmFrameResolution* resolution);
    DmCompositionNode(const DmCompositionNode& other);

private:
    double m_startTC = 0.0;
    DmString m_startTcFcm;
    DmString m_fcm;
    double m_length = 0.0;
    CoSharedPtr<DmFrameResolution> m_resolution;
};
