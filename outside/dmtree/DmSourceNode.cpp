#include "outside/dmtree/DmSourceNode.h"

#include "outside/dmtree/DmTreeVisitor.h"

// --- Input -------------------------------------------------------------------

DmSourceNode::Input::Input(double availIn, double availLength, DmSourceInfo* info,
                           const DmString& fcm, eDmTreeMediaType mediaType, bool flag)
    : m_availIn(availIn), m_availLength(availLength), m_info(info), m_fcm(fcm),
      m_mediaType(mediaType), m_flag(flag) {}

DmSourceNode::Input::Input(const Input& other)
    : DmPropertySet(other), m_availIn(other.m_availIn), m_availLength(other.m_availLength),
      m_info(dmCloneOf(other.m_info.get())), m_fcm(other.m_fcm), m_mediaType(other.m_mediaType),
      m_flag(other.m_flag), m_primaryRes(dmCloneOf(other.m_primaryRes.get())),
      m_audio(dmCloneOf(other.m_audio.get())) {}

DmSourceNode::Input::~Input() = default;

DmSourceInfo* DmSourceNode::Input::getSrcInfo() const {
    return m_info.get();
}

// --- DictionaryEntry ---------------------------------------------------------

DmSourceNode::DictionaryEntry* DmSourceNode::DictionaryEntry::create(DmString key, DmString value) {
    return new DictionaryEntry(std::move(key), std::move(value));
}

CoSharedPtr<DmPropertySet> DmSourceNode::DictionaryEntry::clone() const {
    return new DictionaryEntry(*this);
}

// --- MediaInput --------------------------------------------------------------

DmSourceNode::MediaInput* DmSourceNode::MediaInput::create(double availIn, double availLength,
                                                           DmSourceInfo* info, const DmString& fcm,
                                                           eDmTreeMediaType mediaType, bool flag) {
    return new MediaInput(availIn, availLength, info, fcm, mediaType, flag);
}

DmSourceNode::MediaInput::MediaInput(const MediaInput& other) : Input(other) {
    m_extraData.reserve(other.m_extraData.size());
    for (const auto& entry : other.m_extraData)
        m_extraData.push_back(dmCloneOf(entry.get()));
}

std::uint32_t DmSourceNode::MediaInput::getNbExtraData() const {
    return static_cast<std::uint32_t>(m_extraData.size());
}

DmSourceNode::DictionaryEntry* DmSourceNode::MediaInput::getExtraData(std::uint32_t index) const {
    return index < m_extraData.size() ? m_extraData[index].get() : nullptr;
}

void DmSourceNode::MediaInput::clearExtraData() {
    m_extraData.clear();
}

void DmSourceNode::MediaInput::addExtraData(DictionaryEntry* entry) {
    if (!entry)
        return;
    // An input's extra data is a dozen entries or so: room for them is made at
    // once instead of growing the list entry by entry.
    if (m_extraData.capacity() == 0)
        m_extraData.reserve(kInitialExtraData);
    m_extraData.emplace_back(entry);
}

CoSharedPtr<DmPropertySet> DmSourceNode::MediaInput::clone() const {
    return new MediaInput(*this);
}

// --- DmSourceNode ------------------------------------------------------------

DmSourceNode* DmSourceNode::create(Input* primary, double recIn, double recLength, double srcIn,
                                   bool flag1, bool flag2) {
    auto* source = new DmSourceNode(recIn, recLength, srcIn, flag1, flag2);
    source->addMultiInput(primary);
    return source;
}

DmSourceNode::DmSourceNode(const DmSourceNode& other)
    : DmSegmentNode(other), m_relIn(other.m_relIn), m_flag1(other.m_flag1), m_flag2(other.m_flag2) {
    m_inputs.reserve(other.m_inputs.size());
    for (const auto& input : other.m_inputs)
        m_inputs.push_back(dmCloneOf(input.get()));
}

void DmSourceNode::addMultiInput(Input* input) {
    if (input)
        m_inputs.emplace_back(input);
}

DmSourceNode::Input* DmSourceNode::getInput() const {
    return m_inputs.empty() ? nullptr : m_inputs.front().get();
}

std::uint32_t DmSourceNode::getNbMultiInputs() const {
    return static_cast<std::uint32_t>(m_inputs.size());
}

DmSourceNode::Input* DmSourceNode::getMultiInput(std::uint32_t index) const {
    return index < m_inputs.size() ? m_inputs[index].get() : nullptr;
}

DmSourceInfo* DmSourceNode::getSrcInfo() const {
    const Input* primary = getInput();
    return primary ? primary->getSrcInfo() : nullptr;
}

double DmSourceNode::getSrcIn() const {
    const Input* primary = getInput();
    return primary ? primary->getAvailIn() : 0.0;
}

double DmSourceNode::getSrcLength() const {
    const Input* primary = getInput();
    return primary ? primary->getAvailLength() : 0.0;
}

void DmSourceNode::accept(DmTreeVisitor& visitor) {
    visitor.visitSourceNode(this);
}

DmTreeNode* DmSourceNode::copyNode() const {
    return new DmSourceNode(*this);
}
