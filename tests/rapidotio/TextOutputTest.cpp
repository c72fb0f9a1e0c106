// The text output documents are written into: the characters it hands over,
// short and long texts, pages reused from a released text, and the writer's
// shortcuts (numbers converted in place, texts copied whole) giving the same
// characters as RapidJSON's own writer into its own string buffer.

#include "rapidotio/TextOutput.h"
#include "rapidotio/MemberWriter.h"

#include <gtest/gtest.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <algorithm>
#include <array>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <limits>
#include <random>
#include <set>
#include <string>
#include <type_traits>
#include <vector>

#if defined(__linux__)
#include <malloc.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

using namespace ZEM_0_81;
using namespace ZEM_0_81::rapidotio;

namespace {

/// `length` characters cycling through the alphabet from `first`.
std::string pattern(std::size_t length, char first) {
    std::string text(length, ' ');
    for (std::size_t i = 0; i < length; ++i)
        text[i] = static_cast<char>('a' + (first - 'a' + i) % 26);
    return text;
}

String written(const std::string& text) {
    TextOutput output;
    for (const char c : text)
        output.Put(c);
    return output.takeString();
}

/// The same calls made on our writer and on RapidJSON's writer into its own
/// string buffer; both texts are returned, with whether each call succeeded.
struct BothTexts {
    std::string ours;
    std::string theirs;
    std::vector<bool> oursOk;
    std::vector<bool> theirsOk;
};

template <class Calls> BothTexts writeBoth(Calls calls) {
    BothTexts both;
    TextOutput output;
    JsonTextWriter ours(output);
    rapidjson::StringBuffer buffer;
    rapidjson::Writer<rapidjson::StringBuffer> theirs(buffer);
    calls(ours, both.oursOk);
    calls(theirs, both.theirsOk);
    both.ours = output.copyText();
    both.theirs = buffer.GetString();
    return both;
}

} // namespace

TEST(TextOutput, HandsOverEveryCharacterOfShortAndLongTexts) {
    // Empty, within the first block, and long enough to live in pages of its own
    // grown several times.
    for (const std::size_t length : {std::size_t(0), std::size_t(1), std::size_t(4095),
                                     std::size_t(4096), std::size_t(70000), std::size_t(3) << 20}) {
        const std::string text = pattern(length, 'a');
        const String taken = written(text);
        ASSERT_EQ(taken.size(), length);
        EXPECT_EQ(std::string(taken.c_str(), taken.size()), text) << length;
        EXPECT_EQ(taken.c_str()[length], '\0') << length;
    }
}

TEST(TextOutput, PushAndPopWriteInPlace) {
    TextOutput output;
    char* room = output.Push(5);
    room[0] = 'x';
    room[1] = 'y';
    output.Pop(3);
    output.Put('z');
    EXPECT_EQ(output.copyText(), "xyz");
    EXPECT_EQ(output.size(), 3u);
}

TEST(TextOutput, PagesOfAReleasedTextServeTheNextWithNothingLeftOver) {
    // A long text released, then texts shorter, as long and longer written into
    // the pages it leaves: each holds exactly its own characters, and texts held
    // at the same time never share pages.
    String first = written(pattern(std::size_t(2) << 20, 'a'));
    first = String();

    const std::string shorter = pattern(100000, 'k');
    const String second = written(shorter);
    EXPECT_EQ(std::string(second.c_str(), second.size()), shorter);

    const std::string longer = pattern(std::size_t(5) << 20, 'q');
    String third = written(longer);
    EXPECT_EQ(std::string(third.c_str(), third.size()), longer);
    EXPECT_EQ(std::string(second.c_str(), second.size()), shorter);

    third = String();
    const std::string again = pattern(std::size_t(1) << 20, 'c');
    const String fourth = written(again);
    EXPECT_EQ(std::string(fourth.c_str(), fourth.size()), again);
    EXPECT_EQ(fourth.c_str()[again.size()], '\0');
}

