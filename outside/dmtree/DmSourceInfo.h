#pragma once

#include "outside/dmtree/DmPropertySet.h"

#include <vector>

/// Where a media input's media lives: sequence paths in the order added, a source
/// type, a file type, a folder path and the original source's UID text.
class KRDMTREE_API DmSourceInfo : public DmPropertySet {
public:
    /// Kind of source; other integer values may be carried too.
    enum SourceType : std::int32_t {
        kSourceTypeNone = 0,
        kSourceTypeFile = 4,
        kSourceTypeMovie = 10,
    };
    /// Kind of file; other integer values may be carried too.
    enum FileType : std::int32_t {
        kFileTypeNone = 0,
        kFileTypeFile = 1,
        kFileTypeMovie = 2,
    };

    /// Empty information (types 0, texts "") without a reference taken.
    static DmSourceInfo* create();

    /// Appends `path`; the texts a setter takes by value are moved in, not copied.
    void addSequence(DmString path) { m_sequences.push_back(std::move(path)); }
    std::uint32_t getNbSequences() const { return static_cast<std::uint32_t>(m_sequences.size()); }
    /// The sequence at `index`, or "" past the end.
    DmString getSequence(std::uint32_t index) const;

    void setSourceType(SourceType type) { m_sourceType = type; }
    SourceType getSourceType() const { return m_sourceType; }
    void setFileType(FileType type) { m_fileType = type; }
    FileType getFileType() const { return m_fileType; }
    void setPath(DmString path) { m_path = std::move(path); }
    DmString getPath() const { return m_path; }
    void setOriginalSourceUID(DmString uid) { m_originalSourceUID = std::move(uid); }
    DmString getOriginalSourceUID() const { return m_originalSourceUID; }

    CoSharedPtr<DmPropertySet> clone() const override;

protected:
    DmSourceInfo() = default;
    DmSourceInfo(const DmSourceInfo&) = default;

private:
    std::vector<DmString> m_sequences;
    SourceType m_sourceType = kSourceTypeNone;
    FileType m_fileType = kFileTypeNone;
    DmString m_path;
    DmString m_originalSourceUID;
};
