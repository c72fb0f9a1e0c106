#include "interchange/otiostd/kept/DroppedItems.h"

#include "interchange/otiostd/schemas/SchemaMembers.h"
#include "interchange/otiostd/schemas/TrackItems.h"
#include "interchange/otiostd/timing/OtioTiming.h"
#include "interchange/places/LossPlaces.h"

#include <utility>
#include <vector>

namespace ZEM_0_81::Interchange::DroppedItems {

namespace {

/// An object still to walk and its place below the entered one.
struct Place {
    const Value* object;
    std::string pointer;
};

/// Reports every element of `object`'s array member `key` that is a schema object,
/// and hands back those that hold more.
void visitArray(ReadContext& context, const Place& place, const char* key, const std::string& why,
                std::vector<Place>& pending) {
    const Value* array = OtioTiming::memberOf(*place.object, key);
    if (array && context.trackItems() && context.trackItems()->isLeft(*array))
        throw NeedsWholeDocument();
    if (!array || !array->IsArray())
        return;
    for (rapidjson::SizeType i = 0; i < array->Size(); ++i) {
        const Value& element = (*array)[i];
        if (!element.IsObject())
            continue;
        std::string pointer = place.pointer;
        appendPointerToken(pointer, key);
        appendPointerToken(pointer, std::to_string(i));
        const OtioTiming::Kind kind = OtioTiming::kindOf(element);
        if (kind != OtioTiming::Kind::Gap)
            context.loseBelow(pointer, SchemaMembers::schemaOf(element), why);
        if (kind != OtioTiming::Kind::Transition)
            pending.push_back(Place{&element, std::move(pointer)});
    }
}

} // namespace

void reportInside(ReadContext& context, const Value& object, const std::string& why, Own own) {
    std::vector<Place> pending{Place{&object, std::string()}};
    while (!pending.empty()) {
        const Place place = std::move(pending.back());
        pending.pop_back();
        if (OtioTiming::isComposition(OtioTiming::kindOf(*place.object)))
            visitArray(context, place, SchemaMembers::kChildren, why, pending);
        if (own == Own::Reported || place.object != &object)
            visitArray(context, place, SchemaMembers::kMarkers, why, pending);
    }
}

void reportDropped(ReadContext& context, const Value& object, const std::string& schema,
                   const std::string& why, const std::string& whyInside) {
    context.lose(schema, why);
    reportInside(context, object, whyInside);
}

} // namespace ZEM_0_81::Interchange::DroppedItems
