#include "json/HandOver.h"

#include "outside/dmtree/DmPropertySet.h"
#include "outside/dmtree/DmTreeNode.h"

#include <gtest/gtest.h>

#include <new>
#include <vector>

namespace ZEM_0_81::Json {
namespace {

/// An edit-tree object that reports its deletion.
class Probe : public DmPropertySet {
public:
    explicit Probe(bool& deleted) : m_deleted(deleted) {}
    ~Probe() override { m_deleted = true; }
    CoSharedPtr<DmPropertySet> clone() const override { return nullptr; }

private:
    bool& m_deleted;
};

TEST(HandOver, TheOwnerHoldsTheOnlyReference) {
    bool deleted = false;
    std::vector<CoSharedPtr<Probe>> owner;
    Probe* made = new Probe(deleted);
    EXPECT_EQ(made, handOver(made, [&](Probe* probe) { owner.emplace_back(probe); }));
    EXPECT_EQ(1, made->refcount());
    EXPECT_FALSE(deleted);
    owner.clear();
    EXPECT_TRUE(deleted) << "the owner's reference was the last one";
}

TEST(HandOver, AnObjectNotKeptOrWhoseOwnerThrowsIsDeleted) {
    bool deleted = false;
    EXPECT_EQ(nullptr, handOver(new Probe(deleted), [](Probe*) {}));
    EXPECT_TRUE(deleted);

    deleted = false;
    EXPECT_THROW(handOver(new Probe(deleted), [](Probe*) { throw std::bad_alloc(); }),
                 std::bad_alloc);
    EXPECT_TRUE(deleted);
}

TEST(HandOver, AChildThatItsParentRefusesIsDeleted) {
    // A tree node refuses itself as its own child: the refused node goes.
    struct Node : DmTreeNode {
        bool* deleted = nullptr;
        ~Node() override { *deleted = true; }
        DmTreeNode* copyNode() const override { return nullptr; }
    };
    bool deleted = false;
    auto* node = new Node;
    node->deleted = &deleted;
    EXPECT_EQ(nullptr, handOver(node, [](Node* made) { made->addChild(made); }));
    EXPECT_TRUE(deleted);
}

} // namespace
} // namespace ZEM_0_81::Json
