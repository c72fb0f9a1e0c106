#pragma once

#include "outside/core/CoreApi.h"

#include <atomic>
#include <cstdint>

namespace ZEM_0_81 {

/// Base of objects held by SharedPtr, with a thread-safe (atomic) reference count.
/// The count starts at 0; the first holder takes the first reference. Copying an
/// object never copies its count.
class ZEMCORE_API RefCountedMT {
public:
    RefCountedMT() = default;
    RefCountedMT(const RefCountedMT&) {}
    RefCountedMT& operator=(const RefCountedMT&) { return *this; }
    virtual ~RefCountedMT();

    virtual void incref() const { m_count.fetch_add(1, std::memory_order_relaxed); }
    /// Drops one reference; true when it was the last one, and the caller then deletes.
    virtual bool decref() const { return m_count.fetch_sub(1, std::memory_order_acq_rel) == 1; }
    virtual std::int32_t refcount() const { return m_count.load(std::memory_order_relaxed); }

private:
    mutable std::atomic<std::int32_t> m_count{0};
};

/// The same for objects used by one thread at a time: a plain, non-atomic count.
class ZEMCORE_API RefCountedST {
public:
    RefCountedST() = default;
    RefCountedST(const RefCountedST&) {}
    RefCountedST& operator=(const RefCountedST&) { return *this; }
    virtual ~RefCountedST();

    virtual void incref() const { ++m_count; }
    virtual bool decref() const { return --m_count == 0; }
    virtual std::int32_t refcount() const { return m_count; }

private:
    mutable std::int32_t m_count = 0;
};

} // namespace ZEM_0_81