TEST(TextOutput, SeveralReleasedTextsEachServeALaterOne) {
    // A host exporting several compositions in turn and then letting the texts
    // go: the next texts are written into their pages, not into fresh ones, and
    // each holds only its own characters.
#if defined(__linux__)
    std::vector<String> released;
    std::vector<const char*> places;
    for (char first : {'a', 'f', 'm'}) {
        released.push_back(written(pattern(std::size_t(2) << 20, first)));
        places.push_back(released.back().c_str());
    }
    released.clear();

    std::vector<String> later;
    for (char first : {'b', 'g', 'n'}) {
        const std::string text = pattern((std::size_t(3) << 19) + 7, first);
        later.push_back(written(text));
        EXPECT_NE(std::find(places.begin(), places.end(), later.back().c_str()), places.end())
            << "text " << first << " was written into fresh pages";
        EXPECT_EQ(std::string(later.back().c_str(), later.back().size()), text);
    }
    // Three texts held at once never share pages.
    EXPECT_NE(later[0].c_str(), later[1].c_str());
    EXPECT_NE(later[1].c_str(), later[2].c_str());
    EXPECT_NE(later[0].c_str(), later[2].c_str());
#else
    GTEST_SKIP() << "texts live in pages of their own on Linux only";
#endif
}

TEST(TextOutput, ManyShortTextsLetGoTogetherEachServeALaterOne) {
    // A host exporting a hundred short compositions, keeping their texts, then
    // letting them go together: a hundred later texts are each written into the
    // pages of one of them.
#if defined(__linux__)
    const std::size_t count = 100;
    std::vector<String> released;
    std::set<const char*> places;
    for (std::size_t i = 0; i < count; ++i) {
        released.push_back(
            written(pattern(std::size_t(60) << 10, static_cast<char>('a' + i % 26))));
        places.insert(released.back().c_str());
    }
    ASSERT_EQ(places.size(), count);
    released.clear();

    std::vector<String> later;
    for (std::size_t i = 0; i < count; ++i) {
        const std::string text = pattern((std::size_t(50) << 10) + i, 'z');
        later.push_back(written(text));
        EXPECT_EQ(places.count(later.back().c_str()), 1u) << "text " << i << " took fresh pages";
        EXPECT_EQ(std::string(later.back().c_str(), later.back().size()), text);
    }
#else
    GTEST_SKIP() << "texts live in pages of their own on Linux only";
#endif
}

TEST(TextOutput, WithoutNewPagesFromTheSystemATextGoesOnInTheHeap) {
    // In a child whose address space may not grow any more, but whose heap has
    // room kept from before: the text is written all the same. (The sanitizers
    // take their own memory from the system, so the limit would stop them.)
#if defined(__linux__) && !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        mallopt(M_MMAP_THRESHOLD, 32 << 20);
        mallopt(M_TRIM_THRESHOLD, 1 << 30);
        // Heap room kept: taken and let go (written to, so that the compiler
        // keeps the pair).
        char* volatile room = static_cast<char*>(std::malloc(std::size_t(24) << 20));
        if (!room)
            _exit(2);
        room[0] = 1;
        std::free(room);
        TextOutput::releaseSparePages();
        std::ifstream status("/proc/self/status");
        std::string line;
        long kilobytes = -1;
        while (std::getline(status, line))
            if (line.rfind("VmSize:", 0) == 0)
                kilobytes = std::atol(line.c_str() + 7);
        const rlimit limit{static_cast<rlim_t>(kilobytes) * 1024,
                           static_cast<rlim_t>(kilobytes) * 1024};
        if (kilobytes <= 0 || setrlimit(RLIMIT_AS, &limit) != 0)
            _exit(2);
        // No page of a mapping can be had now.
        if (mmap(nullptr, 1 << 20, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0) !=
            MAP_FAILED)
            _exit(3);
        try {
            const std::string text = pattern(std::size_t(3) << 20, 'h');
            const String out = written(text);
            _exit(std::string(out.c_str(), out.size()) == text ? 0 : 4);
        } catch (const std::bad_alloc&) {
            _exit(5);
        }
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "2: no limit set, 3: mappings still possible, "
                                         "4: wrong text, 5: not written";
#else
    GTEST_SKIP() << "texts live in pages of their own on Linux only";
#endif
}

