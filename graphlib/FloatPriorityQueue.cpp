#include "graphlib/FloatPriorityQueue.h"

namespace arv::graphlib {

namespace {

// Smaller key first; equal keys by item as signed integers. No tolerance.
int CompareQueueItems(void*, const TFloatQueueItem& a, const TFloatQueueItem& b) {
    if (a.Key < b.Key) return -1;
    if (a.Key > b.Key) return 1;
    if (a.Item < b.Item) return -1;
    if (a.Item > b.Item) return 1;
    return 0;
}

} // namespace

TFloatPriorityQueue::TFloatPriorityQueue()
    : FTree(std::make_unique<TTree>(&CompareQueueItems, nullptr)) {}

TFloatPriorityQueue::THandle TFloatPriorityQueue::Add(int32_t item, double key) {
    bool inserted;
    return FTree->InsertUnique(TFloatQueueItem{item, 0, key}, inserted);
}

int32_t TFloatPriorityQueue::DeleteMin() {
    THandle node = FTree->Minimum();
    if (!node) throw ERBTreeError("TFloatPriorityQueue.DeleteMin: queue is empty");
    int32_t item = node->Item.Item;
    FTree->DeleteNode(node);
    return item;
}

TFloatPriorityQueue::THandle TFloatPriorityQueue::UpdateKey(THandle handle, int32_t item,
                                                            double key) {
    if (handle) FTree->DeleteNode(handle);
    return Add(item, key);
}

} // namespace arv::graphlib
