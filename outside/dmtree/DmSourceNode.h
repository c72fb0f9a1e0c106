#pragma once

#include "outside/dmtree/DmAudioProperties.h"
#include "outside/dmtree/DmFrameResolution.h"
#include "outside/dmtree/DmSegmentNode.h"
#include "outside/dmtree/DmSourceInfo.h"

#include <vector>

/// A source segment: plays media from one or more inputs. The first input is the
/// primary one; its available range gives the source-in and source length.
class KRDMTREE_API DmSourceNode : public DmSegmentNode {
public:
    /// Base of the inputs of a source: available range (frames at the source's rate),
    /// source information, frame-count mode text, media type, a flag, and an optional
    /// primary frame resolution and audio properties. Made through MediaInput::create.
    class KRDMTREE_API Input : public DmPropertySet {
    public:
        ~Input() override;

        /// The source information given to create (may be null); the input keeps it.
        virtual DmSourceInfo* getSrcInfo() const;
        /// Null until set; the input keeps its reference.
        DmFrameResolution* getPrimaryRes() const { return m_primaryRes.get(); }
        /// Keeps a counted reference to `res` (null clears).
        void setPrimaryRes(DmFrameResolution* res) { m_primaryRes = res; }
        /// Null until set.
        CoSharedPtr<DmAudioProperties> getAudioProperties() const { return m_audio; }
        /// Keeps a counted reference to `audio` (null clears).
        void setAudioProperties(DmAudioProperties* audio) { m_audio = audio; }
        /// The frame-rate text given to create.
        DmString getFcm() const { return m_fcm; }
        double getAvailIn() const { return m_availIn; }
        double getAvailLength() const { return m_availLength; }
        eDmTreeMediaType getMediaType() const { return m_mediaType; }
        bool getFlag() const { return m_flag; }

    protected:
        Input(double availIn, double availLength, DmSourceInfo* info, const DmString& fcm,
              eDmTreeMediaType mediaType, bool flag);
        /// Copies the values and deep-copies the source info, resolution and audio.
        Input(const Input& other);

    private:
        double m_availIn;
        double m_availLength;
        CoSharedPtr<DmSourceInfo> m_info;
        DmString m_fcm;
        eDmTreeMediaType m_mediaType;
        bool m_flag;
        CoSharedPtr<DmFrameResolution> m_primaryRes;
        CoSharedPtr<DmAudioProperties> m_audio;
    };

    /// A key and a value text, attached to a media input as extra data.
    class KRDMTREE_API DictionaryEntry : public DmPropertySet {
    public:
        /// An entry without a reference taken.
        static DictionaryEntry* create(DmString key, DmString value);

        DmString getKey() const { return m_key; }
        DmString getValue() const { return m_value; }

        CoSharedPtr<DmPropertySet> clone() const override;

    protected:
        DictionaryEntry(DmString key, DmString value)
            : m_key(std::move(key)), m_value(std::move(value)) {}
        DictionaryEntry(const DictionaryEntry&) = default;

    private:
        DmString m_key;
        DmString m_value;
    };

    /// An input reading media, with an ordered list of extra-data entries.
    class KRDMTREE_API MediaInput : public Input {
    public:
        /// An input over the available range [availIn, availIn + availLength), keeping
        /// a counted reference to `info` (may be null). No reference is taken on the
        /// result.
        static MediaInput* create(double availIn, double availLength, DmSourceInfo* info,
                                  const DmString& fcm, eDmTreeMediaType mediaType, bool flag);

        std::uint32_t getNbExtraData() const;
        /// The entry at `index`, or null past the end; the input keeps its reference.
        DictionaryEntry* getExtraData(std::uint32_t index) const;
        void clearExtraData();
        /// Appends an entry, keeping a counted reference; null is ignored.
        void addExtraData(DictionaryEntry* entry);

        CoSharedPtr<DmPropertySet> clone() const override;

        /// Entries an input has room for once it holds one.
        static constexpr std::size_t kInitialExtraData = 16;

    protected:
        using Input::Input;
        /// Deep-copies the input and every entry.
        MediaInput(const MediaInput& other);

    private:
        std::vector<CoSharedPtr<DictionaryEntry>> m_extraData;
    };

    /// A source over `primary` (may be null, then the source has no input until
    /// addMultiInput), keeping a counted reference to it. `srcIn` is the source-in
    /// relative to the start of the available range. No reference is taken on the
    /// result.
    static DmSourceNode* create(Input* primary, double recIn, double recLength, double srcIn,
                                bool flag1, bool flag2);

    /// Appends an input, keeping a counted reference; the first input of a source
    /// without one becomes its primary input. Null is ignored.
    void addMultiInput(Input* input);
    /// The primary input, or null; the source keeps its reference.
    Input* getInput() const;
    /// Number of inputs, the primary one included.
    std::uint32_t getNbMultiInputs() const;
    /// The input at `index` (0 is the primary one), or null past the end.
    Input* getMultiInput(std::uint32_t index) const;
    /// The primary input's source information, or null.
    DmSourceInfo* getSrcInfo() const;
    /// The primary input's available start; 0 without input.
    double getSrcIn() const;
    /// The primary input's available length; 0 without input.
    double getSrcLength() const;
    /// The source-in given to create.
    double getRelIn() const { return m_relIn; }
    bool getFlag1() const { return m_flag1; }
    bool getFlag2() const { return m_flag2; }

    void accept(DmTreeVisitor& visitor) override;

protected:
    DmTreeNode* copyNode() const override;
    DmSourceNode(double recIn, double recLength, double srcIn, bool flag1, bool flag2)
        : DmSegmentNode(recIn, recLength, eDmMediaUnset), m_relIn(srcIn), m_flag1(flag1),
          m_flag2(flag2) {}
    /// Deep-copies the segment and every input.
    DmSourceNode(const DmSourceNode& other);

private:
    double m_relIn;
    bool m_flag1;
    bool m_flag2;
    std::vector<CoSharedPtr<Input>> m_inputs;
};
