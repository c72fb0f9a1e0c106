#pragma once

#include "outside/core/CoreApi.h"

#include <cstdint>

namespace ZEM_0_81 {

/// The result of an operation: a numeric code, 0 for success. Every other code
/// is a failure. A default-constructed Status is a success.
class ZEMCORE_API Status {
public:
    enum Type : std::int32_t {
        Success = 0,
        NoData = 512,                 ///< no tree and no text, or no reel and composition node
        DmTreeJsonImportFailed = 515, ///< the edit-tree JSON could not be imported
        JsonGenerationFailed = 516,   ///< no JSON text could be produced from the tree
        OtioImportFailed = 517,       ///< the OTIO JSON could not be imported
        SourceWithoutInput = 528,     ///< a source segment has no media input
        InputWithoutResolution = 529, ///< a media input has no primary resolution
        JsonSyntaxError = 775,        ///< the text is not well-formed JSON
        JsonConversionFailed = 780,   ///< any other failure of a JSON conversion
        NoFrameRateText = 1001,       ///< a rate has no frame-rate text, or a text no rate
    };

    Status() = default;
    Status(Type type) : m_type(type) {}

    void set(Type type) { m_type = type; }

    /// True for success.
    explicit operator bool() const { return m_type == Success; }

    std::int32_t getCode() const { return m_type; }
    Type getType() const { return m_type; }

    /// A short English description of the code ("success", "no data", ...);
    /// "unknown status" for a code not listed above.
    const char* getDescription() const;

    bool operator==(const Status& other) const { return m_type == other.m_type; }
    bool operator!=(const Status& other) const { return m_type != other.m_type; }

private:
    Type m_type = Success;
};

} // namespace ZEM_0_81
