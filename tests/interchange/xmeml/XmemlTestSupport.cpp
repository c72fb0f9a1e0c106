#include "tests/interchange/xmeml/XmemlTestSupport.h"

#include "interchange/TimelineView.h"

#include <gtest/gtest.h>

namespace ZEM_0_81::test::xmeml {

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
    return std::to_string(rate.getNumerator()) +
           (rate.getDenominator() == 1 ? "" : "/" + std::to_string(rate.getDenominator()));
}

TimelineView viewOf(const Composition& composition) {
    TimelineView view;
    EXPECT_TRUE(TimelineView::build(composition, view));
    return view;
}

} // namespace

XmemlRead readXmeml(const std::string& text, const std::string& timeline) {
    XmemlRead read;
    LossReport losses;
    String message;
    Xmeml::ReadOptions options;
    options.timeline = timeline;
    read.status =
        Xmeml::read(text.data(), text.size(), "xmeml", options, read.composition, losses, &message);
    read.losses = entriesOf(losses);
    read.message = message.c_str();
    return read;
}

std::string rateXml(int timebase, bool ntsc) {
    return "<rate><timebase>" + std::to_string(timebase) + "</timebase><ntsc>" +
           (ntsc ? "TRUE" : "FALSE") + "</ntsc></rate>";
}

std::string sequenceXml(const std::vector<std::string>& video,
                        const std::vector<std::string>& audio, const std::string& rate,
                        const std::string& more) {
    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE xmeml>\n"
                       "<xmeml version=\"5\">\n<sequence id=\"sequence-1\">\n<name>cut</name>\n" +
                       rate + "\n" + more + "\n<media>\n<video>\n";
    for (const std::string& track : video)
        text += "<track>\n" + track + "\n</track>\n";
    text += "</video>\n<audio>\n";
    for (const std::string& track : audio)
        text += "<track>\n" + track + "\n</track>\n";
    return text + "</audio>\n</media>\n</sequence>\n</xmeml>\n";
}

std::string clipXml(const std::string& name, long start, long end, long in, long out,
                    const std::string& file, const std::string& more) {
    return "<clipitem><name>" + name + "</name><start>" + std::to_string(start) + "</start><end>" +
           std::to_string(end) + "</end><in>" + std::to_string(in) + "</in><out>" +
           std::to_string(out) + "</out>" + file + more + "</clipitem>\n";
}

std::string fileXml(const std::string& id, const std::string& path, const std::string& rate,
                    long duration, const std::string& timecode) {
    return "<file id=\"" + id + "\"><name>" + id + "</name><pathurl>" + path + "</pathurl>" + rate +
           "<duration>" + std::to_string(duration) + "</duration>" +
           (timecode.empty() ? "" : "<timecode>" + timecode + "</timecode>") + "</file>";
}

std::vector<std::string> lossPlaces(const std::vector<std::string>& losses) {
    std::vector<std::string> places;
    for (const std::string& loss : losses)
        places.push_back(loss.substr(0, loss.find(" | ")));
    return places;
}

std::vector<std::string> itemsOf(const Composition& composition) {
    std::vector<std::string> items;
    for (const TimelineTrack& track : viewOf(composition).tracks) {
        for (const TimelineItem& item : track.items) {
            std::string line = track.name + " " + std::to_string(item.record.start) + "+" +
                               std::to_string(item.record.duration);
            if (item.isGap()) {
                items.push_back(line + " gap");
                continue;
            }
            line += " clip " + item.name + " src " +
                    (item.source.start ? std::to_string(*item.source.start) : "?") + "@" +
                    rateText(item.source.rate);
            if (!item.targetUrl.empty())
                line += " " + item.targetUrl;
            items.push_back(line);
        }
    }
    return items;
}

std::vector<std::string> transitionsOf(const Composition& composition) {
    std::vector<std::string> transitions;
    for (const TimelineTrack& track : viewOf(composition).tracks)
        for (const TimelineTransition& transition : track.transitions)
            transitions.push_back(track.name + " " + std::to_string(transition.cut) + " -" +
                                  std::to_string(transition.inOffset) + " +" +
                                  std::to_string(transition.outOffset) + " " + transition.name +
                                  " " + transition.type);
    return transitions;
}

std::vector<std::string> notesOf(const Composition& composition) {
    std::vector<std::string> notes;
    for (const TimelineTrack& track : viewOf(composition).tracks)
        for (const TimelineItem& item : track.items)
            for (const TimelineNote& note : item.notes)
                notes.push_back(track.name + " " + std::to_string(note.range.start) + "+" +
                                std::to_string(note.range.duration) + " " + note.text);
    return notes;
}

std::string withoutLayout(const std::string& xml) {
    std::string out;
    std::size_t i = 0;
    while (i < xml.size()) {
        if (xml[i] == '>') {
            std::size_t next = xml.find_first_not_of(" \n", i + 1);
            out += '>';
            i = next != std::string::npos && xml[next] == '<' ? next : i + 1;
            continue;
        }
        out += xml[i++];
    }
    return out;
}

std::string writeXmeml(const Composition& composition, std::vector<std::string>* losses) {
    String text;
    LossReport report;
    String message;
    EXPECT_TRUE(Xmeml::write(composition, text, report, &message)) << message.c_str();
    if (losses)
        *losses = entriesOf(report);
    return text.c_str();
}

} // namespace ZEM_0_81::test::xmeml
