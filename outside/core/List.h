#pragma once

#include <cstdint>

namespace ZEM_0_81 {

/// A doubly linked list whose whole state sits behind one pointer, so that its
/// layout stays one pointer whatever stands behind it; a library that exports an
/// instance of it can change the record without breaking its hosts.
///
/// The list holds a copy of every element. Positions stay valid until their
/// element is removed; append invalidates none. front, back, pop_front and
/// pop_back need a non-empty list, and an Iterator's operator* and operator++ a
/// position other than end(): the list does not check these.
///
/// The member definitions are in ListImpl.h; a library instantiates the template
/// there for the element types it exports.
template <class T> class List {
public:
    /// A position in a list. Holds no reference to its list: it must not be used
    /// after the list is destroyed.
    class Iterator {
    public:
        Iterator(const Iterator& other);
        ~Iterator();
        Iterator& operator=(const Iterator& other);

        bool operator!=(const Iterator& other) const;
        T& operator*() const;
        void operator++();

    private:
        friend class List;
        explicit Iterator(void* cell); // takes ownership of a cell made by the list
        void* m_cell;
    };

    List();
    List(const List& other);
    ~List();
    List& operator=(const List& other);

    void append(const T& value);
    T& front();
    const T& front() const;
    T& back();
    const T& back() const;
    void pop_front();
    void pop_back();
    void clear();
    bool empty() const;
    std::uint64_t size() const;

    Iterator begin() const;
    Iterator end() const;

    /// Removes the element at `position` and returns the position after it.
    Iterator erase(Iterator position);

private:
    struct Record;
    Record* m_record;
};

} // namespace ZEM_0_81
