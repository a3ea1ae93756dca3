// The block list: handles are opaque, positive, unique among live blocks and fixed for a
// block's life; writes are clipped at the block's end.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <vector>

#include "MemoryBlockList.h"

namespace {

TEST(MemoryBlockList, HandlesArePositiveLargeUniqueAndNeverAddresses) {
    volatile LONG counter = 0;
    CMemoryBlockList list(&counter);
    std::set<LONG> handles;
    for (int i = 0; i < 50; ++i) {
        const LONG h = list.Add(16);
        ASSERT_GE(h, CMemoryBlockList::kFirstHandle);
        tagMEMORYBLOCK* block = list.Find(h);
        ASSERT_NE(block, nullptr);
        EXPECT_NE(static_cast<LONG_PTR>(h), reinterpret_cast<LONG_PTR>(block->pBuf));
        EXPECT_EQ(block->nSize, 16u);
        EXPECT_TRUE(handles.insert(h).second) << "handle issued twice: " << h;
    }
    EXPECT_EQ(list.GetCount(), 50u);
}

TEST(MemoryBlockList, HandleStaysFixedWhileOthersComeAndGo) {
    volatile LONG counter = 0;
    CMemoryBlockList list(&counter);
    const LONG keep = list.Add(4);
    BYTE* const storage = list.Find(keep)->pBuf;
    for (int i = 0; i < 20; ++i) {
        const LONG other = list.Add(8);
        ASSERT_NE(other, keep);
        ASSERT_TRUE(list.Remove(other));
    }
    ASSERT_NE(list.Find(keep), nullptr);
    EXPECT_EQ(list.Find(keep)->pBuf, storage);
    EXPECT_EQ(list.GetCount(), 1u);
}

TEST(MemoryBlockList, ReleasedAndForeignHandlesMatchNothing) {
    volatile LONG counter = 0;
    CMemoryBlockList list(&counter);
    const LONG h = list.Add(10);
    EXPECT_TRUE(list.Remove(h));
    EXPECT_FALSE(list.Remove(h));
    EXPECT_EQ(list.Find(h), nullptr);
    // A new block does not inherit the released handle.
    const LONG next = list.Add(10);
    EXPECT_NE(next, h);
    EXPECT_EQ(list.Find(h), nullptr);
    for (LONG bad : {0L, -1L, -5L, static_cast<LONG>(0x80000000)}) {
        EXPECT_EQ(list.Find(bad), nullptr) << bad;
        EXPECT_FALSE(list.Remove(bad)) << bad;
    }
}

TEST(MemoryBlockList, TwoListsOnTheProcessCounterNeverShareAHandle) {
    CMemoryBlockList first;
    CMemoryBlockList second;
    const LONG a = first.Add(1);
    const LONG b = second.Add(1);
    EXPECT_NE(a, b);
    EXPECT_EQ(second.Find(a), nullptr);
    EXPECT_EQ(first.Find(b), nullptr);
}

TEST(MemoryBlockList, CounterWrapStaysPositiveAndSkipsLiveHandles) {
    // Place the counter so the next token is the largest one.
    volatile LONG counter = 0x7FFFFFFF - CMemoryBlockList::kFirstHandle - 1;
    CMemoryBlockList list(&counter);
    EXPECT_EQ(list.Add(1), 0x7FFFFFFF);
    const LONG wrapped = list.Add(1);
    EXPECT_EQ(wrapped, CMemoryBlockList::kFirstHandle);

    // A full round later the counter would hand out kFirstHandle again while it is live.
    counter = static_cast<LONG>(0x7FFFFFFF - CMemoryBlockList::kFirstHandle);
    const LONG next = list.Add(1);
    EXPECT_NE(next, wrapped);
    EXPECT_GT(next, 0);
    EXPECT_EQ(list.GetCount(), 3u);

    // The raw counter's own wrap through negative values gives positive tokens too.
    counter = 0x7FFFFFFF;
    for (int i = 0; i < 4; ++i) EXPECT_GE(list.Add(1), CMemoryBlockList::kFirstHandle);
}

TEST(MemoryBlockList, RemoveAllFreesEverything) {
    volatile LONG counter = 0;
    CMemoryBlockList list(&counter);
    std::vector<LONG> handles;
    for (int i = 0; i < 5; ++i) handles.push_back(list.Add(100));
    list.RemoveAll();
    EXPECT_TRUE(list.IsEmpty());
    for (LONG h : handles) EXPECT_EQ(list.Find(h), nullptr);
}

TEST(MemoryBlockList, ManyCyclesKeepTheListEmpty) {
    volatile LONG counter = 0;
    CMemoryBlockList list(&counter);
    for (int i = 0; i < 1000; ++i) ASSERT_TRUE(list.Remove(list.Add(4096)));
    EXPECT_TRUE(list.IsEmpty());
}

struct CopyCase {
    ULONG size;
    ULONG pos;
    ULONG length;
    ULONG copied;
};

class CopyIntoBlockTest : public ::testing::TestWithParam<CopyCase> {};

TEST_P(CopyIntoBlockTest, CopiesWhatFitsAndTouchesNothingElse) {
    const CopyCase c = GetParam();
    std::vector<BYTE> storage(c.size + 8, 0xEE);  // 8 guard bytes past the block
    tagMEMORYBLOCK block = {storage.data(), c.size};
    std::vector<BYTE> data(c.length);
    for (ULONG i = 0; i < c.length; ++i) data[i] = static_cast<BYTE>(i + 1);

    EXPECT_EQ(CopyIntoBlock(block, c.pos, data.data(), c.length), c.copied);
    for (ULONG i = 0; i < storage.size(); ++i) {
        const bool written = i >= c.pos && i < c.pos + c.copied;
        const BYTE expected = written ? static_cast<BYTE>(i - c.pos + 1) : 0xEE;
        ASSERT_EQ(storage[i], expected) << "byte " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, CopyIntoBlockTest,
                         ::testing::Values(CopyCase{10, 8, 4, 2},    // cut at the end
                                           CopyCase{10, 0, 10, 10},  // exactly full
                                           CopyCase{10, 3, 4, 4},    // inside
                                           CopyCase{10, 9, 1, 1},    // last byte
                                           CopyCase{10, 10, 4, 0},   // at the end
                                           CopyCase{10, 50, 4, 0},   // far past it
                                           CopyCase{10, 2, 0, 0},    // no data
                                           CopyCase{1, 0, 1000, 1}));

}  // namespace
