// The places of elements as the loss reports of every XML format name them.

#include "interchange/xml/XmlPlace.h"

#include <gtest/gtest.h>

#include <string>

namespace ZEM_0_81::test {
namespace {

TEST(XmlPlace, AnElementsPathIndexesItAmongSiblingsOfItsName) {
    pugi::xml_document document;
    ASSERT_TRUE(document.load_string(
        "<a><b/><c><d/><x/><d/><d><e/></d></c><b><!-- c --><f/>text<f/></b></a>"));
    const pugi::xml_node a = document.document_element();
    const pugi::xml_node c = a.child("c");
    const pugi::xml_node lastD = c.last_child();
    const pugi::xml_node secondB = a.last_child();
    // The root has no index; an only child of its name none; the others
    // count from 1 among their own name's siblings, other nodes not counted.
    EXPECT_EQ(Interchange::Xml::placeOf(a), "/a");
    EXPECT_EQ(Interchange::Xml::placeOf(c), "/a/c");
    EXPECT_EQ(Interchange::Xml::placeOf(a.first_child()), "/a/b[1]");
    EXPECT_EQ(Interchange::Xml::placeOf(secondB), "/a/b[2]");
    EXPECT_EQ(Interchange::Xml::placeOf(c.first_child()), "/a/c/d[1]");
    EXPECT_EQ(Interchange::Xml::placeOf(c.child("x")), "/a/c/x");
    EXPECT_EQ(Interchange::Xml::placeOf(lastD.child("e")), "/a/c/d[3]/e");
    EXPECT_EQ(Interchange::Xml::placeOf(secondB.last_child()), "/a/b[2]/f[2]");
    EXPECT_EQ(Interchange::Xml::stepOf(lastD), "d[3]");
    // Nodes that are no elements (the text between the f elements) have no place.
    EXPECT_EQ(Interchange::Xml::placeOf(secondB.first_child().next_sibling()), "");
    EXPECT_EQ(Interchange::Xml::placeOf(pugi::xml_node()), "");
}

} // namespace
} // namespace ZEM_0_81::test
