// The script-facing surface: every method at its DISPID with its types, the type library
// that describes it, names not in the library, and bad arguments of every kind.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "ControlTestSupport.h"
#include "NeloGuids.h"

namespace {

struct MethodRow { DISPID id; const wchar_t* name; VARTYPE result; std::vector<VARTYPE> params; };

const VARTYPE I4 = VT_I4, UI4 = VT_UI4, STR = VT_BSTR, VAR = VT_VARIANT, NONE = VT_EMPTY;

// The interface as scripts and pages have always seen it.
const std::vector<MethodRow>& PublishedMethods() {
    static const std::vector<MethodRow> rows = {
        {1, L"OcxGetEngineVer", I4, {}}, {2, L"OcxGetMinReadDataVer", I4, {}}, {3, L"OcxStartSession", I4, {}},
        {4, L"OcxEndSession", I4, {I4}}, {5, L"OcxResetSession", I4, {I4}}, {6, L"OcxGetSessionErrCode", I4, {I4}},
        {7, L"OcxGetSessionErrInfo", STR, {I4}}, {8, L"OcxSetECode", I4, {I4, VAR}}, {9, L"OcxLoadNet", I4, {I4, VAR}},
        {10, L"OcxNetIsExist", I4, {I4}}, {11, L"OcxGetEffectiveData", UI4, {I4}}, {12, L"OcxGetOrgText", STR, {I4}},
        {13, L"OcxGetTextSplitCount", I4, {I4}}, {14, L"OcxGetTextSplitItem", I4, {I4, I4}},
        {15, L"OcxSetPhoneticType", I4, {I4, I4}}, {16, L"OcxGetPhoneticCount", I4, {I4, I4}},
        {17, L"OcxGetPhoneticItem", VAR, {I4, I4, I4}}, {18, L"OcxGetTone", I4, {I4}},
        {19, L"OcxGetStatementStress", I4, {I4, I4}}, {20, L"OcxGetStressWord", I4, {I4, I4}},
        {21, L"OcxSetRange", I4, {I4, I4, I4}}, {22, L"OcxGetRange", I4, {I4}},
        {24, L"OcxScoreSoundByBuf", I4, {I4, VAR, UI4, I4}}, {25, L"OcxScoreSoundByName", I4, {I4, STR, UI4, I4}},
        {26, L"OcxGetSentenceResult", I4, {I4, UI4}}, {27, L"OcxGetWordResult", I4, {I4, I4, UI4}},
        {28, L"OcxGetResPhonemeCount", I4, {I4, I4}}, {29, L"OcxGetResPhonemeItem", I4, {I4, I4, I4}},
        {30, L"OcxBeginRecord", I4, {STR, I4}}, {35, L"OcxOpenSoundByFile", I4, {I4, STR}},
        {36, L"OcxOpenSoundByBuf", I4, {VAR}}, {37, L"OcxCreateFile", STR, {}}, {38, L"OcxRemoveFile", I4, {STR}},
        {39, L"OcxEndRecord", NONE, {}}, {40, L"OcxCancelRecord", NONE, {}}, {42, L"OcxGetRecordState", I4, {}},
        {43, L"OcxGetPlayState", I4, {}}, {44, L"OcxGetScoreState", I4, {I4}},
        {45, L"OcxGetFileData", VAR, {I4, STR}}, {46, L"OcxMemoryBlockCreate", I4, {I4}},
        {47, L"OcxMemoryBlockRelease", I4, {I4}}, {48, L"OcxMemoryBlockWrite", I4, {I4, I4, VAR}},
        {49, L"OcxOpenSoundByMBBuf", I4, {I4, I4}}, {50, L"OcxSetECodeByStr", I4, {I4, STR}},
        {51, L"OcxMemoryBlockWriteByStr", I4, {I4, I4, STR}}, {52, L"OcxLoadNetByStr", I4, {I4, STR}},
        {53, L"OcxOpenSoundByStr", I4, {STR}}, {54, L"OcxScoreSoundByStr", I4, {I4, STR, UI4, I4}},
        {55, L"OcxPlaySound", I4, {}}, {56, L"OcxCloseSound", I4, {}}, {57, L"OcxStopSound", I4, {}},
        {58, L"OcxPauseSound", I4, {}}, {59, L"OcxResumeSound", I4, {}}, {60, L"OcxGetPlayStatus", UI4, {I4}},
        {61, L"OcxSetPlayStatus", I4, {I4, UI4}}, {62, L"OcxPlaySoundEx", I4, {UI4, UI4}},
        {63, L"OcxPlaySoundByFile", I4, {I4, STR}}, {64, L"OcxPlaySoundByBuf", I4, {VAR}},
        {65, L"OcxPlaySoundByMBBuf", I4, {I4, I4}}, {66, L"OcxPlaySoundByStr", I4, {STR}},
        {67, L"OcxStopRecord", I4, {}}, {68, L"OcxSetRecordNoVoiceTime", I4, {I4}},
        {69, L"OcxSetRecordTailSilenceTime", I4, {I4}}, {70, L"OcxSetRecordMaxRecordTime", I4, {I4}},
        {71, L"OcxSetRecordAutoStopEN", I4, {I4}},
    };
    return rows;
}

TEST(DispatchSurface, TheTableHoldsEveryPublishedMethodWithItsTypesAndNothingElse) {
    size_t count = 0;
    const nelo::DispEntry* table = CNeloRecognitionCtrl::DispatchTable(&count);
    ASSERT_EQ(count, 65u);
    ASSERT_EQ(PublishedMethods().size(), 65u);
    for (const MethodRow& row : PublishedMethods()) {
        const nelo::DispEntry* e = nelo::FindDispEntry(table, count, row.id);
        ASSERT_NE(e, nullptr) << row.id;
        EXPECT_EQ(std::wstring(e->name), row.name);
        EXPECT_EQ(e->resultType, row.result) << test::Utf8(row.name);
        ASSERT_EQ(e->paramCount, row.params.size()) << test::Utf8(row.name);
        for (size_t i = 0; i < row.params.size(); ++i) EXPECT_EQ(e->paramTypes[i], row.params[i]) << test::Utf8(row.name);
    }
}

TEST(DispatchSurface, NamesResolveWithoutRegardToCaseIncludingThoseMissingFromTheTypeLibrary) {
    test::Control c = test::CreateControl();
    struct Case { const wchar_t* name; DISPID id; } cases[] = {
        {L"OcxGetResPhonemeCount", 28}, {L"ocxgetresphonemeitem", 29}, {L"OCXGETRECORDSTATE", 42},
    };
    for (const Case& k : cases) {
        LPOLESTR names[] = {const_cast<LPOLESTR>(k.name)};
        DISPID id = 0;
        EXPECT_EQ(c.dispatch->GetIDsOfNames(IID_NULL, names, 1, 0, &id), S_OK);
        EXPECT_EQ(id, k.id);
    }
    LPOLESTR unknown[] = {const_cast<LPOLESTR>(L"OcxNoSuchMethod")};
    DISPID id = 0;
    EXPECT_EQ(c.dispatch->GetIDsOfNames(IID_NULL, unknown, 1, 0, &id), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(c.dispatch->Invoke(23, IID_NULL, 0, DISPATCH_METHOD, nullptr, nullptr, nullptr, nullptr),
              DISP_E_MEMBERNOTFOUND);

    nelo::Variant result;
    EXPECT_EQ(test::CallByName(c.dispatch.Get(), L"OcxGetResPhonemeItem",
                               {nelo::Variant::FromI4(1), nelo::Variant::FromI4(0), nelo::Variant::FromI4(0)}, &result),
              S_OK);
    EXPECT_EQ(result.Type(), VT_I4);
}

TEST(DispatchSurface, EndRecordReturnsAtOnceAndChangesNothing) {
    test::Control c = test::CreateControl();
    PostMessageW(c.object->NotifyWindow(), WM_RECORD_NOTIFY, 17, 1);
    test::PumpPending();
    nelo::Variant result;
    EXPECT_EQ(test::CallByName(c.dispatch.Get(), L"OcxEndRecord", {}, &result), S_OK);
    EXPECT_EQ(result.Type(), VT_EMPTY);
    EXPECT_EQ(test::CallLong(c.dispatch.Get(), L"OcxGetRecordState"), 1);
}

// Every method, given a value of the wrong kind in each numeric parameter, is refused by
// the dispatch layer with the argument's position; the control stays usable.
TEST(DispatchSurface, WrongArgumentTypesAreRefusedForEveryMethod) {
    test::Control c = test::CreateControl();
    for (const MethodRow& row : PublishedMethods()) {
        for (size_t bad = 0; bad < row.params.size(); ++bad) {
            if (row.params[bad] == VAR || row.params[bad] == STR) continue;
            std::vector<nelo::Variant> args;
            for (size_t i = 0; i < row.params.size(); ++i)
                args.push_back(i == bad ? nelo::Variant::FromString(L"not a number") : nelo::Variant());
            UINT argErr = 99;
            EXPECT_EQ(test::CallByName(c.dispatch.Get(), row.name, args, nullptr, &argErr), DISP_E_TYPEMISMATCH)
                << test::Utf8(row.name) << " param " << bad;
            EXPECT_EQ(argErr, row.params.size() - 1 - bad) << test::Utf8(row.name);
        }
        if (!row.params.empty()) {
            EXPECT_EQ(test::CallByName(c.dispatch.Get(), row.name, {}, nullptr), DISP_E_PARAMNOTOPTIONAL)
                << test::Utf8(row.name);
        }
        std::vector<nelo::Variant> tooMany(row.params.size() + 1);
        EXPECT_EQ(test::CallByName(c.dispatch.Get(), row.name, tooMany, nullptr), DISP_E_BADPARAMCOUNT)
            << test::Utf8(row.name);
    }
    EXPECT_EQ(test::CallLong(c.dispatch.Get(), L"OcxGetRecordState"), 0);
}

// ---- The type library embedded in the module

class TypeLibraryTest : public ::testing::Test {
protected:
    void SetUp() override {
        control = test::CreateControl();
        ASSERT_EQ(control.dispatch->GetTypeInfo(0, 0, dispInfo.Receive()), S_OK);
        UINT index = 0;
        ASSERT_EQ(dispInfo->GetContainingTypeLib(lib.Receive(), &index), S_OK);
    }
    std::wstring Name(ITypeInfo* info, MEMBERID id) {
        BSTR name = nullptr;
        info->GetDocumentation(id, &name, nullptr, nullptr, nullptr);
        std::wstring out = name ? name : L"";
        SysFreeString(name);
        return out;
    }

    test::Control control;
    nelo::ComPtr<ITypeInfo> dispInfo;
    nelo::ComPtr<ITypeLib> lib;
};

TEST_F(TypeLibraryTest, TheLibraryCarriesTheModulesIdentifiers) {
    TLIBATTR* attr = nullptr;
    ASSERT_EQ(lib->GetLibAttr(&attr), S_OK);
    EXPECT_EQ(attr->guid, LIBID_NeloRecognitionLib);
    EXPECT_EQ(attr->wMajorVerNum, 1);
    EXPECT_EQ(attr->wMinorVerNum, 0);
    lib->ReleaseTLibAttr(attr);
    BSTR name = nullptr, helpFile = nullptr;
    ASSERT_EQ(lib->GetDocumentation(-1, &name, nullptr, nullptr, &helpFile), S_OK);
    EXPECT_STREQ(name, L"NeloRecognitionLib");
    EXPECT_NE(std::wstring(helpFile ? helpFile : L"").find(L"NeloRecognition.hlp"), std::wstring::npos);
    SysFreeString(name);
    SysFreeString(helpFile);

    for (const IID* iid : {&DIID__DNeloRecognition, &DIID__DNeloRecognitionEvents, &CLSID_NeloRecognitionCtrl}) {
        nelo::ComPtr<ITypeInfo> info;
        EXPECT_EQ(lib->GetTypeInfoOfGuid(*iid, info.Receive()), S_OK);
    }
}

TEST_F(TypeLibraryTest, TheDispinterfaceListsEveryMethodButTwoWithItsParameterNames) {
    TYPEATTR* attr = nullptr;
    ASSERT_EQ(dispInfo->GetTypeAttr(&attr), S_OK);
    EXPECT_EQ(attr->typekind, TKIND_DISPATCH);
    EXPECT_EQ(attr->guid, DIID__DNeloRecognition);
    const UINT funcs = attr->cFuncs;
    dispInfo->ReleaseTypeAttr(attr);
    EXPECT_EQ(funcs, 63u);

    std::map<MEMBERID, const MethodRow*> expected;
    for (const MethodRow& row : PublishedMethods()) expected[row.id] = &row;
    std::set<MEMBERID> seen;
    for (UINT i = 0; i < funcs; ++i) {
        FUNCDESC* fd = nullptr;
        ASSERT_EQ(dispInfo->GetFuncDesc(i, &fd), S_OK);
        struct { MEMBERID id; VARTYPE result; } m = {fd->memid, fd->elemdescFunc.tdesc.vt};
        std::vector<VARTYPE> params;
        for (SHORT p = 0; p < fd->cParams; ++p) params.push_back(fd->lprgelemdescParam[p].tdesc.vt);
        dispInfo->ReleaseFuncDesc(fd);
        seen.insert(m.id);
        ASSERT_TRUE(expected.count(m.id)) << m.id;
        const MethodRow& row = *expected[m.id];
        EXPECT_EQ(Name(dispInfo.Get(), m.id), row.name);
        // The library declares the two network loaders as unsigned; callers receive I4.
        const VARTYPE result = (m.id == 9 || m.id == 52) ? VARTYPE(VT_UI4) : (row.result == NONE ? VARTYPE(VT_VOID) : row.result);
        EXPECT_EQ(m.result, result) << test::Utf8(row.name);
        EXPECT_EQ(params, row.params) << test::Utf8(row.name);
    }
    EXPECT_EQ(seen.size(), 63u);
    EXPECT_FALSE(seen.count(28));
    EXPECT_FALSE(seen.count(29));

    // Parameter names, as scripts' tools show them.
    struct Names { MEMBERID id; std::vector<std::wstring> names; } named[] = {
        {25, {L"OcxScoreSoundByName", L"nSession", L"strFileName", L"nOffset", L"nLen"}},
        {48, {L"OcxMemoryBlockWrite", L"_nhandle", L"_nPos", L"_data"}},
        {71, {L"OcxSetRecordAutoStopEN", L"lBoolEnable"}},
        {61, {L"OcxSetPlayStatus", L"nItem", L"nValue"}},
    };
    for (const Names& n : named) {
        BSTR got[8] = {};
        UINT count = 0;
        ASSERT_EQ(dispInfo->GetNames(n.id, got, 8, &count), S_OK);
        std::vector<std::wstring> list;
        for (UINT i = 0; i < count; ++i) { list.push_back(got[i]); SysFreeString(got[i]); }
        EXPECT_EQ(list, n.names);
    }
}

TEST_F(TypeLibraryTest, TheEventsAndTheCoclassAreDescribed) {
    nelo::ComPtr<ITypeInfo> events;
    ASSERT_EQ(lib->GetTypeInfoOfGuid(DIID__DNeloRecognitionEvents, events.Receive()), S_OK);
    const wchar_t* names[] = {L"EVENT_RECORD_NOTIFY", L"EVENT_SCORE_NOTIFY", L"EVENT_PLAY_NOTIFY"};
    for (MEMBERID id = 1; id <= 3; ++id) {
        BSTR got[3] = {};
        UINT count = 0;
        ASSERT_EQ(events->GetNames(id, got, 3, &count), S_OK);
        ASSERT_EQ(count, 3u);
        EXPECT_STREQ(got[0], names[id - 1]);
        EXPECT_STREQ(got[1], L"wParam");
        EXPECT_STREQ(got[2], L"lParam");
        for (BSTR b : got) SysFreeString(b);
    }

    nelo::ComPtr<IProvideClassInfo> provide;
    ASSERT_EQ(control.dispatch->QueryInterface(IID_IProvideClassInfo, provide.ReceiveVoid()), S_OK);
    nelo::ComPtr<ITypeInfo> coclass;
    ASSERT_EQ(provide->GetClassInfo(coclass.Receive()), S_OK);
    TYPEATTR* attr = nullptr;
    ASSERT_EQ(coclass->GetTypeAttr(&attr), S_OK);
    EXPECT_EQ(attr->typekind, TKIND_COCLASS);
    EXPECT_EQ(attr->guid, CLSID_NeloRecognitionCtrl);
    EXPECT_TRUE(attr->wTypeFlags & TYPEFLAG_FCANCREATE);
    EXPECT_TRUE(attr->wTypeFlags & TYPEFLAG_FCONTROL);
    const UINT implCount = attr->cImplTypes;
    coclass->ReleaseTypeAttr(attr);
    ASSERT_EQ(implCount, 2u);
    std::map<int, GUID> byFlags;
    for (UINT i = 0; i < implCount; ++i) {
        INT flags = 0;
        HREFTYPE ref = 0;
        coclass->GetImplTypeFlags(i, &flags);
        coclass->GetRefTypeOfImplType(i, &ref);
        nelo::ComPtr<ITypeInfo> impl;
        ASSERT_EQ(coclass->GetRefTypeInfo(ref, impl.Receive()), S_OK);
        TYPEATTR* ia = nullptr;
        impl->GetTypeAttr(&ia);
        byFlags[flags] = ia->guid;
        impl->ReleaseTypeAttr(ia);
    }
    EXPECT_EQ(byFlags[IMPLTYPEFLAG_FDEFAULT], DIID__DNeloRecognition);
    EXPECT_EQ(byFlags[IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE], DIID__DNeloRecognitionEvents);

    // The dispinterface derives from the standard IDispatch (taken from stdole2).
    HREFTYPE baseRef = 0;
    ASSERT_EQ(dispInfo->GetRefTypeOfImplType(0, &baseRef), S_OK);
    nelo::ComPtr<ITypeInfo> base;
    ASSERT_EQ(dispInfo->GetRefTypeInfo(baseRef, base.Receive()), S_OK);
    TYPEATTR* ba = nullptr;
    base->GetTypeAttr(&ba);
    EXPECT_EQ(ba->guid, IID_IDispatch);
    base->ReleaseTypeAttr(ba);
}

// ---- Resources

std::wstring ModuleString(UINT id) {
    const wchar_t* text = nullptr;
    int n = LoadStringW(GetModuleHandleW(nullptr), id, reinterpret_cast<LPWSTR>(&text), 0);
    return n > 0 ? std::wstring(text, n) : std::wstring();
}

TEST(Resources, StringsDialogBitmapAndManifestAreThere) {
    EXPECT_EQ(ModuleString(1), L"NeloRecognition Control");
    EXPECT_EQ(ModuleString(2), L"NeloRecognition Property Page");
    EXPECT_EQ(ModuleString(200), L"常规");
    HMODULE self = GetModuleHandleW(nullptr);
    EXPECT_NE(FindResourceW(self, MAKEINTRESOURCEW(200), RT_DIALOG), nullptr);
    EXPECT_NE(FindResourceW(self, MAKEINTRESOURCEW(2), RT_MANIFEST), nullptr);
    EXPECT_NE(FindResourceW(self, MAKEINTRESOURCEW(1), L"TYPELIB"), nullptr);
    HBITMAP bmp = static_cast<HBITMAP>(LoadImageW(self, MAKEINTRESOURCEW(1), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    ASSERT_NE(bmp, nullptr);
    DIBSECTION dib = {};
    ASSERT_EQ(GetObjectW(bmp, sizeof(dib), &dib), static_cast<int>(sizeof(dib)));
    EXPECT_EQ(dib.dsBmih.biBitCount, 4);  // 16 colours
    EXPECT_EQ(dib.dsBm.bmWidth, 16);
    DeleteObject(bmp);
}

}  // namespace
