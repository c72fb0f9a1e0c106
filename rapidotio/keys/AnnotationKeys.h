#pragma once

namespace ZEM_0_81::rapidotio::keys {

/// "Annotation.1": "OTIO_SCHEMA" only; its strokes and captions are its "layers".
struct AnnotationKeys {
    static constexpr const char* schema = "Annotation.1";
    static constexpr const char* typeWord = "Annotation";
};

} // namespace ZEM_0_81::rapidotio::keys
