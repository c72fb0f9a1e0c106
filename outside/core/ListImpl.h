#pragma once

// Definitions of List<T>, included only where an instance is compiled.

#include "outside/core/List.h"

#include <new>

namespace ZEM_0_81 {

namespace detail {

struct ListLinks {
    ListLinks* next;
    ListLinks* prev;
};

template <class T> struct ListNode : ListLinks {
    explicit ListNode(const T& v) : ListLinks{nullptr, nullptr}, value(v) {}
    T value;
};

struct ListCell {
    ListLinks* node;
};

} // namespace detail

// A circular list around a sentinel: an empty list's sentinel points at itself.
template <class T> struct List<T>::Record {
    Record() : sentinel{&sentinel, &sentinel} {}
    detail::ListLinks sentinel;
    std::uint64_t count = 0;
};

namespace detail {

template <class T> T& valueAt(ListLinks* node) { return static_cast<ListNode<T>*>(node)->value; }

inline ListLinks* cellNode(void* cell) { return static_cast<ListCell*>(cell)->node; }

} // namespace detail

template <class T> List<T>::Iterator::Iterator(void* cell) : m_cell(cell) {}

template <class T>
List<T>::Iterator::Iterator(const Iterator& other)
    : m_cell(new detail::ListCell{detail::cellNode(other.m_cell)}) {}

template <class T> List<T>::Iterator::~Iterator() { delete static_cast<detail::ListCell*>(m_cell); }

template <class T> typename List<T>::Iterator& List<T>::Iterator::operator=(const Iterator& other) {
    if (this != &other)
        static_cast<detail::ListCell*>(m_cell)->node = detail::cellNode(other.m_cell);
    return *this;
}

template <class T> bool List<T>::Iterator::operator!=(const Iterator& other) const {
    return detail::cellNode(m_cell) != detail::cellNode(other.m_cell);
}

template <class T> T& List<T>::Iterator::operator*() const {
    return detail::valueAt<T>(detail::cellNode(m_cell));
}

template <class T> void List<T>::Iterator::operator++() {
    auto* cell = static_cast<detail::ListCell*>(m_cell);
    cell->node = cell->node->next;
}

template <class T> List<T>::List() : m_record(new Record) {}

template <class T> List<T>::List(const List& other) : m_record(new Record) {
    try {
        for (detail::ListLinks* n = other.m_record->sentinel.next; n != &other.m_record->sentinel;
             n = n->next)
            append(detail::valueAt<T>(n));
    } catch (...) {
        clear();
        delete m_record;
        throw;
    }
}

template <class T> List<T>::~List() {
    clear();
    delete m_record;
}

template <class T> List<T>& List<T>::operator=(const List& other) {
    if (this != &other) {
        // Build the copy first so that a failed allocation leaves this list as it was.
        List copy(other);
        Record* mine = m_record;
        m_record = copy.m_record;
        copy.m_record = mine;
    }
    return *this;
}

template <class T> void List<T>::append(const T& value) {
    auto* node = new detail::ListNode<T>(value);
    detail::ListLinks& sentinel = m_record->sentinel;
    node->prev = sentinel.prev;
    node->next = &sentinel;
    sentinel.prev->next = node;
    sentinel.prev = node;
    ++m_record->count;
}

template <class T> T& List<T>::front() { return detail::valueAt<T>(m_record->sentinel.next); }
template <class T> const T& List<T>::front() const {
    return detail::valueAt<T>(m_record->sentinel.next);
}
template <class T> T& List<T>::back() { return detail::valueAt<T>(m_record->sentinel.prev); }
template <class T> const T& List<T>::back() const {
    return detail::valueAt<T>(m_record->sentinel.prev);
}

namespace detail {

template <class T> ListLinks* unlink(ListLinks* node, std::uint64_t& count) {
    ListLinks* next = node->next;
    node->prev->next = next;
    next->prev = node->prev;
    --count;
    delete static_cast<ListNode<T>*>(node);
    return next;
}

} // namespace detail

template <class T> void List<T>::pop_front() {
    detail::unlink<T>(m_record->sentinel.next, m_record->count);
}

template <class T> void List<T>::pop_back() {
    detail::unlink<T>(m_record->sentinel.prev, m_record->count);
}

template <class T> void List<T>::clear() {
    while (m_record->count != 0)
        pop_back();
}

template <class T> bool List<T>::empty() const { return m_record->count == 0; }

template <class T> std::uint64_t List<T>::size() const { return m_record->count; }

template <class T> typename List<T>::Iterator List<T>::begin() const {
    return Iterator(new detail::ListCell{m_record->sentinel.next});
}

template <class T> typename List<T>::Iterator List<T>::end() const {
    return Iterator(new detail::ListCell{&m_record->sentinel});
}

template <class T> typename List<T>::Iterator List<T>::erase(Iterator position) {
    auto* cell = static_cast<detail::ListCell*>(position.m_cell);
    detail::ListLinks* next = detail::unlink<T>(cell->node, m_record->count);
    cell->node = next;
    // The consumed iterator's cell moves into the returned one.
    position.m_cell = nullptr;
    return Iterator(cell);
}

} // namespace ZEM_0_81
