#pragma once

#include "outside/dmtree/DmPropertySet.h"

/// One key of an animation channel: a time, a single-precision value, an
/// interpolation mode and order, four further parameters and a count, all kept
/// as given.
class KRDMTREE_API DmKeyFrame : public DmPropertySet {
public:
    /// Interpolation mode; other integer values may be carried too.
    enum InterpMode : std::int32_t {
        kInterpDefault = 2, ///< the mode new keys are made with
    };
    /// Interpolation order; other integer values may be carried too.
    enum InterpOrder : std::int32_t {
        kOrderDefault = 0,
    };

    /// The key-frame format version this library writes.
    static std::uint32_t getCurrentVersion();

    /// A key without a reference taken; `a` to `d` are parameters 0 to 3.
    static DmKeyFrame* create2(double time, float value, InterpMode mode, InterpOrder order,
                               double a, double b, double c, double d, std::uint32_t count);

    double getTime() const { return m_time; }
    float getValue() const { return m_value; }
    InterpMode getInterpMode() const { return m_mode; }
    InterpOrder getInterpOrder() const { return m_order; }
    /// Parameter `index` (0 to 3, the a to d of create2); 0 past the end.
    double getParameter(std::uint32_t index) const {
        return index < kNbParameters ? m_parameters[index] : 0.0;
    }
    std::uint32_t getCount() const { return m_count; }

    static constexpr std::uint32_t kNbParameters = 4;

    CoSharedPtr<DmPropertySet> clone() const override;

protected:
    DmKeyFrame(double time, float value, InterpMode mode, InterpOrder order, double a, double b,
               double c, double d, std::uint32_t count)
        : m_time(time), m_value(value), m_mode(mode), m_order(order), m_parameters{a, b, c, d},
          m_count(count) {}
    DmKeyFrame(const DmKeyFrame&) = default;

private:
    double m_time;
    float m_value;
    InterpMode m_mode;
    InterpOrder m_order;
    double m_parameters[kNbParameters];
    std::uint32_t m_count;
};
