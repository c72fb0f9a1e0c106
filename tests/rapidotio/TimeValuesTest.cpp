#include "rapidotio/TimeValues.h"

#include "tests/rapidotio/OtioTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <iterator>

namespace ZEM_0_81::rapidotio {
namespace {

using test::parse;

RationalTime readTime(const std::string& text) {
    auto doc = parse(text);
    RationalTime time;
    parseRationalTime(*doc, time);
    return time;
}

std::string writtenTime(const RationalTime& time) {
    return test::objectText([&](MemberWriter& writer) { writeRationalTime(time, writer); });
}

TEST(TimeValues, RationalTimeAcceptsIntegerAndTextRates) {
    RationalTime t = readTime(R"({"OTIO_SCHEMA":"RationalTime.1","rate":24,"value":10})");
    EXPECT_EQ(24.0, t.rate);
    EXPECT_EQ(10.0, t.value);

    t = readTime(R"({"OTIO_SCHEMA":"RationalTime.1","rate":"23.976"})");
    EXPECT_DOUBLE_EQ(23.976, t.rate);
    EXPECT_EQ(DBL_MAX, t.value);

    t = readTime(R"({"OTIO_SCHEMA":"RationalTime.1","rate":"fast","value":"10"})");
    EXPECT_EQ(0.0, t.rate) << "text without a leading number";
    EXPECT_EQ(DBL_MAX, t.value) << "value has no text form";

    t = readTime(R"({"OTIO_SCHEMA":"RationalTime.1","rate":24.5,"value":-3.25})");
    EXPECT_EQ(24.5, t.rate);
    EXPECT_EQ(-3.25, t.value);
}

TEST(TimeValues, WrongOrMissingSchemaReadsNothing) {
    for (const char* text : {R"({"rate":24.0,"value":10.0})",
                             R"({"OTIO_SCHEMA":"RationalTime.2","rate":24.0,"value":10.0})",
                             R"({"OTIO_SCHEMA":7,"rate":24.0,"value":10.0})", R"([24.0,10.0])"}) {
        RationalTime t = readTime(text);
        EXPECT_EQ(DBL_MAX, t.value) << text;
        EXPECT_EQ(0.0, t.rate) << text;
    }
}

TEST(TimeValues, TimeRangeReadsBothTimesWhateverItsOwnSchema) {
    auto doc = parse(R"({"OTIO_SCHEMA":"Nonsense",
        "start_time":{"OTIO_SCHEMA":"RationalTime.1","rate":25.0,"value":1.0},
        "duration":5})");
    TimeRange range;
    parseTimeRange(*doc, range);
    EXPECT_EQ(25.0, range.start_time.rate);
    EXPECT_EQ(1.0, range.start_time.value);
    EXPECT_FALSE(isValid(range.duration));
    EXPECT_FALSE(isValid(range));
}

TEST(TimeValues, PointNeedsItsSchemaAndDoubleCoordinates) {
    auto doc = parse(R"([{"OTIO_SCHEMA":"Point.1","x":1,"y":1.0,"width":0.5},
                         {"OTIO_SCHEMA":"Point.2","x":1.0}, 4])");
    Point a, b, c;
    parsePoint((*doc)[0], a);
    parsePoint((*doc)[1], b);
    parsePoint((*doc)[2], c);
    EXPECT_EQ(0.0, a.x) << "integer coordinates are rejected";
    EXPECT_EQ(1.0, a.y);
    EXPECT_EQ(0.5, a.width);
    EXPECT_EQ(0.0, b.x);
    EXPECT_EQ(0.0, c.x);
}

