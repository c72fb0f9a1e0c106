#include "tools/zemcomp/options/DialectOption.h"

#include "tools/zemcomp/options/RateOption.h"

#include <map>

namespace zemcomp {

namespace {

/// A dialect as the command line names it, with what it is in words.
struct DialectWord {
    const char* name;
    Dialect dialect;
    const char* description;
};

const DialectWord kDialectWords[] = {
    {"otio", Dialect::Otio,
     "OpenTimelineIO JSON with this library's metadata, as it reads and writes it"},
    {"otio-std", Dialect::OtioStandard,
     "standard OpenTimelineIO JSON, as the OpenTimelineIO library reads and writes it"},
    {"dmtree", Dialect::DmTree, "the edit tree's own JSON"},
    {"edl", Dialect::Edl, "a CMX 3600 edit decision list (its rate: --rate)"},
    {"xmeml", Dialect::Xmeml,
     "Final Cut Pro 7 XML, as Premiere Pro, Resolve and Nuke Studio exchange it"},
    {"fcpxml", Dialect::Fcpxml,
     "FCPXML 1.8 to 1.13, Final Cut Pro's and DaVinci Resolve's (--fcpxml-version)"},
};

} // namespace

std::vector<std::string> dialectNames() {
    std::vector<std::string> names;
    for (const DialectWord& word : kDialectWords)
        names.emplace_back(word.name);
    return names;
}

std::string dialectFooter() {
    std::string text = "\nDialects (--from, --to):\n";
    for (const DialectWord& word : kDialectWords) {
        std::string name = word.name;
        name.resize(10, ' ');
        text += "  " + name + word.description + "\n";
    }
    text += "Without --from the dialect is detected: dmtree by a top-level \"format\" member,\n"
            "otio by a timeline whose metadata.zem.ZEM_SCHEMA is \"TimelineMetadata.1\",\n"
            "edl by the .edl extension or a first line that is TITLE: or an event,\n"
            "xmeml by the .xml extension or any other text that starts as XML,\n"
            "fcpxml by the .fcpxml extension, a .fcpxmld bundle or the root element <fcpxml>,\n"
            "otio-std otherwise.\n";
    return text;
}

CLI::Option* addDialectOption(CLI::App& command, const char* name, Dialect& target,
                              const char* help) {
    std::map<std::string, Dialect> dialects;
    for (const DialectWord& word : kDialectWords)
        dialects.emplace(word.name, word.dialect);
    return command.add_option(name, target, help)
        ->transform(CLI::CheckedTransformer(dialects, CLI::ignore_case).description(""))
        ->type_name("DIALECT");
}

std::vector<std::string> otioVersionNames() {
    std::vector<std::string> names;
    for (const ZEM_0_81::OtioVersion version : ZEM_0_81::kOtioVersions)
        names.emplace_back(ZEM_0_81::otioVersionName(version));
    return names;
}

CLI::Option* addOtioVersionOption(CLI::App& command, ZEM_0_81::OtioVersion& target) {
    std::map<std::string, ZEM_0_81::OtioVersion> versions;
    std::string labels;
    for (const ZEM_0_81::OtioVersion version : ZEM_0_81::kOtioVersions) {
        versions.emplace(ZEM_0_81::otioVersionName(version), version);
        labels += (labels.empty() ? "" : ", ") + std::string(ZEM_0_81::otioVersionName(version));
    }
    const std::string help =
        "With --to otio-std: the OpenTimelineIO release to write for, its schemas only (" + labels +
        "; 0.14.0 writes Clip.1, 0.19.0 Marker.3); default: the current release's (" +
        ZEM_0_81::otioVersionName(ZEM_0_81::kCurrentOtioVersion) +
        "), and what other tools wrote as it came";
    return command.add_option("--otio-version", target, help)
        ->transform(CLI::CheckedTransformer(versions).description(""))
        ->type_name("LABEL");
}

std::vector<std::string> fcpxmlVersionNames() {
    std::vector<std::string> names;
    for (std::int32_t version = ZEM_0_81::Fcpxml::kFirstVersion;
         version <= ZEM_0_81::Fcpxml::kLastVersion; ++version)
        names.push_back("1." + std::to_string(version));
    return names;
}

CLI::Option* addFcpxmlVersionOption(CLI::App& command, std::int32_t& target) {
    std::map<std::string, std::int32_t> versions;
    for (const std::string& name : fcpxmlVersionNames())
        versions.emplace(name, std::stoi(name.substr(2)));
    return command
        .add_option("--fcpxml-version", target,
                    "With --to fcpxml: the FCPXML version to write, 1.8 to 1.13 (default: 1.8, "
                    "what Final Cut Pro 10.4 and later and DaVinci Resolve import)")
        ->transform(CLI::CheckedTransformer(versions).description(""))
        ->type_name("VERSION");
}

void InputOptions::add(CLI::App& command) {
    m_fromOption = addDialectOption(command, "--from", m_from,
                                    "Dialect of the input (see below; default: detected)");
    command
        .add_option_function<std::string>(
            "--rate",
            [this](const std::string& text) {
                if (const std::optional<ZEM_0_81::Rational> rate = parseRate(text))
                    m_rate = *rate;
            },
            "The frame rate of an EDL, which does not say it: 24, 25, 23.976, 29.97, 59.94, ... "
            "or a fraction such as 30000/1001 (default: 24, or 29.97 when its first FCM line says "
            "drop frame)")
        ->type_name("RATE")
        ->check(CLI::Validator(
            [](std::string& text) {
                return parseRate(text)
                           ? std::string()
                           : "not a frame rate: " + text + " (24, 23.976, 29.97, 30000/1001, ...)";
            },
            "", "RATE"));
    command
        .add_option("--timeline,--sequence", m_timeline,
                    "Of a document holding several timelines (a collection of standard OTIO "
                    "timelines, the sequences of an XML interchange file): the one to read, by "
                    "name, else by number from 1 (default: the first; the others are counted)")
        ->type_name("NAME|NUMBER");
    command.add_flag("--strict", strict,
                     "Fail when anything is lost reading standard OTIO or an EDL, or writing "
                     "with convert (the losses are listed on standard error either way)");
}

ZEM_0_81::DocumentReadOptions InputOptions::readOptions() const {
    ZEM_0_81::DocumentReadOptions options;
    options.dialect = dialect();
    options.rate = m_rate;
    options.timeline = m_timeline;
    return options;
}

std::optional<Dialect> InputOptions::dialect() const {
    if (m_fromOption && m_fromOption->count() > 0)
        return m_from;
    return std::nullopt;
}

} // namespace zemcomp
