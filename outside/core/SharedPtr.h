#pragma once

#include <cstddef>
#include <utility>

namespace ZEM_0_81 {

/// Intrusive counted pointer to an object deriving from RefCountedMT or RefCountedST:
/// takes a reference (incref) when it starts holding an object and gives it back
/// (decref) when it lets go, deleting the object when that was the last reference.
template <class T> class SharedPtr {
public:
    SharedPtr() = default;
    SharedPtr(std::nullptr_t) {}
    SharedPtr(T* object) : m_ptr(object) { acquire(); }
    SharedPtr(const SharedPtr& other) : m_ptr(other.m_ptr) { acquire(); }
    SharedPtr(SharedPtr&& other) noexcept : m_ptr(other.m_ptr) { other.m_ptr = nullptr; }
    template <class U> SharedPtr(const SharedPtr<U>& other) : m_ptr(other.get()) { acquire(); }
    ~SharedPtr() { release(); }

    SharedPtr& operator=(const SharedPtr& other) { return reset(other.m_ptr); }
    SharedPtr& operator=(SharedPtr&& other) noexcept {
        if (this != &other) {
            release();
            m_ptr = other.m_ptr;
            other.m_ptr = nullptr;
        }
        return *this;
    }
    SharedPtr& operator=(T* object) { return reset(object); }

    T* get() const { return m_ptr; }
    T* operator->() const { return m_ptr; }
    T& operator*() const { return *m_ptr; }
    explicit operator bool() const { return m_ptr != nullptr; }

    bool operator==(const SharedPtr& other) const { return m_ptr == other.m_ptr; }
    bool operator!=(const SharedPtr& other) const { return m_ptr != other.m_ptr; }

private:
    SharedPtr& reset(T* object) {
        // Take the new reference first: assigning an object to the pointer that
        // already holds it must not delete it in between.
        if (object)
            object->incref();
        release();
        m_ptr = object;
        return *this;
    }
    void acquire() {
        if (m_ptr)
            m_ptr->incref();
    }
    void release() {
        if (m_ptr && m_ptr->decref())
            delete m_ptr;
        m_ptr = nullptr;
    }

    T* m_ptr = nullptr;
};

} // namespace ZEM_0_81
