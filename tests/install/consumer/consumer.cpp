// A host program built against the installed package: makes a composition,
// keeps it in the exported list and reads its edit-tree JSON and duration.
#include "composition/Composition.h"
#include "composition/CompositionList.h"

#include <cstdio>

using namespace ZEM_0_81;

int main() {
    SharedPtr<Composition> composition;
    if (!Composition::create(composition, String("consumer"), "Installed", Rational(25, 1)))
        return 1;
    CompositionList list;
    list.append(composition);
    String json;
    if (!list.front()->getJson(Composition::JsonType::DmTree, json) || json.empty())
        return 2;
    Time duration;
    if (!list.front()->getDuration(duration) || duration.getRate().getNumerator() != 25)
        return 3;
    std::printf("consumer ok: %llu composition(s)\n", static_cast<unsigned long long>(list.size()));
    return 0;
}
