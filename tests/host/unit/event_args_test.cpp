#include <gtest/gtest.h>

#include "com_ptr.h"
#include "dispatch_args.h"
#include "event_router.h"

namespace {

TEST(VBScriptEventArgs, UnsignedValuesBecomeComparableNumbers) {
    VARIANT in[4];
    for (auto& v : in) VariantInit(&v);
    V_VT(&in[0]) = VT_UI4; V_UI4(&in[0]) = 7;
    V_VT(&in[1]) = VT_UI4; V_UI4(&in[1]) = 0xFFFFFFFFu;
    V_VT(&in[2]) = VT_I4;  V_I4(&in[2]) = -3;
    V_VT(&in[3]) = VT_BSTR; V_BSTR(&in[3]) = SysAllocString(L"text");
    DISPPARAMS params = {in, nullptr, 4, 0};
    VARIANT out[4];
    ConvertArgsForVBScript(params, out);

    EXPECT_EQ(V_VT(&out[0]), VT_I4);
    EXPECT_EQ(V_I4(&out[0]), 7);
    EXPECT_EQ(V_VT(&out[1]), VT_R8);
    EXPECT_EQ(V_R8(&out[1]), 4294967295.0);
    EXPECT_EQ(V_VT(&out[2]), VT_I4);
    EXPECT_EQ(V_I4(&out[2]), -3);
    ASSERT_EQ(V_VT(&out[3]), VT_BSTR);
    EXPECT_NE(V_BSTR(&out[3]), V_BSTR(&in[3]));  // a copy the host frees, not the caller's string
    EXPECT_STREQ(V_BSTR(&out[3]), L"text");
    for (auto& v : out) VariantClear(&v);
    VariantClear(&in[3]);
}

// rgvarg holds the arguments last first; the reader gives them in script order.
TEST(DispatchArgs, ReadsInScriptOrderThroughReferences) {
    VARIANT target;
    VariantInit(&target);
    V_VT(&target) = VT_R8;
    V_R8(&target) = 12.0;
    VARIANT raw[5];
    for (auto& v : raw) VariantInit(&v);
    // script order: "5", byref->12.0, missing, 2.5, true
    V_VT(&raw[4]) = VT_BSTR; V_BSTR(&raw[4]) = SysAllocString(L"5");
    V_VT(&raw[3]) = VT_BYREF | VT_VARIANT; V_VARIANTREF(&raw[3]) = &target;
    V_VT(&raw[2]) = VT_ERROR; V_ERROR(&raw[2]) = DISP_E_PARAMNOTFOUND;
    V_VT(&raw[1]) = VT_R8; V_R8(&raw[1]) = 2.5;
    V_VT(&raw[0]) = VT_BOOL; V_BOOL(&raw[0]) = VARIANT_TRUE;
    DISPPARAMS params = {raw, nullptr, 5, 0};
    CDispArgs args(&params);

    ASSERT_EQ(args.Count(), 5u);
    long long n = 0;
    EXPECT_TRUE(args.Integer(0, 0, 10, n));
    EXPECT_EQ(n, 5);
    EXPECT_TRUE(args.Integer(1, 0, 100, n));
    EXPECT_EQ(n, 12);
    EXPECT_FALSE(args.Integer(1, 0, 11, n)) << "out of range";
    EXPECT_TRUE(args.IsAbsent(2));
    EXPECT_FALSE(args.IsAbsent(1));
    EXPECT_TRUE(args.IsAbsent(5)) << "beyond the count";
    EXPECT_FALSE(args.Integer(3, 0, 10, n)) << "2.5 is not a whole number";
    double d = 0;
    EXPECT_TRUE(args.Double(3, d));
    EXPECT_EQ(d, 2.5);
    bool b = false;
    EXPECT_TRUE(args.Bool(4, b));
    EXPECT_TRUE(b);
    std::wstring s;
    EXPECT_TRUE(args.String(3, s));
    EXPECT_EQ(s, L"2.5") << "invariant decimal point";
    EXPECT_FALSE(args.String(2, s)) << "a missing argument has no text";
    VariantClear(&raw[4]);
}

TEST(DispatchArgs, NamedArgumentsAreNotPositional) {
    VARIANT raw[2];
    VariantInit(&raw[0]);
    VariantInit(&raw[1]);
    V_VT(&raw[0]) = VT_I4; V_I4(&raw[0]) = 1;  // the named one comes first in rgvarg
    V_VT(&raw[1]) = VT_I4; V_I4(&raw[1]) = 2;
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params = {raw, &named, 2, 1};
    CDispArgs args(&params);
    EXPECT_EQ(args.Count(), 1u);
    long long n = 0;
    EXPECT_TRUE(args.Integer(0, 0, 10, n));
    EXPECT_EQ(n, 2);
}

TEST(DispatchArgs, TextOfValuesAsScriptsShowThem) {
    const struct { VARTYPE vt; double number; const wchar_t* text; } cases[] = {
        {VT_EMPTY, 0, L""}, {VT_NULL, 0, L"null"}, {VT_I4, -42, L"-42"}, {VT_R8, 1.5, L"1.5"},
        {VT_BOOL, 1, L"True"}, {VT_BOOL, 0, L"False"},
    };
    for (const auto& c : cases) {
        VARIANT v;
        VariantInit(&v);
        V_VT(&v) = c.vt;
        if (c.vt == VT_I4) V_I4(&v) = static_cast<LONG>(c.number);
        if (c.vt == VT_R8) V_R8(&v) = c.number;
        if (c.vt == VT_BOOL) V_BOOL(&v) = c.number ? VARIANT_TRUE : VARIANT_FALSE;
        EXPECT_EQ(VariantToText(v), c.text) << "vt " << c.vt;
    }
}

TEST(DispatchArgs, RaisedErrorsCarryTheirText) {
    EXCEPINFO e;
    EXPECT_EQ(RaiseScriptError(&e, L"host.Sleep(ms): bad"), DISP_E_EXCEPTION);
    EXPECT_STREQ(e.bstrDescription, L"host.Sleep(ms): bad");
    EXPECT_TRUE(FAILED(e.scode));
    SysFreeString(e.bstrDescription);
    SysFreeString(e.bstrSource);
    EXPECT_TRUE(FAILED(RaiseScriptError(nullptr, L"x")));
}

}  // namespace
