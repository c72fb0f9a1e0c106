#include "Bindings.h"
#include "BoundComposition.h"

#include "composition/CompositionList.h"

#include <pybind11/stl.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace py = pybind11;
using namespace py::literals;

namespace zempy {

using namespace ZEM_0_81;

namespace {

using Element = SharedPtr<Composition>;

// Every operation here keeps the interpreter lock: they are short, and the lock
// keeps a list to one thread at a time.

std::int64_t length(const CompositionList& list) {
    return static_cast<std::int64_t>(list.size());
}

/// The position of Python index `index` (negative counts from the end); raises
/// IndexError outside the list.
std::uint64_t position(const CompositionList& list, std::int64_t index) {
    const std::int64_t size = length(list);
    const std::int64_t at = index < 0 ? index + size : index;
    if (at < 0 || at >= size)
        throw py::index_error("CompositionList index out of range");
    return static_cast<std::uint64_t>(at);
}

CompositionList::Iterator iteratorAt(const CompositionList& list, std::uint64_t at) {
    CompositionList::Iterator it = list.begin();
    for (std::uint64_t i = 0; i < at; ++i)
        ++it;
    return it;
}

std::vector<Element> elements(const CompositionList& list) {
    std::vector<Element> all;
    all.reserve(static_cast<std::size_t>(list.size()));
    for (CompositionList::Iterator it = list.begin(); it != list.end(); ++it)
        all.push_back(*it);
    return all;
}

/// Replaces the list's content by `all`. The list appends and erases only, so
/// a change in the middle rebuilds it.
void assign(CompositionList& list, const std::vector<Element>& all) {
    list.clear();
    for (const Element& each : all)
        list.append(each);
}

/// The composition of a Python object; TypeError for anything else.
const Element& heldBy(const py::handle& value) {
    if (!py::isinstance<BoundComposition>(value))
        throw py::type_error("a CompositionList holds Composition objects, not " +
                             py::repr(py::type::of(value)).cast<std::string>());
    return value.cast<const BoundComposition&>().held();
}

std::shared_ptr<BoundComposition> bound(const Element& element) {
    return BoundComposition::of(element);
}

py::list boundAll(const std::vector<Element>& all) {
    py::list out;
    for (const Element& each : all)
        out.append(py::cast(bound(each)));
    return out;
}

/// The positions a slice selects, in the order it selects them.
std::vector<std::size_t> slicePositions(const CompositionList& list, const py::slice& slice) {
    std::size_t start = 0, stop = 0, step = 0, count = 0;
    if (!slice.compute(static_cast<std::size_t>(list.size()), &start, &stop, &step, &count))
        throw py::error_already_set();
    std::vector<std::size_t> positions;
    for (std::size_t i = 0; i < count; ++i)
        positions.push_back(start + i * step); // step may be negative, in modular arithmetic
    return positions;
}

std::int64_t indexOf(const CompositionList& list, const BoundComposition& value) {
    std::int64_t at = 0;
    for (CompositionList::Iterator it = list.begin(); it != list.end(); ++it, ++at)
        if ((*it).get() == value.held().get())
            return at;
    throw py::value_error("the composition is not in the list");
}

void insertAt(CompositionList& list, std::int64_t index, const BoundComposition& value) {
    std::vector<Element> all = elements(list);
    const std::int64_t size = static_cast<std::int64_t>(all.size());
    std::int64_t at = index < 0 ? index + size : index;
    at = at < 0 ? 0 : (at > size ? size : at); // as list.insert clamps
    all.insert(all.begin() + at, value.held());
    assign(list, all);
}

std::string listRepr(const CompositionList& list) {
    std::string text = "CompositionList([";
    bool first = true;
    for (CompositionList::Iterator it = list.begin(); it != list.end(); ++it) {
        text += first ? "" : ", ";
        text += py::repr(py::cast(bound(*it))).cast<std::string>();
        first = false;
    }
    return text + "])";
}

std::unique_ptr<CompositionList> listOf(const py::iterable& compositions) {
    auto list = std::make_unique<CompositionList>();
    for (const py::handle& each : compositions)
        list->append(heldBy(each));
    return list;
}

std::shared_ptr<BoundComposition> itemAt(const CompositionList& list, std::int64_t index) {
    return bound(*iteratorAt(list, position(list, index)));
}

py::list itemsIn(const CompositionList& list, const py::slice& slice) {
    const std::vector<Element> all = elements(list);
    std::vector<Element> chosen;
    for (std::size_t at : slicePositions(list, slice))
        chosen.push_back(all[at]);
    return boundAll(chosen);
}

void setItem(CompositionList& list, std::int64_t index, const BoundComposition& value) {
    std::vector<Element> all = elements(list);
    all[position(list, index)] = value.held();
    assign(list, all);
}

void deleteItem(CompositionList& list, std::int64_t index) {
    list.erase(iteratorAt(list, position(list, index)));
}

void deleteItems(CompositionList& list, const py::slice& slice) {
    std::vector<Element> all = elements(list);
    std::vector<bool> removed(all.size(), false);
    for (std::size_t at : slicePositions(list, slice))
        removed[at] = true;
    std::vector<Element> kept;
    for (std::size_t i = 0; i < all.size(); ++i)
        if (!removed[i])
            kept.push_back(all[i]);
    assign(list, kept);
}

py::iterator iterate(const CompositionList& list) {
    return py::iter(boundAll(elements(list)));
}

py::iterator iterateReversed(const CompositionList& list) {
    std::vector<Element> all = elements(list);
    return py::iter(boundAll(std::vector<Element>(all.rbegin(), all.rend())));
}

/// How many times the composition `value` is in `list`; 0 for anything else.
std::int64_t occurrences(const CompositionList& list, const py::object& value) {
    if (!py::isinstance<BoundComposition>(value))
        return 0;
    const Composition* wanted = value.cast<const BoundComposition&>().held().get();
    std::int64_t count = 0;
    for (CompositionList::Iterator it = list.begin(); it != list.end(); ++it)
        count += (*it).get() == wanted ? 1 : 0;
    return count;
}

void appendTo(CompositionList& list, const BoundComposition& value) {
    list.append(value.held());
}

void extendBy(CompositionList& list, const py::iterable& compositions) {
    std::vector<Element> added; // all or nothing when one is not a Composition
    for (const py::handle& each : compositions)
        added.push_back(heldBy(each));
    for (const Element& each : added)
        list.append(each);
}

std::shared_ptr<BoundComposition> popAt(CompositionList& list, std::int64_t index) {
    CompositionList::Iterator it = iteratorAt(list, position(list, index));
    std::shared_ptr<BoundComposition> value = bound(*it);
    list.erase(it);
    return value;
}

void removeFrom(CompositionList& list, const BoundComposition& value) {
    list.erase(iteratorAt(list, static_cast<std::uint64_t>(indexOf(list, value))));
}

void reverseInPlace(CompositionList& list) {
    std::vector<Element> all = elements(list);
    assign(list, std::vector<Element>(all.rbegin(), all.rend()));
}

} // namespace

void bindCompositionList(py::module_& module) {
    py::class_<CompositionList>(module, "CompositionList", R"(
A list of compositions, as the library passes them to its hosts: a mutable
sequence holding one reference to every composition in it, so that a
composition kept in a list lives on when no Python name refers to it any more.
Elements come back as the same Composition objects while those are alive.

Indexing is by walking the list, so indexing by position costs time in
proportion to the position; iteration does not.)")
        .def(py::init<>(), "An empty list.")
        .def(py::init(&listOf), "compositions"_a,
             "A list of the compositions `compositions` yields, in order.")
        .def("__len__", &length, "The number of compositions in the list.")
        .def("__getitem__", &itemAt, "index"_a,
             "The composition at `index` (negative counts from the end).")
        .def("__getitem__", &itemsIn, "slice"_a,
             "The compositions a slice selects, as a Python list.")
        .def("__setitem__", &setItem, "index"_a, "composition"_a,
             "Replaces the composition at `index`.")
        .def("__delitem__", &deleteItem, "index"_a, "Removes the composition at `index`.")
        .def("__delitem__", &deleteItems, "slice"_a, "Removes the compositions a slice selects.")
        .def("__iter__", &iterate,
             "Iterates over a snapshot of the list: changing the list meanwhile is safe.")
        .def("__reversed__", &iterateReversed, "Iterates over a snapshot of the list, last first.")
        .def(
            "__contains__",
            [](const CompositionList& list, const py::object& value) {
                return occurrences(list, value) > 0;
            },
            "composition"_a, "True when the composition itself is in the list.")
        .def("append", &appendTo, "composition"_a,
             "Adds a composition at the end; the list takes a reference to it.")
        .def("extend", &extendBy, "compositions"_a,
             "Adds every composition `compositions` yields, at the end.")
        .def("insert", &insertAt, "index"_a, "composition"_a,
             "Inserts a composition before `index` (clamped to the list, as list.insert does).")
        .def("pop", &popAt, "index"_a = -1,
             "Removes and returns the composition at `index` (the last by default).")
        .def("remove", &removeFrom, "composition"_a,
             "Removes the first occurrence of a composition; ValueError when it is not there.")
        .def("index", &indexOf, "composition"_a,
             "The position of the first occurrence of a composition; ValueError when it is not "
             "there.")
        .def("count", &occurrences, "composition"_a, "How many times a composition is in the list.")
        .def("reverse", &reverseInPlace, "Reverses the list in place.")
        .def("clear", &CompositionList::clear, "Removes every composition.")
        .def("__repr__", &listRepr, "CompositionList([<zemcomposition.Composition ...>, ...]).");
}

} // namespace zempy