TEST(JsonTextWriter, NumbersAreTheCharactersRapidJsonWrites) {
    const std::vector<double> doubles = {0.0,    -0.0,     1.0,          -1.5,     0.1,     24.0,
                                         23.976, 1e-7,     1e21,         1e300,    DBL_MAX, DBL_MIN,
                                         5e-324, -123.456, 2147483647.0, 1.0 / 3.0};
    const BothTexts both = writeBoth([&](auto& writer, std::vector<bool>& ok) {
        writer.StartArray();
        for (const double d : doubles)
            ok.push_back(writer.Double(d));
        for (const int i :
             {0, -1, 7, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()})
            ok.push_back(writer.Int(i));
        for (const unsigned u : {0u, 9u, 10u, std::numeric_limits<unsigned>::max()})
            ok.push_back(writer.Uint(u));
        for (const std::int64_t i : {std::int64_t(0), std::numeric_limits<std::int64_t>::min(),
                                     std::numeric_limits<std::int64_t>::max()})
            ok.push_back(writer.Int64(i));
        for (const std::uint64_t u : {std::uint64_t(0), std::numeric_limits<std::uint64_t>::max()})
            ok.push_back(writer.Uint64(u));
        writer.EndArray();
    });
    EXPECT_EQ(both.ours, both.theirs);
    EXPECT_EQ(both.oursOk, both.theirsOk);
}

TEST(JsonTextWriter, WholeNumbersAreTheCharactersOfRapidJsonsConversion) {
    // Whole numbers take a shortcut of their own: every one near zero, powers of
    // two and of ten and their neighbours up to the limit of the shortcut and
    // past it, and a million drawn across the whole range.
    std::vector<double> numbers;
    for (int i = -200000; i <= 200000; ++i)
        numbers.push_back(i);
    for (double power = 1.0; power < 1e17; power *= 2.0)
        for (const double near : {power - 1.0, power, power + 1.0, power + 2.0})
            numbers.insert(numbers.end(), {near, -near});
    for (double power = 10.0; power < 1e23; power *= 10.0)
        for (const double near : {power - 1.0, power, power + 1.0})
            numbers.insert(numbers.end(), {near, -near});
    std::mt19937_64 draw(20261206);
    for (int i = 0; i < 1000000; ++i) {
        const auto whole = static_cast<std::int64_t>(draw() >> 10) - (std::int64_t(1) << 53);
        numbers.push_back(static_cast<double>(whole));
        numbers.push_back(static_cast<double>(whole >> (i % 50)));
    }

    TextOutput output;
    JsonTextWriter writer(output);
    std::string expected = "[";
    writer.StartArray();
    for (const double number : numbers) {
        ASSERT_TRUE(writer.Double(number));
        char digits[32];
        const char* end = rapidjson::internal::dtoa(number, digits);
        if (expected.size() > 1)
            expected += ',';
        expected.append(digits, static_cast<std::size_t>(end - digits));
    }
    writer.EndArray();
    expected += ']';
    const std::string written = output.copyText();
    if (written != expected) {
        const std::size_t at = static_cast<std::size_t>(
            std::mismatch(written.begin(), written.end(), expected.begin(), expected.end()).first -
            written.begin());
        const std::size_t from = at > 40 ? at - 40 : 0;
        FAIL() << "written: ..." << written.substr(from, 80) << "\nexpected: ..."
               << expected.substr(from, 80);
    }
}

TEST(JsonTextWriter, NonFiniteNumbersFailAndWriteNothing) {
    for (const double d : {std::nan(""), HUGE_VAL, -HUGE_VAL}) {
        TextOutput output;
        JsonTextWriter writer(output);
        writer.StartArray();
        EXPECT_FALSE(writer.Double(d));
        EXPECT_EQ(output.copyText(), "[");
    }
}

