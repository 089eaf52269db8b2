// The library's one red-black tree, instantiated for the string dictionary
// and for the float priority queue.
//
// Every missing child is the tree's sentinel: one zero-filled black node whose
// Left and Right point to itself. A node's parent and colour share one word,
// the colour in bit 0 (1 = red). Deleting a node never moves another node's
// item: when the deleted node has two children its successor node is relinked
// into its place, so a node reference (a queue handle) stays valid until that
// node itself is deleted.
#pragma once

#include "graphlib/GraphErrors.h"
#include "graphlib/VStream.h"

#include <cstdint>
#include <type_traits>

namespace arv::graphlib {

template <class TItem> class TRBTree : public TObject {
public:
    struct TNode {
        TNode* Left = nullptr;
        TNode* Right = nullptr;
        std::uintptr_t ParentAndColour = 0;
        TItem Item{};
    };
    using TCompareFunc = int (*)(void* context, const TItem& a, const TItem& b);
    using TItemCallback = void (*)(void* context, TItem& item);

    TRBTree(TCompareFunc compare, void* context) : FCompareFunc(compare), FCompareContext(context) {
        FSentinel = new TNode;
        FSentinel->Left = FSentinel;
        FSentinel->Right = FSentinel;
        FRoot = FSentinel;
    }
    ~TRBTree() override {
        Clear();
        delete FSentinel;
    }
    TRBTree(const TRBTree&) = delete;
    TRBTree& operator=(const TRBTree&) = delete;

    const char* ClassName() const override { return "TRBTree"; }

    TNode* Root() const { return FRoot; }
    TNode* Sentinel() const { return FSentinel; }
    int32_t Count() const { return FCount; }
    static TNode* Parent(const TNode* n) {
        return reinterpret_cast<TNode*>(n->ParentAndColour & ~std::uintptr_t{1});
    }
    static bool IsRed(const TNode* n) { return (n->ParentAndColour & 1) != 0; }

    // True with the matching node; otherwise false with the last node visited
    // (the parent for an insertion, nil in an empty tree).
    bool Find(const TItem& item, TNode*& node) const {
        node = nullptr;
        TNode* n = FRoot;
        while (n != FSentinel) {
            node = n;
            int c = FCompareFunc(FCompareContext, item, n->Item);
            if (c == 0) return true;
            n = c > 0 ? n->Right : n->Left;
        }
        return false;
    }

    // Hangs a new red node under parent (as found by Find) and rebalances.
    TNode* InsertAt(const TItem& item, TNode* parent) {
        TNode** link = &FRoot;
        if (parent)
            link = FCompareFunc(FCompareContext, item, parent->Item) >= 0 ? &parent->Right
                                                                          : &parent->Left;
        if (*link != FSentinel) throw ERBTreeError("TRBTree.InsertAt: invalid parent");
        auto* x =
            new TNode{FSentinel, FSentinel, reinterpret_cast<std::uintptr_t>(parent) | 1, item};
        *link = x;
        InsertFixup(x);
        ++FCount;
        return x;
    }

    // An equal item already present is returned as it is.
    TNode* InsertUnique(const TItem& item, bool& inserted) {
        TNode* node;
        inserted = !Find(item, node);
        return inserted ? InsertAt(item, node) : node;
    }

    void DeleteNode(TNode* z) {
        if (!z || z == FSentinel) throw ERBTreeError("TRBTree.DeleteNode: invalid node");
        TNode* y = (z->Left == FSentinel || z->Right == FSentinel) ? z : Leftmost(z->Right);
        TNode* x = y->Left != FSentinel ? y->Left : y->Right;
        TNode* yp = Parent(y);
        SetParent(x, yp); // also on the sentinel: the fix-up climbs from it
        Replace(yp, y, x);
        if (!IsRed(y)) DeleteFixup(x);
        if (y != z) {
            // y takes z's place and colour; no item is copied.
            Replace(Parent(z), z, y);
            y->Left = z->Left;
            y->Right = z->Right;
            if (y->Left != FSentinel) SetParent(y->Left, y);
            if (y->Right != FSentinel) SetParent(y->Right, y);
            y->ParentAndColour = z->ParentAndColour;
        }
        delete z;
        --FCount;
    }

    void Clear() {
        FreeSubtree(FRoot);
        FRoot = FSentinel;
        FCount = 0;
    }

    TNode* Minimum() const { return FCount >= 1 ? Leftmost(FRoot) : nullptr; }

    // Pre-order: node, left subtree, right subtree.
    void ForEach(TItemCallback callback, void* context) { PreOrder(FRoot, callback, context); }
    // In key order.
    void ForEachInOrder(TItemCallback callback, void* context) {
        InOrder(FRoot, callback, context);
    }

    // Raw copy of the item record; classes whose items own memory override.
    virtual void WriteItem(TVStream& stream, const TItem& item) const {
        if constexpr (std::is_trivially_copyable_v<TItem>)
            stream.Write(&item, sizeof(TItem));
        else
            throw ERBTreeError("TRBTree.WriteItem: not applicable");
    }
    virtual void ReadItem(TVStream& stream, TItem& item) const {
        if constexpr (std::is_trivially_copyable_v<TItem>)
            stream.ReadExact(&item, sizeof(TItem));
        else
            throw ERBTreeError("TRBTree.ReadItem: not applicable");
    }

private:
    static void SetParent(TNode* n, TNode* p) {
        n->ParentAndColour = reinterpret_cast<std::uintptr_t>(p) | (n->ParentAndColour & 1);
    }
    static void SetRed(TNode* n) { n->ParentAndColour |= 1; }
    static void SetBlack(TNode* n) { n->ParentAndColour &= ~std::uintptr_t{1}; }
    static void SetColour(TNode* n, bool red) { red ? SetRed(n) : SetBlack(n); }

    TNode* Leftmost(TNode* n) const {
        while (n->Left != FSentinel) n = n->Left;
        return n;
    }

    // Points parent's link to oldChild (or the root) at newChild.
    void Replace(TNode* parent, TNode* oldChild, TNode* newChild) {
        if (!parent)
            FRoot = newChild;
        else if (parent->Left == oldChild)
            parent->Left = newChild;
        else
            parent->Right = newChild;
    }

    // Mirrored cases are written once: `left` picks the side.
    static TNode*& Child(TNode* n, bool left) { return left ? n->Left : n->Right; }

    // Rotates x down to the `left` side; its child on the other side rises.
    void Rotate(TNode* x, bool left) {
        TNode* y = Child(x, !left);
        Child(x, !left) = Child(y, left);
        if (Child(y, left) != FSentinel) SetParent(Child(y, left), x);
        TNode* xp = Parent(x);
        SetParent(y, xp);
        Replace(xp, x, y);
        Child(y, left) = x;
        SetParent(x, y);
    }

    void InsertFixup(TNode* x) {
        while (x != FRoot && IsRed(Parent(x))) {
            TNode* p = Parent(x);
            TNode* g = Parent(p);
            bool left = p == g->Left;
            TNode* u = Child(g, !left);
            if (IsRed(u)) {
                SetBlack(p);
                SetBlack(u);
                SetRed(g);
                x = g;
                continue;
            }
            if (x == Child(p, !left)) {
                x = p;
                Rotate(x, left);
                p = Parent(x);
                g = Parent(p);
            }
            SetBlack(p);
            SetRed(g);
            Rotate(g, !left);
        }
        SetBlack(FRoot);
    }

    void DeleteFixup(TNode* x) {
        while (x != FRoot && !IsRed(x)) {
            TNode* xp = Parent(x);
            bool left = x == xp->Left;
            TNode* w = Child(xp, !left);
            if (IsRed(w)) {
                SetBlack(w);
                SetRed(xp);
                Rotate(xp, left);
                w = Child(xp, !left);
            }
            if (!IsRed(w->Left) && !IsRed(w->Right)) {
                SetRed(w);
                x = xp;
                continue;
            }
            if (!IsRed(Child(w, !left))) {
                SetBlack(Child(w, left));
                SetRed(w);
                Rotate(w, !left);
                w = Child(xp, !left);
            }
            SetColour(w, IsRed(xp));
            SetBlack(xp);
            SetBlack(Child(w, !left));
            Rotate(xp, left);
            x = FRoot;
        }
        SetBlack(x);
    }

    void FreeSubtree(TNode* n) {
        if (n == FSentinel) return;
        FreeSubtree(n->Left);
        FreeSubtree(n->Right);
        delete n;
    }

    void PreOrder(TNode* n, TItemCallback callback, void* context) {
        if (n == FSentinel) return;
        callback(context, n->Item);
        PreOrder(n->Left, callback, context);
        PreOrder(n->Right, callback, context);
    }

    void InOrder(TNode* n, TItemCallback callback, void* context) {
        if (n == FSentinel) return;
        InOrder(n->Left, callback, context);
        callback(context, n->Item);
        InOrder(n->Right, callback, context);
    }

    TNode* FRoot;
    TNode* FSentinel;
    int32_t FCount = 0;
    TCompareFunc FCompareFunc;
    void* FCompareContext;
};

} // namespace arv::graphlib
