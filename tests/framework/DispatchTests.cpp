// The dispatch layer between script values and typed handlers: what reaches a handler,
// and how every kind of bad call is refused without reaching it.
#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "BStr.h"
#include "DispatchThunks.h"
#include "Variant.h"

namespace {

// Records what each member received.
struct Target {
    LONG gotLong = -12345;
    ULONG gotULong = 0;
    std::wstring gotText = L"<unset>";
    VARTYPE gotVariantType = VT_ILLEGAL;
    int calls = 0;

    LONG TakeLong(LONG v) { ++calls; gotLong = v; return v + 1; }
    LONG TakeULong(ULONG v) { ++calls; gotULong = v; return 7; }
    BSTR Echo(BSTR s) { ++calls; gotText = s ? s : L"<null>"; return SysAllocString(gotText.c_str()); }
    LONG TakeMixed(LONG a, BSTR b, ULONG c) {
        ++calls; gotLong = a; gotText = b ? b : L"<null>"; gotULong = c; return 0;
    }
    LONG TakeVariant(LONG a, const VARIANT& v) { ++calls; gotLong = a; gotVariantType = V_VT(&v); return 1; }
    VARIANT MakeArray() {
        ++calls;
        VARIANT v;
        VariantInit(&v);
        SAFEARRAYBOUND bound = {2, 0};
        V_VT(&v) = VT_ARRAY | VT_VARIANT;
        V_ARRAY(&v) = SafeArrayCreate(VT_VARIANT, 1, &bound);
        return v;
    }
    void Nothing() { ++calls; }
    LONG Throws() { ++calls; throw std::bad_alloc(); }
    LONG ThrowsOther() { ++calls; throw std::runtime_error("x"); }
};

const nelo::DispEntry kTable[] = {
    NELO_DISP(Target, 1, TakeLong),    NELO_DISP(Target, 2, TakeULong),   NELO_DISP(Target, 3, Echo),
    NELO_DISP(Target, 4, TakeMixed),   NELO_DISP(Target, 5, TakeVariant), NELO_DISP(Target, 6, MakeArray),
    NELO_DISP(Target, 7, Nothing),     NELO_DISP(Target, 8, Throws),      NELO_DISP(Target, 9, ThrowsOther),
};
const size_t kCount = sizeof(kTable) / sizeof(kTable[0]);

// Arguments in declaration order; the helper reverses them as a caller does.
struct Call {
    std::vector<nelo::Variant> args;
    nelo::Variant result;
    UINT argErr = 999;
    HRESULT hr = E_FAIL;
};

HRESULT Invoke(Target& t, DISPID id, Call& call, WORD flags = DISPATCH_METHOD, UINT namedCount = 0) {
    std::vector<VARIANT> reversed;
    for (auto it = call.args.rbegin(); it != call.args.rend(); ++it) reversed.push_back(*it->Get());
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params = {reversed.empty() ? nullptr : reversed.data(), namedCount ? &named : nullptr,
                         static_cast<UINT>(reversed.size()), namedCount};
    const nelo::DispEntry* entry = nelo::FindDispEntry(kTable, kCount, id);
    EXPECT_NE(entry, nullptr);
    EXCEPINFO info = {};
    call.hr = nelo::InvokeDispEntry(*entry, &t, flags, &params, call.result.Get(), &info, &call.argErr);
    SysFreeString(info.bstrDescription);
    if (call.hr == DISP_E_EXCEPTION) call.argErr = static_cast<UINT>(info.scode);
    return call.hr;
}

nelo::Variant Str(const wchar_t* s) { return nelo::Variant::FromString(s); }
nelo::Variant I4(LONG v) { return nelo::Variant::FromI4(v); }
nelo::Variant R8(double d) { nelo::Variant v; V_VT(v.Get()) = VT_R8; V_R8(v.Get()) = d; return v; }
nelo::Variant Null() { nelo::Variant v; V_VT(v.Get()) = VT_NULL; return v; }
nelo::Variant Omitted() {
    nelo::Variant v; V_VT(v.Get()) = VT_ERROR; V_ERROR(v.Get()) = DISP_E_PARAMNOTFOUND; return v;
}

TEST(DispatchTable, RowsCarryTypesFromTheSignature) {
    const nelo::DispEntry* mixed = nelo::FindDispEntry(kTable, kCount, 4);
    ASSERT_NE(mixed, nullptr);
    EXPECT_EQ(mixed->resultType, VT_I4);
    ASSERT_EQ(mixed->paramCount, 3u);
    EXPECT_EQ(mixed->paramTypes[0], VT_I4);
    EXPECT_EQ(mixed->paramTypes[1], VT_BSTR);
    EXPECT_EQ(mixed->paramTypes[2], VT_UI4);
    EXPECT_EQ(nelo::FindDispEntry(kTable, kCount, 5)->paramTypes[1], VT_VARIANT);
    EXPECT_EQ(nelo::FindDispEntry(kTable, kCount, 6)->resultType, VT_VARIANT);
    EXPECT_EQ(nelo::FindDispEntry(kTable, kCount, 7)->resultType, VT_EMPTY);
    EXPECT_STREQ(mixed->name, L"TakeMixed");
}

TEST(DispatchNames, ResolveWithoutRegardToCaseAndRefuseUnknownOnes) {
    struct Case { const wchar_t* name; HRESULT hr; DISPID id; } cases[] = {
        {L"TakeLong", S_OK, 1}, {L"takelong", S_OK, 1}, {L"ECHO", S_OK, 3},
        {L"TakeLongs", DISP_E_UNKNOWNNAME, DISPID_UNKNOWN}, {L"", DISP_E_UNKNOWNNAME, DISPID_UNKNOWN},
    };
    for (const Case& c : cases) {
        LPOLESTR names[] = {const_cast<LPOLESTR>(c.name)};
        DISPID id = 42;
        EXPECT_EQ(nelo::GetIDsFromTable(kTable, kCount, names, 1, &id), c.hr) << c.name;
        EXPECT_EQ(id, c.id) << c.name;
    }
    // Parameter names are not offered (members take no named arguments).
    LPOLESTR two[] = {const_cast<LPOLESTR>(L"TakeLong"), const_cast<LPOLESTR>(L"v")};
    DISPID ids[2] = {0, 0};
    EXPECT_EQ(nelo::GetIDsFromTable(kTable, kCount, two, 2, ids), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(ids[0], 1);
    EXPECT_EQ(ids[1], DISPID_UNKNOWN);
}

TEST(DispatchConversion, ScalarArgumentsAreConvertedToTheDeclaredType) {
    struct Case { const char* what; nelo::Variant arg; LONG expected; } cases[] = {
        {"I4", I4(-5), -5},
        {"numeric string", Str(L"42"), 42},
        {"double rounds", R8(2.6), 3},
        {"empty is zero", nelo::Variant(), 0},
    };
    for (Case& c : cases) {
        Target t;
        Call call;
        call.args.push_back(c.arg);
        EXPECT_EQ(Invoke(t, 1, call), S_OK) << c.what;
        EXPECT_EQ(t.gotLong, c.expected) << c.what;
        EXPECT_EQ(call.result.Type(), VT_I4) << c.what;
        EXPECT_EQ(V_I4(call.result.Get()), c.expected + 1) << c.what;
    }
}

TEST(DispatchConversion, ByReferenceArgumentsAreDereferencedAtAnyDepth) {
    LONG value = 77;
    VARIANT inner;  // VT_BYREF|VT_I4
    V_VT(&inner) = VT_BYREF | VT_I4;
    V_I4REF(&inner) = &value;
    VARIANT middle;  // VT_BYREF|VT_VARIANT -> inner
    V_VT(&middle) = VT_BYREF | VT_VARIANT;
    V_VARIANTREF(&middle) = &inner;
    VARIANT outer;  // one more level, as a fixed-size VBScript array variable gets
    V_VT(&outer) = VT_BYREF | VT_VARIANT;
    V_VARIANTREF(&outer) = &middle;
    for (VARIANT* given : {&inner, &middle, &outer}) {
        Target t;
        Call call;
        call.args.push_back(nelo::Variant());
        *call.args[0].Get() = *given;  // shallow: nothing owned
        EXPECT_EQ(Invoke(t, 1, call), S_OK);
        EXPECT_EQ(t.gotLong, 77);
        VariantInit(call.args[0].Get());
    }
    // A reference to nothing is refused, not followed.
    Target t;
    Call call;
    call.args.push_back(nelo::Variant());
    V_VT(call.args[0].Get()) = VT_BYREF | VT_VARIANT;
    V_VARIANTREF(call.args[0].Get()) = nullptr;
    EXPECT_EQ(Invoke(t, 1, call), DISP_E_TYPEMISMATCH);
    VariantInit(call.args[0].Get());
    EXPECT_EQ(t.calls, 0);
}

TEST(DispatchConversion, UnconvertibleValuesAreRefusedWithTheirPosition) {
    const HRESULT mismatch = DISP_E_TYPEMISMATCH;
    struct Case { const char* what; DISPID id; std::vector<nelo::Variant> args; HRESULT hr; UINT argErr; } cases[] = {
        {"text for a number", 1, {Str(L"abc")}, mismatch, 0},
        {"null for a number", 1, {Null()}, mismatch, 0},
        {"too large for I4", 1, {R8(1e12)}, mismatch, 0},
        {"text for UI4", 2, {Str(L"12a")}, mismatch, 0},
        // TakeMixed(a, b, c): rgvarg is last-first, so the first argument is position 2.
        {"first of three", 4, {Str(L"x"), Str(L"ok"), I4(1)}, mismatch, 2},
        {"last of three", 4, {I4(1), Str(L"ok"), Str(L"y")}, mismatch, 0},
        {"omitted", 1, {Omitted()}, DISP_E_PARAMNOTOPTIONAL, 0},
    };
    for (Case& c : cases) {
        Target t;
        Call call;
        call.args = c.args;
        EXPECT_EQ(Invoke(t, c.id, call), c.hr) << c.what;
        EXPECT_EQ(call.argErr, c.argErr) << c.what;
        EXPECT_EQ(t.calls, 0) << c.what;
    }
}

TEST(DispatchCall, WrongShapesOfCallAreRefusedBeforeTheHandler) {
    struct Case { const char* what; DISPID id; size_t argc; WORD flags; UINT named; HRESULT hr; } cases[] = {
        {"too many", 1, 2, DISPATCH_METHOD, 0, DISP_E_BADPARAMCOUNT},
        {"too few", 4, 2, DISPATCH_METHOD, 0, DISP_E_PARAMNOTOPTIONAL},
        {"none given", 1, 0, DISPATCH_METHOD, 0, DISP_E_PARAMNOTOPTIONAL},
        {"named argument", 1, 1, DISPATCH_METHOD, 1, DISP_E_NONAMEDARGS},
        {"property put", 1, 1, DISPATCH_PROPERTYPUT, 0, DISP_E_MEMBERNOTFOUND},
    };
    for (Case& c : cases) {
        Target t;
        Call call;
        for (size_t i = 0; i < c.argc; ++i) call.args.push_back(I4(1));
        EXPECT_EQ(Invoke(t, c.id, call, c.flags, c.named), c.hr) << c.what;
        EXPECT_EQ(t.calls, 0) << c.what;
    }
    // VBScript reads a result without parentheses as a property get: served like a call.
    Target t;
    Call call;
    call.args.push_back(I4(3));
    EXPECT_EQ(Invoke(t, 1, call, DISPATCH_METHOD | DISPATCH_PROPERTYGET), S_OK);
    EXPECT_EQ(t.gotLong, 3);
}

TEST(DispatchCall, VariantParametersArriveExactlyAsPassed) {
    VARIANT array;
    V_VT(&array) = VT_ARRAY | VT_VARIANT;
    V_ARRAY(&array) = nullptr;
    VARIANT byRef;
    V_VT(&byRef) = VT_BYREF | VT_VARIANT;
    V_VARIANTREF(&byRef) = &array;
    Target t;
    Call call;
    call.args.push_back(I4(9));
    call.args.push_back(nelo::Variant());
    *call.args[1].Get() = byRef;  // shallow
    EXPECT_EQ(Invoke(t, 5, call), S_OK);
    EXPECT_EQ(t.gotVariantType, VT_BYREF | VT_VARIANT);
    EXPECT_EQ(t.gotLong, 9);
    VariantInit(call.args[1].Get());
}

TEST(DispatchCall, ResultsAreHandedOverOwnedAndTextComesBackWhole) {
    Target t;
    Call call;
    call.args.push_back(Str(L"héllo"));
    EXPECT_EQ(Invoke(t, 3, call), S_OK);
    ASSERT_EQ(call.result.Type(), VT_BSTR);
    EXPECT_STREQ(V_BSTR(call.result.Get()), L"héllo");

    Call arrayCall;
    EXPECT_EQ(Invoke(t, 6, arrayCall), S_OK);
    EXPECT_EQ(arrayCall.result.Type(), VT_ARRAY | VT_VARIANT);

    Call none;
    EXPECT_EQ(Invoke(t, 7, none), S_OK);
    EXPECT_EQ(none.result.Type(), VT_EMPTY);

    // No result slot: an owned result is freed, not leaked or written anywhere.
    const nelo::DispEntry* echo = nelo::FindDispEntry(kTable, kCount, 3);
    nelo::Variant arg = Str(L"x");
    DISPPARAMS params = {arg.Get(), nullptr, 1, 0};
    EXPECT_EQ(nelo::InvokeDispEntry(*echo, &t, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr), S_OK);
}

TEST(DispatchCall, ExceptionsBecomeAutomationErrors) {
    Target t;
    Call memory;
    EXPECT_EQ(Invoke(t, 8, memory), DISP_E_EXCEPTION);
    EXPECT_EQ(static_cast<HRESULT>(memory.argErr), E_OUTOFMEMORY);
    Call other;
    EXPECT_EQ(Invoke(t, 9, other), DISP_E_EXCEPTION);
    EXPECT_EQ(static_cast<HRESULT>(other.argErr), E_UNEXPECTED);
}

}  // namespace