TEST(JsonTextWriter, TextsAreTheCharactersRapidJsonWrites) {
    // Plain texts take the shortcut; any that needs escaping goes the long way.
    const std::vector<std::string> texts = {"",
                                            "OTIO_SCHEMA",
                                            "Point.1",
                                            "with \"quotes\"",
                                            "back\\slash",
                                            "tab\there",
                                            "line\nfeed",
                                            std::string("nul\0inside", 10),
                                            "\x1f\x7f",
                                            "caf\xc3\xa9",
                                            pattern(5000, 'm')};
    const BothTexts both = writeBoth([&](auto& writer, std::vector<bool>& ok) {
        writer.StartObject();
        for (const std::string& text : texts) {
            const auto length = static_cast<rapidjson::SizeType>(text.size());
            if constexpr (std::is_same_v<std::decay_t<decltype(writer)>, JsonTextWriter>) {
                ok.push_back(writer.Text(text.data(), length));
                ok.push_back(writer.Text(text.data(), length));
            } else {
                ok.push_back(writer.Key(text.data(), length));
                ok.push_back(writer.String(text.data(), length));
            }
        }
        writer.EndObject();
    });
    EXPECT_EQ(both.ours, both.theirs);
    EXPECT_EQ(both.oursOk, both.theirsOk);
}

TEST(MemberWriter, MembersAreTheCharactersRapidJsonWrites) {
    // Constant keys and texts, texts of the node (one of them needing escapes),
    // numbers of every kind, pairs and number lists, through the member writer
    // and through RapidJSON's own writer.
    const std::string plainText = "clip 12 / take 3";
    const std::string escaped = "say \"cut\"\n\\ here";
    TextOutput output;
    JsonTextWriter json(output);
    {
        MemberWriter writer(json, MemberWriter::Part::Whole);
        writer.beginObject();
        writer.member("OTIO_SCHEMA", "Point.1");
        writer.member("name", plainText);
        writer.member("note", escaped);
        writer.member(std::string("key \"quoted\""), escaped);
        writer.member("x", 0.25);
        writer.member("rate", 24.0);
        writer.member("on", true);
        writer.member("count", std::int32_t(-7));
        writer.member("size", std::uint32_t(4000000000u));
        writer.pair("center", 1.5, -2.0);
        writer.pair("pixels", std::int32_t(1920), std::int32_t(1080));
        writer.numbers("rgba", std::array<float, 4>{1.0f, 0.5f, 0.25f, 0.0f});
        writer.beginObject("inner");
        writer.endObject();
        writer.beginArray("list");
        writer.endArray();
        writer.endObject();
    }
    rapidjson::StringBuffer buffer;
    rapidjson::Writer<rapidjson::StringBuffer> theirs(buffer);
    theirs.StartObject();
    theirs.Key("OTIO_SCHEMA");
    theirs.String("Point.1");
    theirs.Key("name");
    theirs.String(plainText.c_str());
    theirs.Key("note");
    theirs.String(escaped.c_str());
    theirs.Key("key \"quoted\"");
    theirs.String(escaped.c_str());
    theirs.Key("x");
    theirs.Double(0.25);
    theirs.Key("rate");
    theirs.Double(24.0);
    theirs.Key("on");
    theirs.Bool(true);
    theirs.Key("count");
    theirs.Int(-7);
    theirs.Key("size");
    theirs.Uint(4000000000u);
    theirs.Key("center");
    theirs.StartArray();
    theirs.Double(1.5);
    theirs.Double(-2.0);
    theirs.EndArray();
    theirs.Key("pixels");
    theirs.StartArray();
    theirs.Int(1920);
    theirs.Int(1080);
    theirs.EndArray();
    theirs.Key("rgba");
    theirs.StartArray();
    for (const double d : {1.0, 0.5, 0.25, 0.0})
        theirs.Double(d);
    theirs.EndArray();
    theirs.Key("inner");
    theirs.StartObject();
    theirs.EndObject();
    theirs.Key("list");
    theirs.StartArray();
    theirs.EndArray();
    theirs.EndObject();
    EXPECT_EQ(output.copyText(), std::string(buffer.GetString()));
}
