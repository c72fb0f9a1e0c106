#pragma once

#include "outside/dmtree/DmKeyFrame.h"

#include <vector>

/// An animated value: key frames in the order added, with the interpolation and
/// extrapolation types, version and parameter given to create.
class KRDMTREE_API DmAnimationChannel : public DmPropertySet {
public:
    /// Interpolation type of older channel versions; other integer values may be carried.
    enum DeprecatedInterpType : std::int32_t {
        kInterpTypeDefault = 0,
    };
    /// What the channel holds outside its keys; other integer values may be carried.
    enum ExtrapolationType : std::int32_t {
        kExtrapolationConstant = 0,
    };

    /// An empty channel without a reference taken.
    static DmAnimationChannel* create(DeprecatedInterpType interp, ExtrapolationType extrapolation,
                                      std::uint32_t version, double parameter);

    /// Appends a key, keeping a counted reference; null is ignored.
    void addKeyFrame(DmKeyFrame* key);
    std::uint32_t getNbKeyFrames() const {
        return static_cast<std::uint32_t>((m_firstKey ? 1 : 0) + m_moreKeys.size());
    }
    /// The key at `index`, or null past the end.
    CoSharedPtr<DmKeyFrame> getKeyFrame(std::uint32_t index) const;

    DeprecatedInterpType getInterpType() const { return m_interp; }
    ExtrapolationType getExtrapolationType() const { return m_extrapolation; }
    std::uint32_t getVersion() const { return m_version; }
    double getParameter() const { return m_parameter; }

    CoSharedPtr<DmPropertySet> clone() const override;

protected:
    DmAnimationChannel(DeprecatedInterpType interp, ExtrapolationType extrapolation,
                       std::uint32_t version, double parameter)
        : m_interp(interp), m_extrapolation(extrapolation), m_version(version),
          m_parameter(parameter) {}
    /// Deep-copies every key.
    DmAnimationChannel(const DmAnimationChannel& other);

private:
    DeprecatedInterpType m_interp;
    ExtrapolationType m_extrapolation;
    std::uint32_t m_version;
    double m_parameter;
    // Most channels hold a single key (a constant value): the first key is held
    // in the channel itself, the others in a list of their own.
    CoSharedPtr<DmKeyFrame> m_firstKey;
    std::vector<CoSharedPtr<DmKeyFrame>> m_moreKeys;
};
