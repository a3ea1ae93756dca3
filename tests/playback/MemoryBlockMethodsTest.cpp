// The memory-block methods on a real control: refusals with their log lines, clipped
// writes, release, and the life of handles across controls.
#include <gtest/gtest.h>

#include <cstring>

#include "ControlHarness.h"

using namespace pbtest;

namespace {

std::vector<BYTE> BlockBytes(CNeloRecognitionCtrl& ctrl, LONG handle) {
    tagMEMORYBLOCK* block = ctrl.m_listMemoryBlock.Find(handle);
    if (!block) return {};
    return std::vector<BYTE>(block->pBuf, block->pBuf + block->nSize);
}

TEST(MemoryBlockMethods, CreateRefusesSizesBelowOne) {
    ControlHolder ctrl;
    for (LONG size : {0L, -5L, static_cast<LONG>(0x80000000)}) {
        LogWatch log;
        EXPECT_EQ(ctrl->OcxMemoryBlockCreate(size), 0) << size;
        EXPECT_TRUE(log.Saw("OcxMemoryBlockCreate is Failed!")) << size;
    }
    EXPECT_TRUE(ctrl->m_listMemoryBlock.IsEmpty());
}

TEST(MemoryBlockMethods, ReleaseOnceThenSilentlyRefused) {
    ControlHolder ctrl;
    const LONG h = ctrl->OcxMemoryBlockCreate(10);
    ASSERT_GT(h, 0);
    EXPECT_EQ(ctrl->OcxMemoryBlockRelease(h), 1);
    LogWatch log;
    EXPECT_EQ(ctrl->OcxMemoryBlockRelease(h), 0);
    EXPECT_EQ(log.NewText().find("(ERROR)"), std::string::npos) << log.NewText();
    for (LONG bad : {0L, -1L}) {
        LogWatch badLog;
        EXPECT_EQ(ctrl->OcxMemoryBlockRelease(bad), 0);
        EXPECT_TRUE(badLog.Saw("OcxMemoryBlockRelease handle is error!"));
    }
}

TEST(MemoryBlockMethods, WritesAreClippedAtTheEndOfTheBlock) {
    ControlHolder ctrl;
    const LONG h = ctrl->OcxMemoryBlockCreate(10);
    ASSERT_GT(h, 0);
    std::memset(ctrl->m_listMemoryBlock.Find(h)->pBuf, 0, 10);

    ScriptBytes four({1, 2, 3, 4});
    EXPECT_EQ(ctrl->OcxMemoryBlockWrite(h, 8, four.Arg()), 2);
    BSTR hex = SysAllocString(L"0A1B");
    EXPECT_EQ(ctrl->OcxMemoryBlockWriteByStr(h, 0, hex), 2);
    SysFreeString(hex);
    const std::vector<BYTE> expected = {0x0A, 0x1B, 0, 0, 0, 0, 0, 0, 1, 2};
    EXPECT_EQ(BlockBytes(*ctrl, h), expected);
}

TEST(MemoryBlockMethods, OddHexStringIgnoresItsLastCharacter) {
    ControlHolder ctrl;
    const LONG h = ctrl->OcxMemoryBlockCreate(4);
    std::memset(ctrl->m_listMemoryBlock.Find(h)->pBuf, 0xEE, 4);
    BSTR text = SysAllocString(L"FF7");
    EXPECT_EQ(ctrl->OcxMemoryBlockWriteByStr(h, 1, text), 1);
    SysFreeString(text);
    EXPECT_EQ(BlockBytes(*ctrl, h), (std::vector<BYTE>{0xEE, 0xFF, 0xEE, 0xEE}));
}

// Refusals of both write methods: position past the end, negative position or handle,
// unknown handle, data that does not convert. The block is left as it was every time.
TEST(MemoryBlockMethods, WriteRefusalsLeaveTheBlockAlone) {
    ControlHolder ctrl;
    const LONG h = ctrl->OcxMemoryBlockCreate(10);
    std::memset(ctrl->m_listMemoryBlock.Find(h)->pBuf, 0x5A, 10);
    const std::vector<BYTE> before = BlockBytes(*ctrl, h);
    ScriptBytes data({9, 9});
    VARIANT notAnArray;
    VariantInit(&notAnArray);
    notAnArray.vt = VT_I4;
    notAnArray.lVal = 7;
    BSTR hex = SysAllocString(L"0909");

    struct Case {
        const char* what;
        LONG handle;
        LONG pos;
        const VARIANT* arrayArg;  // null: use the hex string method
        const char* line;         // null: refused without a line
    };
    const Case cases[] = {
        {"array at the end", h, 10, &data.Arg(), "OcxMemoryBlockWrite _nPos >= objMBlock.nSize!"},
        {"string at the end", h, 10, nullptr, "OcxMemoryBlockWrite _nPos >= objMBlock.nSize!"},
        {"array at -1", h, -1, &data.Arg(), "OcxMemoryBlockWrite _nhandle and _nPos is Error!"},
        {"string at -1", h, -1, nullptr, "OcxMemoryBlockWrite _nHandle and _nPos is Error!"},
        {"array, handle 0", 0, 0, &data.Arg(), "OcxMemoryBlockWrite _nhandle and _nPos is Error!"},
        {"string, handle -3", -3, 0, nullptr, "OcxMemoryBlockWrite _nHandle and _nPos is Error!"},
        {"array, unknown handle", h + 1, 0, &data.Arg(), nullptr},
        {"string, unknown handle", h + 1, 0, nullptr, nullptr},
        {"not an array", h, 0, &notAnArray, "OcxMemoryBlockWrite GetArrayBytes Failed!"},
    };
    for (const Case& c : cases) {
        LogWatch log;
        const LONG copied = c.arrayArg ? ctrl->OcxMemoryBlockWrite(c.handle, c.pos, *c.arrayArg)
                                       : ctrl->OcxMemoryBlockWriteByStr(c.handle, c.pos, hex);
        EXPECT_EQ(copied, 0) << c.what;
        const std::string added = log.NewText();
        if (c.line) {
            EXPECT_NE(added.find(c.line), std::string::npos) << c.what << ": " << added;
        } else {
            EXPECT_EQ(added.find("(ERROR)"), std::string::npos) << c.what << ": " << added;
        }
        EXPECT_EQ(BlockBytes(*ctrl, h), before) << c.what;
    }
    SysFreeString(hex);
}

TEST(MemoryBlockMethods, EmptyDataCopiesNothingWithoutALine) {
    ControlHolder ctrl;
    const LONG h = ctrl->OcxMemoryBlockCreate(3);
    ScriptBytes none({});
    LogWatch log;
    EXPECT_EQ(ctrl->OcxMemoryBlockWrite(h, 0, none.Arg()), 0);
    EXPECT_EQ(ctrl->OcxMemoryBlockWriteByStr(h, 0, nullptr), 0);
    EXPECT_EQ(log.NewText().find("(ERROR)"), std::string::npos);
}

TEST(MemoryBlockMethods, HandlesOfAGoneControlMeanNothingToANewOne) {
    LONG h = 0;
    {
        ControlHolder first;
        h = first->OcxMemoryBlockCreate(64);
        ASSERT_GT(h, 0);
        first->OcxMemoryBlockCreate(32);  // left for the destructor to free
    }
    ControlHolder second;
    EXPECT_EQ(second->OcxMemoryBlockRelease(h), 0);
    ScriptBytes data({1});
    EXPECT_EQ(second->OcxMemoryBlockWrite(h, 0, data.Arg()), 0);
}

TEST(MemoryBlockMethods, LiveBlocksOfTwoControlsHaveDistinctHandles) {
    ControlHolder first;
    ControlHolder second;
    const LONG a = first->OcxMemoryBlockCreate(8);
    const LONG b = second->OcxMemoryBlockCreate(8);
    EXPECT_NE(a, b);
    EXPECT_EQ(second->OcxMemoryBlockRelease(a), 0);
    EXPECT_EQ(first->OcxMemoryBlockRelease(a), 1);
}

}  // namespace
