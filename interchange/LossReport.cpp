#include "interchange/LossReport.h"

#include <vector>

namespace ZEM_0_81 {

struct ZEM_HIDDEN LossReport::Impl {
    struct Entry {
        String path;
        String schema;
        String what;
    };
    std::vector<Entry> entries;
};

LossReport::LossReport() : m_impl(new Impl) {}

LossReport::LossReport(const LossReport& other) : m_impl(new Impl(*other.m_impl)) {}

LossReport& LossReport::operator=(const LossReport& other) {
    if (this != &other)
        *m_impl = *other.m_impl;
    return *this;
}

LossReport::~LossReport() {
    delete m_impl;
}

std::uint32_t LossReport::getCount() const {
    return static_cast<std::uint32_t>(m_impl->entries.size());
}

bool LossReport::isEmpty() const {
    return m_impl->entries.empty();
}

Status LossReport::getEntry(std::uint32_t index, String& path, String& schema, String& what) const {
    if (index >= m_impl->entries.size())
        return Status(Status::NoData);
    const Impl::Entry& entry = m_impl->entries[index];
    path = entry.path;
    schema = entry.schema;
    what = entry.what;
    return Status();
}

void LossReport::add(const String& path, const String& schema, const String& what) {
    m_impl->entries.push_back(Impl::Entry{path, schema, what});
}

void LossReport::clear() {
    m_impl->entries.clear();
}

} // namespace ZEM_0_81
