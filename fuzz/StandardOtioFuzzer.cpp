// libFuzzer target: arbitrary bytes as standard OTIO, read into a composition,
// which must be what reading the document parsed whole gives (the same tree, the
// same losses, the same failure), also when every track's items are parsed on a
// thread ahead of the reader, an item a batch, as a long cut's are. Whatever
// reads is asked everything a host asks, and written back as standard OTIO,
// which must read again into the same edit tree, losing nothing but what it
// kept and wrote back (and so reports again, with what it reported of it);
// written for an OpenTimelineIO release, it must read again too. Any crash,
// hang, leak or sanitizer report is a finding, and so is a written text that
// does not come back the same.

#include "composition/AdoptTree.h"
#include "composition/Composition.h"
#include "composition/JsonException.h"
#include "interchange/StandardOtio.h"
#include "interchange/kept/ForeignMembers.h"
#include "interchange/otiostd/schemas/DocumentSchema.h"
#include "outside/dmtree/DmRoot.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>

using namespace ZEM_0_81;

namespace {

[[noreturn]] void finding(const char* what) {
    std::fprintf(stderr, "StandardOtioFuzzer: %s\n", what);
    std::abort();
}

bool endsWith(const String& text, const char* end) {
    const std::size_t length = std::strlen(end);
    return text.size() >= length &&
           std::memcmp(text.c_str() + text.size() - length, end, length) == 0;
}

std::string treeText(const Composition& composition) {
    String text;
    if (!composition.getJson(Composition::JsonType::DmTree, text))
        return std::string();
    return std::string(text.c_str(), text.size());
}

/// What a read gave: the edit tree and the losses, or the failure's message.
std::string readingOf(const Composition* composition, const LossReport& losses,
                      const String& message) {
    if (!composition)
        return std::string("failed: ") + message.c_str();
    std::string reading = treeText(*composition);
    for (std::uint32_t i = 0; i < losses.getCount(); ++i) {
        String path, schema, what;
        losses.getEntry(i, path, schema, what);
        reading += std::string("\n") + path.c_str() + " | " + schema.c_str() + " | " + what.c_str();
    }
    return reading;
}

/// readingOf `text` parsed whole into a DOM before it is read, as the reader
/// does where it cannot read a track's items one at a time from the text.
std::string wholeReadingOf(const std::string& text) {
    LossReport losses;
    try {
        const CoSharedPtr<DmRoot> root =
            Interchange::DocumentSchema::readParsedWhole(text.c_str(), text.size(), "", losses);
        const SharedPtr<Composition> composition = adoptTree(String("fuzz"), root.get());
        return readingOf(composition.get(), losses, String());
    } catch (const Json::Exception& failure) {
        return readingOf(nullptr, losses, String(failure.what()));
    }
}

/// readingOf `text` read with every track's items parsed on a thread ahead of
/// the reader, one item a batch and one batch ahead (the reader parses one
/// itself when the thread has not come to it, or is at it); "" when the
/// document must be parsed whole.
std::string aheadReadingOf(const std::string& text) {
    LossReport losses;
    const CoSharedPtr<DmRoot> root = Interchange::DocumentSchema::readLeavingItems(
        text.c_str(), text.size(), "", Interchange::TrackItems::Ahead{0, 0, 1}, losses);
    if (!root)
        return std::string();
    const SharedPtr<Composition> composition = adoptTree(String("fuzz"), root.get());
    return readingOf(composition.get(), losses, String());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The reader takes text followed by a NUL byte; the input may hold NULs of
    // its own, which the reader refuses.
    const std::string text(reinterpret_cast<const char*>(data), size);
    (void)detectDialect(text.c_str(), text.size());

    SharedPtr<Composition> composition;
    LossReport losses;
    String message;
    const bool read = static_cast<bool>(
        StandardOtio::read(text.c_str(), text.size(), "fuzz", composition, losses, &message));
    const std::string whole = wholeReadingOf(text);
    if (readingOf(read ? composition.get() : nullptr, losses, message) != whole)
        finding("read otherwise than the document parsed whole");
    if (const std::string ahead = aheadReadingOf(text); !ahead.empty() && ahead != whole)
        finding("read otherwise with the items parsed ahead than parsed whole");
    if (!read)
        return 0;

    Time start, duration;
    composition->getStartTime(start);
    composition->getDuration(duration);
    Bounds bounds;
    composition->getOutputBounds(start, bounds);

    // Written back (a tree holding a number the conversions pushed past the
    // double range cannot be), it must read back the same.
    const std::string tree = treeText(*composition);
    String written;
    if (tree.empty() || !StandardOtio::write(*composition, written, &message))
        return 0;
    // What the first read reported of an object it kept whole (a malformed
    // member of a nested composition) is written back as it came, and reported
    // again: for the same schema, the same words (its place may move up where
    // an item before it was dropped).
    std::set<std::string> reported;
    for (std::uint32_t i = 0; i < losses.getCount(); ++i) {
        String path, schema, what;
        losses.getEntry(i, path, schema, what);
        reported.insert(std::string(schema.c_str()) + '\n' + what.c_str());
    }
    SharedPtr<Composition> again;
    if (!StandardOtio::read(written.c_str(), written.size(), "again", again, losses, &message))
        finding("our own text does not read back");
    // What the edit tree cannot apply was kept and written back, so it is
    // reported again; nothing else may be.
    for (std::uint32_t i = 0; i < losses.getCount(); ++i) {
        String path, schema, what;
        losses.getEntry(i, path, schema, what);
        if (!endsWith(what, Interchange::ForeignMembers::Leftovers::kKeptNote) &&
            !endsWith(what, Interchange::ForeignMembers::Leftovers::kDisabledNote) &&
            reported.count(std::string(schema.c_str()) + '\n' + what.c_str()) == 0)
            finding("reading our own text lost something");
    }
    if (treeText(*again) != tree)
        finding("our own text reads back into another tree");

    // Written for a release (one by the input's size), it reads again.
    StandardOtio::WriteOptions options;
    options.version = kOtioVersions[size % (sizeof kOtioVersions / sizeof *kOtioVersions)];
    LossReport unwritten;
    options.losses = &unwritten;
    String versioned;
    if (!StandardOtio::write(*composition, options, versioned, &message))
        finding("a tree written as it stands cannot be written for a release");
    if (!StandardOtio::read(versioned.c_str(), versioned.size(), "release", again, losses,
                            &message))
        finding("the text written for a release does not read back");
    return 0;
}
