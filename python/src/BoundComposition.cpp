#include "BoundComposition.h"

#include <unordered_map>

namespace zempy {

using namespace ZEM_0_81;

void appendLosses(const LossReport& report, std::vector<Loss>& out) {
    for (std::uint32_t i = 0; i < report.getCount(); ++i) {
        String path, schema, what;
        if (report.getEntry(i, path, schema, what))
            out.push_back({path.c_str(), schema.c_str(), what.c_str()});
    }
}

namespace {

/// The live bindings by composition. An entry is removed when its binding dies;
/// the binding holds its composition, so an address in the table cannot be
/// reused by another composition while the entry is there.
struct Registry {
    std::mutex lock;
    std::unordered_map<const Composition*, std::weak_ptr<BoundComposition>> bindings;
};

Registry& registry() {
    // Never destroyed: bindings may die during the interpreter's shutdown,
    // after the static objects of this module.
    static Registry* instance = new Registry;
    return *instance;
}

} // namespace

std::shared_ptr<BoundComposition> BoundComposition::adopt(SharedPtr<Composition> held,
                                                          std::string dialect,
                                                          std::vector<Loss> losses) {
    const Composition* key = held.get();
    std::shared_ptr<BoundComposition> binding(
        new BoundComposition(std::move(held), std::move(dialect), std::move(losses)));
    Registry& table = registry();
    std::lock_guard<std::mutex> guard(table.lock);
    table.bindings[key] = binding;
    return binding;
}

std::shared_ptr<BoundComposition> BoundComposition::of(SharedPtr<Composition> held) {
    Registry& table = registry();
    std::lock_guard<std::mutex> guard(table.lock);
    std::weak_ptr<BoundComposition>& entry = table.bindings[held.get()];
    if (std::shared_ptr<BoundComposition> live = entry.lock())
        return live;
    std::shared_ptr<BoundComposition> binding(new BoundComposition(std::move(held), "", {}));
    entry = binding;
    return binding;
}

BoundComposition::~BoundComposition() {
    Registry& table = registry();
    std::lock_guard<std::mutex> guard(table.lock);
    auto entry = table.bindings.find(m_held.get());
    // A new binding may already stand in this one's place (made after this one's
    // last reference went, before this destructor took the lock): keep it.
    if (entry != table.bindings.end() && entry->second.expired())
        table.bindings.erase(entry);
}

} // namespace zempy
