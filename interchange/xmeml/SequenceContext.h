#pragma once

#include "interchange/xmeml/DocumentIndex.h"
#include "interchange/xmeml/ReadReport.h"
#include "interchange/xmeml/XmemlValues.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>

namespace ZEM_0_81::Interchange::Fcp7 {

/// The XML of the elements a document gives once and uses again (files,
/// nested sequences), which every clip that uses one keeps as it came: each
/// printed once, and kept again on each use only within a budget of bytes, so
/// that a small document using a large element many times cannot make the
/// edit tree hold more than a few times the document.
class GivenOnce {
public:
    explicit GivenOnce(std::size_t budget) : m_left(budget) {}

    /// The XML of `element`; null when keeping it once more would pass the budget.
    const std::string* keep(const pugi::xml_node& element) {
        auto found = m_texts.find(element.internal_object());
        if (found == m_texts.end())
            found = m_texts.emplace(element.internal_object(), xmlOf(element)).first;
        if (found->second.size() > m_left)
            return nullptr;
        m_left -= found->second.size();
        return &found->second;
    }

private:
    std::size_t m_left;
    std::unordered_map<const void*, std::string> m_texts;
};

/// What every clip of a sequence reads beside its own element: the document's
/// files and nested sequences, the report, and the sequence's rate and start.
struct SequenceContext {
    const DocumentIndex& index;
    ReadReport& report;
    GivenOnce& givenOnce;
    /// The sequence's rate, which record frames count at and clips and files
    /// without a rate of their own inherit.
    FrameRate rate;
    /// Its frame-rate text.
    std::string fcm;
    /// Its start timecode in frames at its rate: record frames of the edit tree
    /// are the document's (counted from the sequence's start) plus this.
    std::int64_t start = 0;
};

} // namespace ZEM_0_81::Interchange::Fcp7
