#include "graphlib/FloatPriorityQueue.h"
#include "graphlib/StrPtrDic.h"

#include "graphlib/tests/TestHelpers.h"

#include <gtest/gtest.h>

#include <random>
#include <set>

using namespace arv::graphlib;
using namespace arv::graphlib::testing;

namespace {

// CP1251 bytes of the Russian words used below.
const char* const kWeightLower = "\xC2\xE5\xF1"; // Вес
const char* const kWeightUpper = "\xC2\xC5\xD1"; // ВЕС

void CollectKey(void* context, TDicItem& item) {
    static_cast<std::vector<std::string>*>(context)->push_back(item.Key);
}

} // namespace

TEST(FloatPriorityQueue, SmallestKeyFirstTiesByItem) {
    TFloatPriorityQueue q;
    EXPECT_TRUE(q.IsEmpty());
    q.Add(10, 3.0);
    q.Add(11, 1.0);
    q.Add(12, 2.0);
    EXPECT_EQ(11, q.DeleteMin());
    EXPECT_EQ(12, q.DeleteMin());
    EXPECT_EQ(10, q.DeleteMin());
    EXPECT_TRUE(q.IsEmpty());

    q.Add(7, 1.5);
    q.Add(-2, 1.5);
    q.Add(3, 1.5);
    EXPECT_EQ(-2, q.DeleteMin());
    EXPECT_EQ(3, q.DeleteMin());
    EXPECT_EQ(7, q.DeleteMin());

    auto h1 = q.Add(4, 2.0);
    auto h2 = q.Add(4, 2.0);
    EXPECT_EQ(h1, h2);
    EXPECT_EQ(1, q.Tree().Count());
    q.DeleteMin();

    // An empty queue raises instead of reading a missing node.
    try {
        q.DeleteMin();
        FAIL();
    } catch (const ERBTreeError& e) {
        EXPECT_STREQ("TFloatPriorityQueue.DeleteMin: queue is empty", e.what());
    }
}

TEST(FloatPriorityQueue, UpdateKeyMovesOneItemAndKeepsOtherHandles) {
    TFloatPriorityQueue q;
    std::vector<TFloatPriorityQueue::THandle> h(6);
    for (int i = 0; i < 5; ++i) h[i] = q.Add(i, 1.0 + i);
    h[5] = q.UpdateKey(nullptr, 5, 5.0);
    EXPECT_EQ(5, h[5]->Item.Item);
    h[5] = q.UpdateKey(h[5], 5, 0.5);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(i, h[i]->Item.Item);
        EXPECT_EQ(1.0 + i, h[i]->Item.Key);
    }
    h[3] = q.UpdateKey(h[3], 3, 0.75);
    std::vector<int32_t> order;
    while (!q.IsEmpty()) order.push_back(q.DeleteMin());
    EXPECT_EQ((std::vector<int32_t>{5, 3, 0, 1, 2, 4}), order);

    // Random decrease-key traffic drains in sorted order.
    std::mt19937 rng(5);
    std::vector<double> key(300, 1e9);
    std::vector<TFloatPriorityQueue::THandle> hs(300, nullptr);
    for (int step = 0; step < 3000; ++step) {
        int i = static_cast<int>(rng() % 300);
        double k = static_cast<double>(rng() % 1000);
        if (k < key[i]) {
            key[i] = k;
            hs[i] = q.UpdateKey(hs[i], i, k);
        }
    }
    std::set<std::pair<double, int>> expect;
    for (int i = 0; i < 300; ++i)
        if (hs[i]) expect.insert({key[i], i});
    for (const auto& [k, i] : expect) ASSERT_EQ(i, q.DeleteMin());
    EXPECT_TRUE(q.IsEmpty());
}

TEST(StrPtrDic, KeysIgnoreLetterCaseLatinAndCyrillic) {
    int alive = 0;
    TStrPtrDic d;
    auto* p = new TTracked(&alive);
    auto* q = new TTracked(&alive);
    EXPECT_TRUE(d.Add(".Weight", p));
    ASSERT_NE(nullptr, d.Find(".WEIGHT"));
    EXPECT_EQ(p, *d.Find(".WEIGHT"));
    EXPECT_FALSE(d.Add(".weight", q));
    EXPECT_EQ(q, *d.Find(".Weight"));
    delete p;

    EXPECT_TRUE(d.Add(kWeightLower, nullptr));
    EXPECT_FALSE(d.Add(kWeightUpper, new TTracked(&alive)));
    EXPECT_EQ(2, d.Count());
    EXPECT_EQ(nullptr, d.Find("\xC2\xE0\xF1"));      // Вас is another key
    EXPECT_TRUE(d.Add("\xA8\xEB\xEA\xE0", nullptr)); // Ёлка
    EXPECT_NE(nullptr, d.Find("\xB8\xCB\xCA\xC0"));  // ёЛКА
    EXPECT_TRUE(d.Add("\xC5\xE6", nullptr));         // Еж
    EXPECT_TRUE(d.Add("\xC6", nullptr));             // Ж

    std::vector<std::string> keys;
    d.ForEachInOrder(&CollectKey, &keys);
    // Ё sorts between Е and Ж; Latin and punctuation before Cyrillic.
    // A key keeps the spelling it was first added with.
    EXPECT_EQ(
        (std::vector<std::string>{".Weight", kWeightLower, "\xC5\xE6", "\xA8\xEB\xEA\xE0", "\xC6"}),
        keys);

    d.Remove(".WEIGHT");
    EXPECT_EQ(nullptr, d.Find(".Weight"));
    delete q;
    d.FreeValues();
    EXPECT_EQ(0, alive);

    TStrPtrDic empty;
    try {
        empty.Remove("Abc");
        FAIL();
    } catch (const EDicError& e) {
        EXPECT_STREQ("Key 'Abc' not found", e.what());
    }

    TVMemStream s;
    TDicItem item{kWeightUpper, nullptr};
    d.WriteItem(s, item);
    s.Seek(0);
    TDicItem back;
    d.ReadItem(s, back);
    EXPECT_EQ(kWeightUpper, back.Key);
    EXPECT_EQ(nullptr, back.Value);
}
