// The control's engine methods against the engine test double: what reaches the engine,
// what the script gets back, and the one log line a failure writes.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "ControlWithFakeEngine.h"

namespace {

const LONG kSession = 5;
const int kErrCode = 42;

class EngineMethodsTest : public ::testing::Test {
protected:
    void SetUp() override {
        FakePs_Reset();
        FakePs_SetResult("PsGetSessionErrCode", kErrCode);
        m_logStart = LogSize();
        m_ctrl.reset(new ControlWithFakeEngine());
    }
    // Destroys the control (closing the log) and returns what it wrote.
    std::string CloseAndReadLog() {
        m_ctrl.reset();
        return LogSince(m_logStart);
    }
    CNeloRecognitionCtrl& Ctrl() { return m_ctrl->Ctrl(); }

    size_t m_logStart = 0;
    std::unique_ptr<ControlWithFakeEngine> m_ctrl;
};

// ---- Methods that pass the engine's value on, or wrap its bool as 1 / 0.
struct PassCase {
    const char* label;
    const char* function;        // engine function called
    int64_t engineAnswer;
    std::function<LONG(CNeloRecognitionCtrl&)> call;
    LONG expected;
    const char* logLine;         // nullptr: nothing written
    bool asksErrCode;            // the failure line carries the session's error code
};

class PassThroughTest : public EngineMethodsTest, public ::testing::WithParamInterface<PassCase> {};

TEST_P(PassThroughTest, ReturnsLogsAndAsksTheSessionsCode) {
    const PassCase& c = GetParam();
    ASSERT_TRUE(FakePs_SetResult(c.function, c.engineAnswer));
    EXPECT_EQ(c.expected, c.call(Ctrl())) << c.label;

    std::vector<FAKEPSCALL> calls = Calls();
    ASSERT_FALSE(calls.empty());
    EXPECT_STREQ(c.function, calls[0].szFunction);
    if (c.asksErrCode) {
        // Right after the failed call, with the same session.
        ASSERT_EQ(2u, calls.size()) << c.label;
        EXPECT_STREQ("PsGetSessionErrCode", calls[1].szFunction);
        EXPECT_EQ(calls[0].nSession, calls[1].nSession);
    } else if (std::string(c.function) != "PsGetSessionErrCode") {
        EXPECT_EQ(0, FakePs_CountCalls("PsGetSessionErrCode")) << c.label;
    } else {
        EXPECT_EQ(1u, calls.size()) << c.label;  // its own failure asks nothing more
    }

    const std::string log = CloseAndReadLog();
    if (c.logLine) {
        EXPECT_TRUE(HasLogLine(log, std::string("(ERROR) ") + c.logLine) || HasLogLine(log, c.logLine))
            << c.label << "\n" << log;
    } else {
        EXPECT_EQ(std::string::npos, log.find("Failed")) << c.label << "\n" << log;
    }
}

using C = CNeloRecognitionCtrl;
const PassCase kPassCases[] = {
    {"engine version never fails", "PsGetEngineVer", -1, [](C& c) { return c.OcxGetEngineVer(); }, -1, nullptr, false},
    {"min data version", "PsGetMinReadDataVer", 3, [](C& c) { return c.OcxGetMinReadDataVer(); }, 3, nullptr, false},
    {"min data version fails", "PsGetMinReadDataVer", -1, [](C& c) { return c.OcxGetMinReadDataVer(); }, -1,
     "PsGetMinReadDataVer Failed!", false},
    {"start session fails", "PsStartSession", 0, [](C& c) { return c.OcxStartSession(); }, 0,
     "PsStartSession Failed!", false},
    {"start session", "PsStartSession", 77, [](C& c) { return c.OcxStartSession(); }, 77, nullptr, false},
    {"end session fails", "PsEndSession", 0, [](C& c) { return c.OcxEndSession(kSession); }, 0,
     "PsEndSession Failed!", false},
    {"end session answers 1 for any true", "PsEndSession", 0x100, [](C& c) { return c.OcxEndSession(kSession); }, 1,
     nullptr, false},
    {"reset session fails", "PsResetSession", 0, [](C& c) { return c.OcxResetSession(kSession); }, 0,
     "PsResetSession Failed!", false},
    {"error code fails", "PsGetSessionErrCode", -1, [](C& c) { return c.OcxGetSessionErrCode(kSession); }, -1,
     "PsGetSessionErrCode Failed!", false},
    {"net missing is an error", "PsNetIsExist", 0, [](C& c) { return c.OcxNetIsExist(kSession); }, 0,
     "PsNetIsExist Failed! ERRCODE[42]", true},
    {"net exists", "PsNetIsExist", 1, [](C& c) { return c.OcxNetIsExist(kSession); }, 1, nullptr, false},
    {"effective data 0 fails", "PsGetEffectiveData", 0,
     [](C& c) { return static_cast<LONG>(c.OcxGetEffectiveData(kSession)); }, 0,
     "PsGetEffectiveData Failed! ERRCODE[42]", true},
    {"effective data above 2^31", "PsGetEffectiveData", 0x80000001LL,
     [](C& c) { return static_cast<LONG>(c.OcxGetEffectiveData(kSession)); }, static_cast<LONG>(0x80000001u),
     nullptr, false},
    {"split count fails", "PsGetTextSplitCount", -1, [](C& c) { return c.OcxGetTextSplitCount(kSession); }, -1,
     "PsGetTextSplitCount Failed! ERRCODE[42]", true},
    {"phonetic type fails", "PsSetPhoneticType", -1, [](C& c) { return c.OcxSetPhoneticType(kSession, 1); }, -1,
     "PsSetPhoneticType Failed! ERRCODE[42]", true},
    {"phonetic count", "PsGetPhoneticCount", 4, [](C& c) { return c.OcxGetPhoneticCount(kSession, 2); }, 4, nullptr,
     false},
    {"phonetic count fails", "PsGetPhoneticCount", -1, [](C& c) { return c.OcxGetPhoneticCount(kSession, 2); }, -1,
     "PsGetPhoneticCount Failed! ERRCODE[42]", true},
    {"tone any negative fails", "PsGetTone", -3, [](C& c) { return c.OcxGetTone(kSession); }, -3,
     "PsGetTone Failed! ERRCODE[42]", true},
    {"tone 0 is a tone", "PsGetTone", 0, [](C& c) { return c.OcxGetTone(kSession); }, 0, nullptr, false},
    {"statement stress false logs nothing", "PsGetStatementStress", 0,
     [](C& c) { return c.OcxGetStatementStress(kSession, 1); }, 0, nullptr, false},
    {"stress word true is 1", "PsGetStressWord", 0x7F, [](C& c) { return c.OcxGetStressWord(kSession, 1); }, 1,
     nullptr, false},
    {"stress word false logs nothing", "PsGetStressWord", 0, [](C& c) { return c.OcxGetStressWord(kSession, 1); }, 0,
     nullptr, false},
    {"set range fails", "PsSetRange", 0, [](C& c) { return c.OcxSetRange(kSession, 1, 2); }, 0,
     "PsSetRange Failed! ERRCODE[42]", true},
    {"sentence result fails", "PsGetSentenceResult", -1, [](C& c) { return c.OcxGetSentenceResult(kSession, 0); },
     -1, "PsGetSentenceResult Failed! ERRCODE[42]", true},
    {"sentence result -2 is a value", "PsGetSentenceResult", -2,
     [](C& c) { return c.OcxGetSentenceResult(kSession, 0); }, -2, nullptr, false},
    {"word result fails", "PsGetWordResult", -1, [](C& c) { return c.OcxGetWordResult(kSession, 3, 1); }, -1,
     "PsGetWordResult Failed! ERRCODE[42]", true},
    {"phoneme count fails", "PsGetResPhonemeCount", -1, [](C& c) { return c.OcxGetResPhonemeCount(kSession, 3); },
     -1, "PsGetResPhonemeCount Failed! ERRCODE[42]", true},
    {"phoneme item takes the upper half", "PsGetResPhonemeItem", (5LL << 32) | 7,
     [](C& c) { return c.OcxGetResPhonemeItem(kSession, 1, 2); }, 5, nullptr, false},
    {"phoneme item lower half -1 is no failure", "PsGetResPhonemeItem", 0xFFFFFFFFLL,
     [](C& c) { return c.OcxGetResPhonemeItem(kSession, 1, 2); }, 0, nullptr, false},
    {"phoneme item upper half -1 fails", "PsGetResPhonemeItem", static_cast<int64_t>(0xFFFFFFFF00000009ULL),
     [](C& c) { return c.OcxGetResPhonemeItem(kSession, 1, 2); }, -1, "PsGetResPhonemeItem Failed! ERRCODE[42]",
     true},
};
INSTANTIATE_TEST_SUITE_P(Methods, PassThroughTest, ::testing::ValuesIn(kPassCases));

// ---- Arguments reach the engine unchanged, in order.
TEST_F(EngineMethodsTest, ArgumentsReachTheEngineInOrder) {
    Ctrl().OcxGetWordResult(11, 22, 0xFFFFFFFFu);
    Ctrl().OcxSetRange(12, -3, 70000);
    Ctrl().OcxGetResPhonemeItem(13, 4, 5);
    Ctrl().OcxGetPhoneticCount(14, 6);
    std::vector<FAKEPSCALL> calls = Calls();
    ASSERT_EQ(4u, calls.size());
    EXPECT_EQ(11, calls[0].nSession);
    EXPECT_EQ(22, calls[0].args[0]);
    EXPECT_EQ(-1, calls[0].args[1]);  // a UI4 type goes to the engine's int as its bits
    EXPECT_EQ(12, calls[1].nSession);
    EXPECT_EQ(-3, calls[1].args[0]);
    EXPECT_EQ(70000, calls[1].args[1]);
    EXPECT_EQ(13, calls[2].nSession);
    EXPECT_EQ(4, calls[2].args[0]);
    EXPECT_EQ(5, calls[2].args[1]);
    EXPECT_EQ(14, calls[3].nSession);
    EXPECT_EQ(6, calls[3].args[0]);
}

// ---- Packed pairs
TEST_F(EngineMethodsTest, PackedPairsCutEachValueToSixteenBits) {
    struct Row { int first, second; LONG packed; } rows[] = {
        {3, 10, 655363}, {70000, 2, 135536}, {0, 0, 0}, {65535, 65535, -1}, {-1, 1, 0x1FFFF},
    };
    for (const Row& r : rows) {
        FakePs_SetPair("PsGetRange", r.first, r.second);
        FakePs_SetPair("PsGetTextSplitItemW", r.first, r.second);
        EXPECT_EQ(r.packed, Ctrl().OcxGetRange(kSession)) << r.first << "," << r.second;
        EXPECT_EQ(r.packed, Ctrl().OcxGetTextSplitItem(kSession, 4)) << r.first << "," << r.second;
    }
    EXPECT_EQ(4, CallsOf("PsGetTextSplitItemW")[0].args[0]);
}

TEST_F(EngineMethodsTest, PackedPairFailuresReturnMinusOneWithTheirLines) {
    FakePs_SetResult("PsGetRange", 0);
    FakePs_SetResult("PsGetTextSplitItemW", 0);
    EXPECT_EQ(-1, Ctrl().OcxGetRange(kSession));
    EXPECT_EQ(-1, Ctrl().OcxGetTextSplitItem(kSession, 0));
    const std::string log = CloseAndReadLog();
    EXPECT_TRUE(HasLogLine(log, "PsGetRange Failed! ERRCODE[42]")) << log;
    EXPECT_TRUE(HasLogLine(log, "PsGetTextSplitItem Failed! ERRCODE[42]")) << log;
}

// ---- Two-call texts
TEST_F(EngineMethodsTest, TextMethodsAskTheLengthThenFillLengthPlusOne) {
    FakePs_SetText("PsGetOrgText", "How are you?");
    FakePs_SetText("PsGetSessionErrInfo", "no lesson loaded");
    BSTR org = Ctrl().OcxGetOrgText(kSession);
    BSTR info = Ctrl().OcxGetSessionErrInfo(1003);
    ASSERT_NE(nullptr, org);
    ASSERT_NE(nullptr, info);
    EXPECT_EQ(std::wstring(L"How are you?"), std::wstring(org, SysStringLen(org)));
    EXPECT_EQ(std::wstring(L"no lesson loaded"), std::wstring(info, SysStringLen(info)));
    SysFreeString(org);
    SysFreeString(info);

    std::vector<FAKEPSCALL> text = CallsOf("PsGetOrgText");
    ASSERT_EQ(2u, text.size());
    EXPECT_FALSE(text[0].bPointerGiven);
    EXPECT_EQ(0, text[0].args[0]);
    EXPECT_TRUE(text[1].bPointerGiven);
    EXPECT_EQ(13, text[1].args[0]);
    EXPECT_EQ(1003, CallsOf("PsGetSessionErrInfo")[0].nSession);  // an error code, not a session
}

TEST_F(EngineMethodsTest, EmptyTextIsAnEmptyString) {
    BSTR org = Ctrl().OcxGetOrgText(kSession);
    EXPECT_EQ(0u, SysStringLen(org));
    SysFreeString(org);
    EXPECT_EQ(std::string::npos, CloseAndReadLog().find("Failed"));
}

TEST_F(EngineMethodsTest, TextMethodsSecondCallFailureGivesNullAndTheirLine) {
    FakePs_SetText("PsGetOrgText", "abc");
    FakePs_SetSecondResult("PsGetOrgText", 1);
    FakePs_SetText("PsGetSessionErrInfo", "abc");
    FakePs_SetSecondResult("PsGetSessionErrInfo", -1);
    EXPECT_EQ(nullptr, Ctrl().OcxGetOrgText(kSession));
    EXPECT_EQ(nullptr, Ctrl().OcxGetSessionErrInfo(7));
    // Only the session method asks for a code.
    EXPECT_EQ(1, FakePs_CountCalls("PsGetSessionErrCode"));
    const std::string log = CloseAndReadLog();
    EXPECT_TRUE(HasLogLine(log, "PsGetOrgText Failed! ERRCODE[42]")) << log;
    EXPECT_TRUE(HasLogLine(log, "PsGetSessionErrInfo Failed!")) << log;
}

// ---- E-code
struct ECodeCase {
    const char* label;
    int count;             // elements (array) or bytes (string: two digits each); -1 = a non-array argument
    bool byString;
    LONG expected;
    int engineCalls;
    bool nullECode;
    const char* logLine;
};

class ECodeTest : public EngineMethodsTest, public ::testing::WithParamInterface<ECodeCase> {};

TEST_P(ECodeTest, CountDecides) {
    const ECodeCase& c = GetParam();
    LONG result;
    std::vector<LONG> values;
    for (int i = 0; i < c.count; ++i) values.push_back(0x11 * (i + 1));
    if (c.byString) {
        std::wstring hex;
        for (LONG v : values) {
            wchar_t pair[3];
            swprintf(pair, 3, L"%02X", static_cast<unsigned>(v & 0xFF));
            hex += pair;
        }
        BSTR s = SysAllocStringLen(hex.data(), static_cast<UINT>(hex.size()));
        result = Ctrl().OcxSetECodeByStr(kSession, s);
        SysFreeString(s);
    } else if (c.count < 0) {
        VARIANT v;
        V_VT(&v) = VT_I4;
        V_I4(&v) = 8;
        result = Ctrl().OcxSetECode(kSession, v);
    } else {
        ScriptArrayArg arg(values);
        result = Ctrl().OcxSetECode(kSession, arg.Arg());
    }
    EXPECT_EQ(c.expected, result);
    std::vector<FAKEPSCALL> calls = CallsOf("PsSetECode");
    ASSERT_EQ(static_cast<size_t>(c.engineCalls), calls.size());
    if (c.engineCalls) {
        EXPECT_EQ(kSession, calls[0].nSession);
        EXPECT_EQ(!c.nullECode, calls[0].bPointerGiven != 0);
        if (!c.nullECode)
            for (int i = 0; i < 8; ++i) EXPECT_EQ(0x11 * (i + 1) & 0xFF, calls[0].data[i]) << i;
    }
    const std::string log = CloseAndReadLog();
    if (c.logLine) {
        EXPECT_TRUE(HasLogLine(log, c.logLine)) << c.label << "\n" << log;
    } else {
        EXPECT_EQ(std::string::npos, log.find("OcxSetECode")) << log;
    }
}

const ECodeCase kECodeCases[] = {
    {"empty array clears", 0, false, 1, 1, true, nullptr},
    {"7 elements", 7, false, 0, 0, false, "OcxSetECode: lenth of ecode is incorrect!"},
    {"8 elements", 8, false, 1, 1, false, nullptr},
    {"9 elements", 9, false, 0, 0, false, "OcxSetECode: lenth of ecode is incorrect!"},
    {"not an array", -1, false, 0, 0, false, "OcxSetECode: param of ecode is incorrect!"},
    {"empty string clears", 0, true, 1, 1, true, nullptr},
    {"7 bytes of hex", 7, true, 0, 0, false, "OcxSetECode: lenth of ecode is incorrect!"},
    {"16 hex digits", 8, true, 1, 1, false, nullptr},
    {"9 bytes of hex", 9, true, 0, 0, false, "OcxSetECode: lenth of ecode is incorrect!"},
};
INSTANTIATE_TEST_SUITE_P(Counts, ECodeTest, ::testing::ValuesIn(kECodeCases));

TEST_F(EngineMethodsTest, ECodeRefusedByTheEngineStillReturnsOne) {
    FakePs_SetResult("PsSetECode", 0);
    ScriptArrayArg arg({1, 2, 3, 4, 5, 6, 7, 8});
    EXPECT_EQ(1, Ctrl().OcxSetECode(kSession, arg.Arg()));
    BSTR s = SysAllocString(L"0102030405060708");
    EXPECT_EQ(1, Ctrl().OcxSetECodeByStr(kSession, s));
    SysFreeString(s);
    const std::string log = CloseAndReadLog();
    EXPECT_TRUE(HasLogLine(log, "PsSetECode Failed! ERRCODE[42]")) << log;
}

// ---- Network
TEST_F(EngineMethodsTest, LoadNetHandsOverEveryByteAndItsCount) {
    ScriptArrayArg arg({1, 2, 255});
    EXPECT_EQ(1, Ctrl().OcxLoadNet(kSession, arg.Arg()));
    BSTR s = SysAllocString(L"0A1bFF7");
    EXPECT_EQ(1, Ctrl().OcxLoadNetByStr(kSession, s));
    SysFreeString(s);
    std::vector<FAKEPSCALL> calls = CallsOf("PsLoadNet");
    ASSERT_EQ(2u, calls.size());
    EXPECT_EQ(3, calls[0].args[0]);
    EXPECT_EQ(0x01, calls[0].data[0]);
    EXPECT_EQ(0x02, calls[0].data[1]);
    EXPECT_EQ(0xFF, calls[0].data[2]);
    EXPECT_EQ(3, calls[1].args[0]);
    EXPECT_EQ(0x0A, calls[1].data[0]);
    EXPECT_EQ(0x1B, calls[1].data[1]);
    EXPECT_EQ(0xFF, calls[1].data[2]);
}

TEST_F(EngineMethodsTest, LoadNetWithNoBytesStillAsksTheEngine) {
    ScriptArrayArg arg({});
    EXPECT_EQ(1, Ctrl().OcxLoadNet(kSession, arg.Arg()));
    EXPECT_EQ(1, Ctrl().OcxLoadNetByStr(kSession, nullptr));
    std::vector<FAKEPSCALL> calls = CallsOf("PsLoadNet");
    ASSERT_EQ(2u, calls.size());
    EXPECT_EQ(0, calls[0].args[0]);
    EXPECT_EQ(0, calls[1].args[0]);
}

TEST_F(EngineMethodsTest, LoadNetRefusalsAndEngineFailure) {
    VARIANT notArray;
    V_VT(&notArray) = VT_BSTR;
    V_BSTR(&notArray) = SysAllocString(L"0102");
    EXPECT_EQ(0, Ctrl().OcxLoadNet(kSession, notArray));
    VariantClear(&notArray);
    EXPECT_EQ(0, FakePs_CountCalls("PsLoadNet"));

    FakePs_SetResult("PsLoadNet", 3);
    BSTR s = SysAllocString(L"00");
    EXPECT_EQ(0, Ctrl().OcxLoadNetByStr(kSession, s));
    SysFreeString(s);
    const std::string log = CloseAndReadLog();
    EXPECT_TRUE(HasLogLine(log, "OcxLoadNet: param of vNet is incorrect!")) << log;
    EXPECT_TRUE(HasLogLine(log, "PsLoadNet Failed! ERRCODE[42]")) << log;
}

// ---- Phonetic items
TEST_F(EngineMethodsTest, PhoneticItemsComeBackAsAnArrayOfUI4) {
    const uint32_t codes[] = {0x03006865u, 0x7u, 0xFFFFFFFFu};
    FakePs_SetCodes(codes, 3);
    VARIANT items = Ctrl().OcxGetPhoneticItem(kSession, 2, 1);
    ASSERT_EQ(VT_ARRAY | VT_VARIANT, V_VT(&items));
    LONG lower = -1, upper = -1;
    SafeArrayGetLBound(V_ARRAY(&items), 1, &lower);
    SafeArrayGetUBound(V_ARRAY(&items), 1, &upper);
    EXPECT_EQ(0, lower);
    EXPECT_EQ(2, upper);
    for (LONG i = 0; i < 3; ++i) {
        VARIANT e;
        VariantInit(&e);
        ASSERT_EQ(S_OK, SafeArrayGetElement(V_ARRAY(&items), &i, &e));
        EXPECT_EQ(VT_UI4, V_VT(&e));
        EXPECT_EQ(codes[i], V_UI4(&e));
        VariantClear(&e);
    }
    VariantClear(&items);
    std::vector<FAKEPSCALL> calls = CallsOf("PsGetPhoneticItem");
    ASSERT_EQ(2u, calls.size());
    EXPECT_FALSE(calls[0].bPointerGiven);
    EXPECT_EQ(0, calls[0].args[2]);
    EXPECT_EQ(3, calls[1].args[2]);
    EXPECT_EQ(2, calls[1].args[0]);
    EXPECT_EQ(1, calls[1].args[1]);
}

TEST_F(EngineMethodsTest, NoPhoneticItemsIsAnEmptyArrayNotEmpty) {
    VARIANT items = Ctrl().OcxGetPhoneticItem(kSession, 0, 0);
    ASSERT_EQ(VT_ARRAY | VT_VARIANT, V_VT(&items));
    LONG upper = 0;
    SafeArrayGetUBound(V_ARRAY(&items), 1, &upper);
    EXPECT_EQ(-1, upper);
    VariantClear(&items);
}

TEST_F(EngineMethodsTest, PhoneticItemFailuresGiveEmptyAndTheLine) {
    FakePs_SetResult("PsGetPhoneticItem", -1);  // the count call fails
    VARIANT first = Ctrl().OcxGetPhoneticItem(kSession, 0, 0);
    EXPECT_EQ(VT_EMPTY, V_VT(&first));
    EXPECT_EQ(1, FakePs_CountCalls("PsGetPhoneticItem"));

    FakePs_Reset();
    FakePs_SetResult("PsGetSessionErrCode", kErrCode);
    const uint32_t codes[] = {1, 2};
    FakePs_SetCodes(codes, 2);
    FakePs_SetSecondResult("PsGetPhoneticItem", 1);  // the filling call fails
    VARIANT second = Ctrl().OcxGetPhoneticItem(kSession, 0, 0);
    EXPECT_EQ(VT_EMPTY, V_VT(&second));
    EXPECT_EQ(2, FakePs_CountCalls("PsGetPhoneticItem"));

    const std::string log = CloseAndReadLog();
    size_t first_at = log.find("PsGetPhoneticItem Failed! ERRCODE[42]");
    ASSERT_NE(std::string::npos, first_at) << log;
    EXPECT_NE(std::string::npos, log.find("PsGetPhoneticItem Failed! ERRCODE[42]", first_at + 1)) << log;
}

}  // namespace
