#pragma once

#include "outside/dmtree/DmPropertySet.h"

/// A picture's geometry: centre and size (doubles), width and height in pixels,
/// pixel depth and frame ratio. Every value starts unset; the getter of an unset
/// value returns eDmErrorUnset and leaves its out-parameters untouched.
class KRDMTREE_API DmFrameResolution : public DmPropertySet {
public:
    /// A resolution with every value unset, without a reference taken.
    static DmFrameResolution* create();

    void setCenterX(double value) { m_centerX = Optional<double>{value, true}; }
    void setCenterY(double value) { m_centerY = Optional<double>{value, true}; }
    void setSizeX(double value) { m_sizeX = Optional<double>{value, true}; }
    void setSizeY(double value) { m_sizeY = Optional<double>{value, true}; }
    void setWidth(std::int32_t value) { m_width = Optional<std::int32_t>{value, true}; }
    void setHeight(std::int32_t value) { m_height = Optional<std::int32_t>{value, true}; }
    /// Bits per channel, number of channels, floating-point samples, and a flag kept
    /// as given.
    void setDepth(std::int32_t bits, std::int32_t channels, bool isFloat, bool flag);
    void setFrameRatio(float value) { m_frameRatio = Optional<float>{value, true}; }

    eDmErrorId getCenterX(double& out) const { return read(m_centerX, out); }
    eDmErrorId getCenterY(double& out) const { return read(m_centerY, out); }
    eDmErrorId getSizeX(double& out) const { return read(m_sizeX, out); }
    eDmErrorId getSizeY(double& out) const { return read(m_sizeY, out); }
    eDmErrorId getWidth(std::int32_t& out) const { return read(m_width, out); }
    eDmErrorId getHeight(std::int32_t& out) const { return read(m_height, out); }
    eDmErrorId getDepth(std::int32_t& bits, std::int32_t& channels, bool& isFloat,
                        bool& flag) const;
    eDmErrorId getFrameRatio(float& out) const { return read(m_frameRatio, out); }

    CoSharedPtr<DmPropertySet> clone() const override;

protected:
    DmFrameResolution() = default;
    DmFrameResolution(const DmFrameResolution&) = default;

private:
    template <class T> struct Optional {
        T value{};
        bool set = false;
    };
    template <class T> static eDmErrorId read(const Optional<T>& from, T& out) {
        if (!from.set)
            return eDmErrorUnset;
        out = from.value;
        return eDmSuccess;
    }

    Optional<double> m_centerX;
    Optional<double> m_centerY;
    Optional<double> m_sizeX;
    Optional<double> m_sizeY;
    Optional<std::int32_t> m_width;
    Optional<std::int32_t> m_height;
    bool m_depthSet = false;
    std::int32_t m_bits = 0;
    std::int32_t m_channels = 0;
    bool m_isFloat = false;
    bool m_depthFlag = false;
    Optional<float> m_frameRatio;
};
