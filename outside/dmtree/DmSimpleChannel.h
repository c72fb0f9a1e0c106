#pragma once

#include "outside/dmtree/DmPropertySet.h"

/// A constant attribute value held as text (e.g. a blend mode or a justification).
class KRDMTREE_API DmSimpleChannel : public DmPropertySet {
public:
    /// A channel holding `text`, without a reference taken.
    static DmSimpleChannel* create(DmString text);

    DmString getValue() const { return m_value; }

    CoSharedPtr<DmPropertySet> clone() const override;

protected:
    explicit DmSimpleChannel(DmString text) : m_value(std::move(text)) {}
    DmSimpleChannel(const DmSimpleChannel&) = default;

private:
    DmString m_value;
};
