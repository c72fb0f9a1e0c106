#pragma once

#include "rapidotio/MediaVocabulary.h"
#include "rapidotio/Node.h"

#include "rapidotio/TimeValues.h"
#include "rapidotio/keys/ClipKeys.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace ZEM_0_81::rapidotio {

/// "Clip.1": a piece of media placed on a track, with its media reference
/// ("ExternalReference.1") and product metadata. Reads the metadata written by
/// this system ("metadata" → "zem") and the production-tracking form
/// ("metadata" → "zm"); always writes the "zem" form. Its effects are its children.
class ClipNode final : public Node {
public:
    using Parent = Node;
    static constexpr const char* schema = keys::ClipKeys::schema;

    /// Reads "source_range", "media_reference" and "metadata" (see ClipNode.cpp
    /// for the order of lookups).
    ClipNode(const Value& json, Node* parent);
    /// All fields at their defaults.
    explicit ClipNode(const std::string& name);

    void accept(NodeVisitor& visitor) override;
    void leave(NodeVisitor& visitor) override;
    /// An element of its track's "children"; every field is written.
    Placement placement() const override;
    void toJson(MemberWriter& writer) const override;
    const char* childrenKey() const override;

    /// Reads `object`'s "entity" object: "id" (signed 32-bit) into entity_id,
    /// "type" (string) into entity_type. Fields not found keep their values.
    void readEntity(const Value& object);

    TimeRange available_range;
    TimeRange source_range;
    std::string target_url;
    double bounds_center_x = 0;
    double bounds_center_y = 0;
    double bounds_size_width = 0;
    double bounds_size_height = 0;
    std::string clip_uid;
    std::int32_t entity_id = 0;
    std::string entity_type;
    std::string path_file;
    std::string path_mp4;
    std::string path_movie;
    std::int32_t pixel_resolution_width = -1;
    std::int32_t pixel_resolution_height = -1;
    std::string data_type;
    std::int32_t num_video_channels = -1;
    double pixel_aspect = 0;
    double frame_rate = 0;
    bool has_audio = false;
    double audio_sample_rate = 0;
    std::int32_t num_audio_channels = -1;
    std::string video_codec = MediaVocabulary::kUnknown;
    std::string audio_codec = MediaVocabulary::kUnknown;
    std::int32_t file_size_in_bytes = -1;
    /// Media "extra_data" members in document order: (name, text). A string
    /// value gives its text; a number, true, false or null its JSON text; a
    /// member holding an object or array is skipped.
    std::vector<std::pair<std::string, std::string>> extra_data;

private:
    void readMediaReference(const Value& reference);
    void readMediaMetadata(const Value& zem);
    void readTrackingRecord(const Value& zm);
    void readBounds(const Value& bounds);
    /// Reads the two-number array `key` of a "bounds" object into `first` and
    /// `second`; any other count prints `countMessage` and takes nothing.
    void readBoundsPair(const Value& bounds, const char* key, const char* countMessage,
                        double& first, double& second);
    void readClipMetadata(const Value& metadata);
};

} // namespace ZEM_0_81::rapidotio
