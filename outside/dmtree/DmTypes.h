#pragma once

#include "outside/dmtree/DmApi.h"
#include "outside/dmtree/DmString.h"

#include <cstdint>

/// Result codes of edit-tree operations; 0 is success. Any other integer may be
/// carried (the enumeration has a fixed 32-bit underlying type).
enum eDmErrorId : std::int32_t {
    eDmSuccess = 0,
    eDmErrorUnset = 1,       ///< the value asked for was never set
    eDmErrorWrongType = 2,   ///< the value exists with another type
    eDmErrorBadArgument = 3, ///< a null pointer or an unknown type was passed
};

/// Media type of tracks, layers, segments and inputs.
enum eDmTreeMediaType : std::int32_t {
    eDmMediaUnset = 0,
    eDmMediaVideo = 1,
    eDmMediaAudio = 2,
};

/// Value types of DmPropertySet properties, and what the value pointer points to.
enum eDmPropType : std::int32_t {
    eDmPropBool = 1,    ///< bool
    eDmPropInt32 = 3,   ///< std::int32_t
    eDmPropFloat = 9,   ///< float
    eDmPropDouble = 11, ///< double
    eDmPropString = 13, ///< DmString
};

/// Outcome of the JSON importer and builder: success, or failure with a message
/// saying what was wrong and where.
class KRDMTREE_API DmStatus {
public:
    /// Success.
    DmStatus() = default;
    /// Failure with a message.
    static DmStatus failure(const DmString& message) { return DmStatus(message); }

    bool ok() const { return m_ok; }
    /// Empty on success.
    const DmString& getMessage() const { return m_message; }

private:
    explicit DmStatus(const DmString& message) : m_ok(false), m_message(message) {}

    bool m_ok = true;
    DmString m_message;
};
