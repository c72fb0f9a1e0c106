#pragma once

#include "composition/Composition.h"
#include "interchange/LossReport.h"
#include "outside/core/SharedPtr.h"

#include <pybind11/pybind11.h>

#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace zempy {

/// One entry of a loss report: where in the input, the schema of the object it
/// belongs to, and what happened.
struct Loss {
    std::string path;
    std::string schema;
    std::string what;
};

/// The entries of `report`, appended to `out`. Needs no interpreter lock.
void appendLosses(const ZEM_0_81::LossReport& report, std::vector<Loss>& out);

/// A composition as Python holds it: the library's composition, the lock that
/// keeps it to one thread at a time while the interpreter lock is released, and
/// what reading it said (the dialect it was read in, the loss report).
///
/// There is at most one BoundComposition per composition at a time, so that
/// every Python reference to a composition (one kept in a CompositionList
/// included) shares the same lock and the same Python object.
class BoundComposition {
public:
    /// A new binding of a composition that no binding holds yet: one just made.
    static std::shared_ptr<BoundComposition> adopt(ZEM_0_81::SharedPtr<ZEM_0_81::Composition> held,
                                                   std::string dialect, std::vector<Loss> losses);

    /// The live binding of `held`, or a new one (without dialect or losses) when
    /// none is alive.
    static std::shared_ptr<BoundComposition> of(ZEM_0_81::SharedPtr<ZEM_0_81::Composition> held);

    BoundComposition(const BoundComposition&) = delete;
    BoundComposition& operator=(const BoundComposition&) = delete;
    ~BoundComposition();

    /// The composition itself; use it only while holding lock().
    const ZEM_0_81::SharedPtr<ZEM_0_81::Composition>& held() const { return m_held; }
    std::mutex& lock() const { return m_lock; }

    /// The composition's identifier, which never changes: read without the lock.
    const std::string& id() const { return m_id; }
    /// The dialect whose text the composition was read from ("dmtree", "otio",
    /// "otio-std"), or "" for one built in memory.
    const std::string& dialect() const { return m_dialect; }
    /// What reading standard OTIO lost; empty for the other dialects.
    const std::vector<Loss>& losses() const { return m_losses; }

private:
    BoundComposition(ZEM_0_81::SharedPtr<ZEM_0_81::Composition> held, std::string dialect,
                     std::vector<Loss> losses)
        : m_held(std::move(held)), m_id(m_held->getId().c_str()), m_dialect(std::move(dialect)),
          m_losses(std::move(losses)) {}

    ZEM_0_81::SharedPtr<ZEM_0_81::Composition> m_held;
    std::string m_id;
    mutable std::mutex m_lock;
    std::string m_dialect;
    std::vector<Loss> m_losses;
};

/// Runs `work` on the composition with the interpreter lock released and the
/// composition's own lock held, so that other Python threads run meanwhile and
/// no two threads use one composition at once. The composition's lock is let
/// go before the interpreter lock is taken again. `work` must not touch Python.
template <class Work> auto unlocked(const BoundComposition& bound, Work&& work) {
    pybind11::gil_scoped_release release;
    std::lock_guard<std::mutex> guard(bound.lock());
    return work(*bound.held());
}

} // namespace zempy
