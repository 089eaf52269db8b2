// Priority queue of items with Float64 keys, smallest key first, with a
// handle per item so that its key can be changed. Items are vertex indices:
// equal keys come out in the order of their indices, so results do not
// depend on memory addresses.
#pragma once

#include "graphlib/RBTree.h"

#include <memory>

namespace arv::graphlib {

struct TFloatQueueItem {
    int32_t Item = 0;
    int32_t Reserved = 0; // keeps the record 16 bytes without padding
    double Key = 0;
};

class TFloatPriorityQueue : public TObject {
public:
    using TTree = TRBTree<TFloatQueueItem>;
    using THandle = TTree::TNode*;

    TFloatPriorityQueue();
    const char* ClassName() const override { return "TFloatPriorityQueue"; }

    bool IsEmpty() const { return FTree->Count() == 0; }
    // An equal record already queued is returned as it is.
    THandle Add(int32_t item, double key);
    // An empty queue raises ERBTreeError.
    int32_t DeleteMin();
    // Nil handle: the same as Add. Otherwise the handle's node is replaced by
    // a new one; the old handle is invalid afterwards, all others stay valid.
    THandle UpdateKey(THandle handle, int32_t item, double key);

    const TTree& Tree() const { return *FTree; }

private:
    std::unique_ptr<TTree> FTree;
};

} // namespace arv::graphlib
