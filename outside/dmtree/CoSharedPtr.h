#pragma once

#include <cstddef>
#include <utility>

/// Counted pointer to an edit-tree object (any class deriving from DmPropertySet):
/// takes a reference (incref) when it starts holding an object and gives it back
/// (decref) when it lets go, deleting the object when decref reports that the last
/// reference is gone. Objects made by a `create` factory start without a reference,
/// so the first CoSharedPtr that stores one becomes its owner.
template <class T> class CoSharedPtr {
public:
    CoSharedPtr() = default;
    CoSharedPtr(std::nullptr_t) {}
    CoSharedPtr(T* object) : m_ptr(object) { acquire(); }
    CoSharedPtr(const CoSharedPtr& other) : m_ptr(other.m_ptr) { acquire(); }
    CoSharedPtr(CoSharedPtr&& other) noexcept : m_ptr(other.m_ptr) { other.m_ptr = nullptr; }
    /// Converts from a pointer to a derived class (U* must convert to T*).
    template <class U> CoSharedPtr(const CoSharedPtr<U>& other) : m_ptr(other.get()) { acquire(); }
    ~CoSharedPtr() { release(); }

    CoSharedPtr& operator=(const CoSharedPtr& other) { return reset(other.m_ptr); }
    CoSharedPtr& operator=(CoSharedPtr&& other) noexcept {
        if (this != &other) {
            release();
            m_ptr = other.m_ptr;
            other.m_ptr = nullptr;
        }
        return *this;
    }
    CoSharedPtr& operator=(T* object) { return reset(object); }
    CoSharedPtr& operator=(std::nullptr_t) { return reset(nullptr); }

    T* get() const { return m_ptr; }
    T* operator->() const { return m_ptr; }
    T& operator*() const { return *m_ptr; }
    explicit operator bool() const { return m_ptr != nullptr; }

    template <class U> bool operator==(const CoSharedPtr<U>& other) const {
        return m_ptr == other.get();
    }
    template <class U> bool operator!=(const CoSharedPtr<U>& other) const {
        return m_ptr != other.get();
    }
    bool operator==(const T* object) const { return m_ptr == object; }
    bool operator!=(const T* object) const { return m_ptr != object; }
    bool operator==(std::nullptr_t) const { return m_ptr == nullptr; }
    bool operator!=(std::nullptr_t) const { return m_ptr != nullptr; }

private:
    CoSharedPtr& reset(T* object) {
        // Take the new reference before giving back the old one: assigning the
        // object this pointer already holds must not delete it in between.
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
        T* old = m_ptr;
        m_ptr = nullptr;
        if (old && old->decref())
            delete old;
    }

    T* m_ptr = nullptr;
};

/// Deep copy of a held object as its own class, through the virtual DmPropertySet::clone;
/// null for null. The copy is held by the result and shares nothing with the original.
template <class T> CoSharedPtr<T> dmCloneOf(const T* object) {
    if (!object)
        return CoSharedPtr<T>();
    auto copy = object->clone();
    return CoSharedPtr<T>(dynamic_cast<T*>(copy.get()));
}
