// A host program built against the installed package: makes a composition,
// keeps it in the exported list, reads its edit-tree JSON and duration, its
// timeline view and a timecode, exchanges it as standard OTIO, reads an ASC CDL
// correction (the installed headers need no XML parser's) and lets the
// library's spare memory go.
#include "composition/Composition.h"
#include "composition/CompositionList.h"
#include "composition/SpareMemory.h"
#include "composition/Timecode.h"
#include "interchange/AscCdl.h"
#include "interchange/TimelineView.h"
#include "interchange/Dialect.h"
#include "interchange/StandardOtio.h"

#include <cstdio>
#include <string>

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
    TimelineView view;
    if (!TimelineView::build(*list.front(), view) || !view.hasTimeline || view.name != "Installed")
        return 4;
    std::string timecode;
    if (!Timecode::format(90000, Rational(25, 1), timecode) || timecode != "01:00:00:00")
        return 5;
    String standard;
    if (!StandardOtio::write(*composition, standard, nullptr) ||
        detectDialect(standard.c_str(), standard.size()) != Dialect::OtioStandard)
        return 6;
    SharedPtr<Composition> back;
    LossReport losses;
    if (!StandardOtio::read(standard.c_str(), standard.size(), "back", back, losses, nullptr) ||
        !losses.isEmpty())
        return 7;
    const std::string cc = "<ColorCorrection id=\"a\"><SatNode><Saturation>0.5</Saturation>"
                           "</SatNode></ColorCorrection>";
    AscCdl::Contents looks;
    if (!AscCdl::read(cc.data(), cc.size(), looks, losses, nullptr) ||
        looks.corrections.size() != 1 || looks.corrections[0].look.saturation != 0.5)
        return 8;
    releaseSpareMemory();
    std::printf("consumer ok: %llu composition(s)\n", static_cast<unsigned long long>(list.size()));
    return 0;
}
