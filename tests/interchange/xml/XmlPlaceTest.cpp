// The places of elements as every XML format names them in its losses.

#include "interchange/xml/XmlPlace.h"

#include <gtest/gtest.h>

#include <string>

namespace ZEM_0_81::test {
namespace {

TEST(XmlPlace, ElementsArePathsWithPositionsAmongNamesakes) {
    pugi::xml_document document;
    ASSERT_TRUE(document.load_string("<xmeml><sequence><media><video>"
                                     "<format/><track/><track><clipitem/><transitionitem/>"
                                     "<clipitem/><clipitem><name>c</name></clipitem></track>"
                                     "</video></media></sequence></xmeml>"));
    const pugi::xml_node video =
        document.child("xmeml").child("sequence").child("media").child("video");
    const pugi::xml_node second = video.child("track").next_sibling("track");
    const pugi::xml_node third = second.last_child();
    // A name alone when it is the only one of its parent's children of that
    // name; its position among them, from 1, otherwise.
    EXPECT_EQ(Interchange::Xml::placeOf(document.child("xmeml")), "/xmeml");
    EXPECT_EQ(Interchange::Xml::placeOf(video.child("format")),
              "/xmeml/sequence/media/video/format");
    EXPECT_EQ(Interchange::Xml::placeOf(video.child("track")),
              "/xmeml/sequence/media/video/track[1]");
    EXPECT_EQ(Interchange::Xml::placeOf(second.first_child()),
              "/xmeml/sequence/media/video/track[2]/clipitem[1]");
    EXPECT_EQ(Interchange::Xml::placeOf(second.child("transitionitem")),
              "/xmeml/sequence/media/video/track[2]/transitionitem");
    EXPECT_EQ(Interchange::Xml::placeOf(third), "/xmeml/sequence/media/video/track[2]/clipitem[3]");
    // A text is at its element's place; the document and nothing are at "/".
    EXPECT_EQ(Interchange::Xml::placeOf(third.child("name").first_child()),
              "/xmeml/sequence/media/video/track[2]/clipitem[3]/name");
    EXPECT_EQ(Interchange::Xml::placeOf(document), "/");
    EXPECT_EQ(Interchange::Xml::placeOf(pugi::xml_node()), "/");

    pugi::xml_document attributes;
    ASSERT_TRUE(attributes.load_string("<xmeml version=\"5\"><sequence id=\"s\"/></xmeml>"));
    const pugi::xml_node sequence = attributes.child("xmeml").child("sequence");
    EXPECT_EQ(Interchange::Xml::placeOf(sequence, sequence.attribute("id")), "/xmeml/sequence/@id");
    EXPECT_EQ(Interchange::Xml::placeOf(pugi::xml_node(), sequence.attribute("id")), "/@id");
}

} // namespace
} // namespace ZEM_0_81::test
