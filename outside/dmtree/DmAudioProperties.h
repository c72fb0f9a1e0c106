#pragma once

#include "outside/dmtree/DmPropertySet.h"

/// Audio of a media input: number of channels and sampling rate, both 0 until set.
class KRDMTREE_API DmAudioProperties : public DmPropertySet {
public:
    /// Properties without a reference taken.
    static DmAudioProperties* create();

    void setNbChannels(std::int32_t channels) { m_channels = channels; }
    std::int32_t getNbChannels() const { return m_channels; }
    void setSamplingRate(double rate) { m_samplingRate = rate; }
    double getSamplingRate() const { return m_samplingRate; }

    CoSharedPtr<DmPropertySet> clone() const override;

protected:
    DmAudioProperties() = default;
    DmAudioProperties(const DmAudioProperties&) = default;

private:
    std::int32_t m_channels = 0;
    double m_samplingRate = 0.0;
};