TEST(TimeValues, PointReadsTheSameInWhateverFormItIsWritten) {
    // The members as written, reordered (sorted by name too), repeated (the
    // first wins), with one more, with an integer, a schema text that holds a
    // NUL byte after "Point.1" (read up to it), and four members of which one
    // is not a coordinate: the reads must agree member by member.
    auto doc = parse(R"([{"OTIO_SCHEMA":"Point.1","x":0.25,"y":-1.5,"width":2.0},
                         {"width":2.0,"y":-1.5,"OTIO_SCHEMA":"Point.1","x":0.25},
                         {"OTIO_SCHEMA":"Point.1","x":0.25,"x":9.0,"y":-1.5,"width":2.0},
                         {"OTIO_SCHEMA":"Point.1","x":0.25,"y":-1.5,"width":2.0,"z":1.0},
                         {"OTIO_SCHEMA":"Point.1","x":0.25,"y":-1.5,"width":2},
                         {"OTIO_SCHEMA":"Point.1\u0000x","x":0.25,"y":-1.5,"width":2.0},
                         {"OTIO_SCHEMA":"Point.10","x":0.25,"y":-1.5,"width":2.0},
                         {"OTIO_SCHEMA":1,"x":0.25,"y":-1.5,"width":2.0},
                         {"OTIO_SCHEMA":"Point.1","x":0.25,"y":-1.5,"widtH":2.0},
                         {"OTIO_SCHEMA":"Point.1","width":2.0,"x":0.25,"y":-1.5},
                         {"OTIO_SCHEMA":"Point.1","width":2.0,"x":0.25,"x":-1.5},
                         {"OTIO_SCHEMA":"Point.1","OTIO_SCHEMA":"Point.2","x":0.25,"y":-1.5},
                         {"OTIO_SCHEMA":"Point.1","x":0.25,"z":-1.5,"width":2.0},
                         {"OTIO_SCHEMA":"Point.1","q":2.0,"x":0.25,"y":-1.5}])");
    const struct {
        double x, y, width;
    } expected[] = {{0.25, -1.5, 2.0}, {0.25, -1.5, 2.0}, {0.25, -1.5, 2.0}, {0.25, -1.5, 2.0},
                    {0.25, -1.5, 7.0}, {0.25, -1.5, 2.0}, {7.0, 7.0, 7.0},   {7.0, 7.0, 7.0},
                    {0.25, -1.5, 7.0}, {0.25, -1.5, 2.0}, {0.25, 7.0, 2.0},  {0.25, -1.5, 7.0},
                    {0.25, 7.0, 2.0},  {0.25, -1.5, 7.0}};
    ASSERT_EQ(std::size(expected), doc->Size());
    for (rapidjson::SizeType i = 0; i < doc->Size(); ++i) {
        Point point;
        point.x = point.y = point.width = 7.0; // what a read leaves alone shows
        parsePoint((*doc)[i], point);
        EXPECT_EQ(expected[i].x, point.x) << "point " << i;
        EXPECT_EQ(expected[i].y, point.y) << "point " << i;
        EXPECT_EQ(expected[i].width, point.width) << "point " << i;
    }
}

TEST(TimeValues, ValidityUsesTheEpsilonTests) {
    EXPECT_FALSE(isValid(RationalTime{}));
    EXPECT_TRUE(isValid(RationalTime{0, 24}));
    EXPECT_FALSE(isValid(RationalTime{0, 1e-17}));
    EXPECT_FALSE(isValid(RationalTime{DBL_MAX, 24}));
    EXPECT_FALSE(isValid(RationalTime{NAN, 24}));
    EXPECT_TRUE(isValid(TimeRange{{1, 24}, {2, 24}}));
    EXPECT_FALSE(isValid(TimeRange{{1, 24}, {2, 0}}));
}

TEST(TimeValues, WrittenFormsKeepOnlySetMembersAndSchemaOrder) {
    EXPECT_EQ(R"({"OTIO_SCHEMA":"RationalTime.1","value":0.0,"rate":24.0})",
              writtenTime(RationalTime{0, 24}));
    EXPECT_EQ(R"({"OTIO_SCHEMA":"RationalTime.1"})", writtenTime(RationalTime{}));
    EXPECT_EQ(R"({"OTIO_SCHEMA":"RationalTime.1","value":1.7976931348623155e308})",
              writtenTime(RationalTime{std::nextafter(DBL_MAX, 0.0), 0}));
    EXPECT_EQ(R"({"OTIO_SCHEMA":"RationalTime.1","rate":23.976})",
              writtenTime(RationalTime{DBL_MAX, 23.976}));

    EXPECT_EQ(R"({"start_time":{"OTIO_SCHEMA":"RationalTime.1","value":10.0,"rate":24.0},)"
              R"("duration":{"OTIO_SCHEMA":"RationalTime.1"},"OTIO_SCHEMA":"TimeRange.1"})",
              test::objectText([](MemberWriter& writer) {
                  writeTimeRange(TimeRange{{10, 24}, {}}, writer);
              }));
    EXPECT_EQ(R"({"OTIO_SCHEMA":"Point.1","x":1.0,"y":2.5,"width":3.0})",
              test::objectText([](MemberWriter& writer) {
                  writePoint(Point{1, 2.5, 3}, writer);
              }));
}

} // namespace
} // namespace ZEM_0_81::rapidotio
