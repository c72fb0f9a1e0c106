#include "tests/interchange/fcpxml/FcpxmlTestSupport.h"

#include <gtest/gtest.h>

namespace ZEM_0_81::test::fcpx {

namespace {

std::vector<std::string> entriesOf(const LossReport& losses) {
    std::vector<std::string> entries;
    for (std::uint32_t i = 0; i < losses.getCount(); ++i) {
        String path, schema, what;
        losses.getEntry(i, path, schema, what);
        entries.push_back(std::string(path.c_str()) + " | " + schema.c_str() + " | " +
                          what.c_str());
    }
    return entries;
}

std::string rateText(const Rational& rate) {
    if (rate.getDenominator() == 1)
        return std::to_string(rate.getNumerator());
    return std::to_string(rate.getNumerator()) + "/" + std::to_string(rate.getDenominator());
}

} // namespace

const char* const kResources =
    R"(<format id="r24" name="FFVideoFormat1080p24" frameDuration="1/24s" width="1920" height="1080"/>
    <format id="r2398" frameDuration="1001/24000s"/>
    <format id="r2997" frameDuration="1001/30000s"/>
    <format id="r25" frameDuration="1/25s"/>
    <asset id="a1" name="A1" start="3600s" duration="1000s" hasVideo="1" hasAudio="1" format="r24"><media-rep kind="original-media" src="file:///m/a1.mov"/></asset>
    <asset id="a2" name="A2" start="0s" duration="100s" hasVideo="1" format="r24"><media-rep kind="original-media" src="file:///m/a2.mov"/></asset>
    <asset id="a3" name="A3" start="0s" duration="300s" hasAudio="1" audioRate="48000"><media-rep kind="original-media" src="file:///m/a3.wav"/></asset>
    <asset id="a4" name="A4" start="18018/5s" duration="100s" hasVideo="1" format="r2398"><media-rep kind="original-media" src="file:///m/a4.mov"/></asset>
    <effect id="e1" name="Basic Title" uid=".../Titles.localized/Basic Title.moti"/>
)";

std::string documentOf(const std::string& spine, const std::string& sequence,
                       const std::string& resources, const std::string& version) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE fcpxml>\n<fcpxml version=\"" +
           version + "\">\n<resources>\n" + kResources + resources +
           "</resources>\n<library>\n<event name=\"E\">\n<project name=\"P\">\n<sequence " +
           (sequence.empty() ? std::string("format=\"r24\" tcStart=\"0s\"") : sequence) +
           ">\n<spine>\n" + spine +
           "</spine>\n</sequence>\n</project>\n</event>\n</library>\n"
           "</fcpxml>\n";
}

FcpxmlRead readFcpxml(const std::string& text, const std::string& timeline) {
    FcpxmlRead read;
    LossReport losses;
    String message;
    Fcpxml::ReadOptions options;
    options.timeline = timeline;
    read.status = Fcpxml::read(text.data(), text.size(), "fcpxml", options, read.composition,
                               losses, &message);
    read.losses = entriesOf(losses);
    read.message = message.c_str();
    return read;
}

std::vector<std::string> lossPlaces(const std::vector<std::string>& losses) {
    std::vector<std::string> places;
    for (const std::string& loss : losses)
        places.push_back(loss.substr(0, loss.find(" | ")));
    return places;
}

std::vector<std::string> lossesWith(const std::vector<std::string>& losses,
                                    const std::string& words) {
    std::vector<std::string> found;
    for (const std::string& loss : losses)
        if (loss.find(words) != std::string::npos)
            found.push_back(loss);
    return found;
}

TimelineView viewOf(const Composition& composition) {
    TimelineView view;
    EXPECT_TRUE(TimelineView::build(composition, view));
    return view;
}

std::vector<std::string> itemsOf(const Composition& composition) {
    std::vector<std::string> items;
    for (const TimelineTrack& track : viewOf(composition).tracks)
        for (const TimelineItem& item : track.items) {
            std::string line = track.name + " " + std::to_string(item.record.start) + "+" +
                               std::to_string(item.record.duration);
            if (item.isGap()) {
                line += " gap";
                if (!item.name.empty())
                    line += " " + item.name;
            } else {
                line += " clip " + item.name + " src " +
                        (item.source.start ? std::to_string(*item.source.start) : "?") + "@" +
                        rateText(item.source.rate);
                if (!item.targetUrl.empty())
                    line += " file " + item.targetUrl;
            }
            items.push_back(line);
        }
    return items;
}

std::string writeFcpxml(const Composition& composition, std::int32_t version,
                        std::vector<std::string>* losses) {
    String text;
    LossReport report;
    String message;
    Fcpxml::WriteOptions options;
    options.version = version;
    EXPECT_TRUE(Fcpxml::write(composition, options, text, report, &message)) << message.c_str();
    if (losses)
        *losses = entriesOf(report);
    return text.c_str();
}

} // namespace ZEM_0_81::test::fcpx
