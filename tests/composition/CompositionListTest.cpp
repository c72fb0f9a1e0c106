#include "composition/CompositionList.h"

#include <gtest/gtest.h>

#include <vector>

using namespace ZEM_0_81;

namespace {

SharedPtr<Composition> make(const char* id) {
    SharedPtr<Composition> composition;
    EXPECT_TRUE(Composition::create(composition, String(id), id, Rational(24, 1)));
    return composition;
}

std::vector<std::string> idsOf(const CompositionList& list) {
    std::vector<std::string> ids;
    for (CompositionList::Iterator it = list.begin(); it != list.end(); ++it)
        ids.push_back((*it)->getId().c_str());
    return ids;
}

} // namespace

TEST(CompositionList, NewListIsEmpty) {
    CompositionList list;
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(list.size(), 0u);
    EXPECT_FALSE(list.begin() != list.end());
}

TEST(CompositionList, HoldsOneReferencePerElement) {
    SharedPtr<Composition> a = make("a");
    CompositionList list;
    list.append(a);
    list.append(a);
    EXPECT_EQ(list.size(), 2u);
    EXPECT_EQ(a->refcount(), 3);
    list.clear();
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(a->refcount(), 1);
}

TEST(CompositionList, FrontBackAndPopsKeepOrder) {
    CompositionList list;
    for (const char* id : {"a", "b", "c", "d"})
        list.append(make(id));
    EXPECT_STREQ(list.front()->getId().c_str(), "a");
    EXPECT_STREQ(list.back()->getId().c_str(), "d");
    list.pop_front();
    list.pop_back();
    EXPECT_EQ(idsOf(list), (std::vector<std::string>{"b", "c"}));
    const CompositionList& view = list;
    EXPECT_STREQ(view.front()->getId().c_str(), "b");
    EXPECT_STREQ(view.back()->getId().c_str(), "c");
}

TEST(CompositionList, EraseReturnsTheNextPositionAndReleases) {
    SharedPtr<Composition> only = make("only");
    CompositionList list;
    list.append(only);
    CompositionList::Iterator next = list.erase(list.begin());
    EXPECT_FALSE(next != list.end());
    EXPECT_EQ(only->refcount(), 1);

    for (const char* id : {"a", "b", "c"})
        list.append(make(id));
    CompositionList::Iterator it = list.begin();
    ++it;
    CompositionList::Iterator after = list.erase(it);
    EXPECT_STREQ((*after)->getId().c_str(), "c");
    EXPECT_EQ(idsOf(list), (std::vector<std::string>{"a", "c"}));
}

TEST(CompositionList, PositionsSurviveAppendAndIteratorsCopyTheirPosition) {
    CompositionList list;
    list.append(make("a"));
    CompositionList::Iterator first = list.begin();
    list.append(make("b"));
    EXPECT_STREQ((*first)->getId().c_str(), "a");

    CompositionList::Iterator copy(first);
    ++copy;
    EXPECT_STREQ((*copy)->getId().c_str(), "b");
    EXPECT_STREQ((*first)->getId().c_str(), "a");
    copy = copy; // self-assignment keeps the position
    EXPECT_STREQ((*copy)->getId().c_str(), "b");
    first = copy;
    EXPECT_FALSE(first != copy);
}

TEST(CompositionList, CopiesAndAssignmentShareElementsButNotStructure) {
    SharedPtr<Composition> a = make("a");
    CompositionList list;
    list.append(a);
    list.append(make("b"));

    CompositionList copy(list);
    EXPECT_EQ(a->refcount(), 3);
    copy.clear();
    EXPECT_EQ(idsOf(list), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(a->refcount(), 2);

    list = list;
    EXPECT_EQ(idsOf(list), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(a->refcount(), 2);

    CompositionList other;
    other.append(make("z"));
    other = list;
    EXPECT_EQ(idsOf(other), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(a->refcount(), 3);
}
