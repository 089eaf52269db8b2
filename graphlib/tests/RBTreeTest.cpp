#include "graphlib/RBTree.h"

#include <gtest/gtest.h>

#include <map>
#include <random>

using namespace arv::graphlib;

namespace {

using TIntTree = TRBTree<int>;
using TNode = TIntTree::TNode;

int CompareInts(void*, const int& a, const int& b) {
    return a < b ? -1 : (a > b ? 1 : 0);
}

// Checks the red-black properties and the links; returns the black height.
int CheckSubtree(const TIntTree& t, const TNode* n, const TNode* parent, int& count) {
    if (n == t.Sentinel()) return 1;
    ++count;
    EXPECT_EQ(parent, TIntTree::Parent(n));
    if (TIntTree::IsRed(n)) {
        EXPECT_FALSE(TIntTree::IsRed(n->Left));
        EXPECT_FALSE(TIntTree::IsRed(n->Right));
    }
    if (n->Left != t.Sentinel()) {
        EXPECT_LT(n->Left->Item, n->Item);
    }
    if (n->Right != t.Sentinel()) {
        EXPECT_GT(n->Right->Item, n->Item);
    }
    int hl = CheckSubtree(t, n->Left, n, count);
    int hr = CheckSubtree(t, n->Right, n, count);
    EXPECT_EQ(hl, hr);
    return hl + (TIntTree::IsRed(n) ? 0 : 1);
}

void CheckTree(const TIntTree& t) {
    const TNode* s = t.Sentinel();
    ASSERT_EQ(s, s->Left);
    ASSERT_EQ(s, s->Right);
    ASSERT_FALSE(TIntTree::IsRed(s));
    ASSERT_FALSE(TIntTree::IsRed(t.Root()));
    int count = 0;
    CheckSubtree(t, t.Root(), nullptr, count);
    ASSERT_EQ(t.Count(), count);
}

void Collect(void* context, int& item) {
    static_cast<std::vector<int>*>(context)->push_back(item);
}

} // namespace

TEST(RBTree, RandomInsertsAndDeletesKeepTheInvariantsAndTheAddresses) {
    TIntTree t(&CompareInts, nullptr);
    std::map<int, TNode*> live; // item -> the node created for it
    std::mt19937 rng(2024);
    size_t largest = 0;
    for (int op = 1; op <= 100000; ++op) {
        largest = std::max(largest, live.size());
        int key = static_cast<int>(rng() % 20000);
        bool erase = live.size() > 1500 || (rng() % 100 < 45 && !live.empty());
        auto it = live.find(key);
        if (erase) {
            if (it == live.end()) it = live.lower_bound(key);
            if (it == live.end()) it = live.begin();
            t.DeleteNode(it->second);
            live.erase(it);
        } else {
            bool inserted;
            TNode* n = t.InsertUnique(key, inserted);
            ASSERT_EQ(it == live.end(), inserted);
            if (inserted)
                live[key] = n;
            else
                ASSERT_EQ(it->second, n);
        }
        if (op % 250 == 0 || op > 99900) {
            CheckTree(t);
            ASSERT_EQ(static_cast<int32_t>(live.size()), t.Count());
            for (const auto& [k, node] : live) {
                TNode* found;
                ASSERT_TRUE(t.Find(k, found));
                ASSERT_EQ(node, found); // no other node moved
                ASSERT_EQ(k, node->Item);
            }
        }
    }
    EXPECT_GT(largest, 1000u);
    while (!live.empty()) {
        t.DeleteNode(live.begin()->second);
        live.erase(live.begin());
        if (live.size() % 100 == 0) CheckTree(t);
    }
    EXPECT_EQ(t.Sentinel(), t.Root());
    EXPECT_EQ(nullptr, t.Minimum());
}

TEST(RBTree, WalksMinimumAndInvalidNodes) {
    TIntTree t(&CompareInts, nullptr);
    TNode* parent;
    EXPECT_FALSE(t.Find(5, parent));
    EXPECT_EQ(nullptr, parent);
    for (int k : {2, 1, 3, 5, 4}) {
        bool inserted;
        t.InsertUnique(k, inserted);
    }
    std::vector<int> pre, in;
    t.ForEach(&Collect, &pre);
    t.ForEachInOrder(&Collect, &in);
    EXPECT_EQ((std::vector<int>{2, 1, 4, 3, 5}), pre);
    EXPECT_EQ((std::vector<int>{1, 2, 3, 4, 5}), in);
    EXPECT_EQ(1, t.Minimum()->Item);
    EXPECT_FALSE(t.Find(6, parent));
    EXPECT_EQ(5, parent->Item); // where 6 would hang

    try {
        t.DeleteNode(nullptr);
        FAIL();
    } catch (const ERBTreeError& e) {
        EXPECT_STREQ("TRBTree.DeleteNode: invalid node", e.what());
    }
    EXPECT_THROW(t.DeleteNode(t.Sentinel()), ERBTreeError);
    EXPECT_THROW(t.InsertAt(9, nullptr), ERBTreeError); // the root slot is taken
    EXPECT_EQ(5, t.Count());
    CheckTree(t);

    TVMemStream s;
    t.WriteItem(s, 77);
    int back = 0;
    s.Seek(0);
    t.ReadItem(s, back);
    EXPECT_EQ(77, back);
    t.Clear();
    EXPECT_EQ(0, t.Count());
    EXPECT_EQ(t.Sentinel(), t.Root());
}
