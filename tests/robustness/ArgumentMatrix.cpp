#include "ArgumentMatrix.h"

#include <cmath>
#include <limits>

#include "HostileObjects.h"

namespace robust {
namespace {

VARIANT I4(LONG v) {
    VARIANT r;
    VariantInit(&r);
    V_VT(&r) = VT_I4;
    V_I4(&r) = v;
    return r;
}

VARIANT Str(const std::wstring& s) {
    VARIANT r;
    VariantInit(&r);
    V_VT(&r) = VT_BSTR;
    V_BSTR(&r) = SysAllocStringLen(s.data(), static_cast<UINT>(s.size()));
    return r;
}

SAFEARRAY* Vector(VARTYPE vt, ULONG count, LONG lowerBound = 0) {
    SAFEARRAYBOUND bound = {count, lowerBound};
    return SafeArrayCreate(vt, 1, &bound);
}

VARIANT ArrayOf(VARTYPE declared, SAFEARRAY* sa) {
    VARIANT r;
    VariantInit(&r);
    V_VT(&r) = VT_ARRAY | declared;
    V_ARRAY(&r) = sa;
    return r;
}

// A VT_VARIANT vector of I4 values start, start+1, ...
SAFEARRAY* VariantInts(ULONG count, LONG start = 1, LONG lowerBound = 0) {
    SAFEARRAY* sa = Vector(VT_VARIANT, count, lowerBound);
    VARIANT* data = nullptr;
    if (sa && SUCCEEDED(SafeArrayAccessData(sa, reinterpret_cast<void**>(&data)))) {
        for (ULONG i = 0; i < count; ++i) {
            V_VT(&data[i]) = VT_I4;
            V_I4(&data[i]) = (start + static_cast<LONG>(i)) & 0xFF;
        }
        SafeArrayUnaccessData(sa);
    }
    return sa;
}

}  // namespace

ArgumentCatalogue::ArgumentCatalogue(const std::vector<std::wstring>& outsidePaths,
                                     const std::vector<LONG>& validOnce, const std::vector<LONG>& validNow) {
    // ---- Integers
    const struct { const char* name; LONG v; } ints[] = {
        {"0", 0}, {"1", 1}, {"-1", -1}, {"2", 2}, {"-2", -2}, {"INT_MAX", 2147483647},
        {"INT_MIN", static_cast<LONG>(0x80000000u)}, {"0xFFFFFFFF", static_cast<LONG>(0xFFFFFFFFu)},
        {"65536", 65536}, {"16000", 16000},
    };
    for (const auto& i : ints) AddInt(i.name, i.v);
    for (LONG h : validOnce) AddInt("handle valid once " + std::to_string(h), h);
    for (LONG h : validNow) AddInt("live handle " + std::to_string(h), h);
    {
        VARIANT u;
        VariantInit(&u);
        V_VT(&u) = VT_UI4;
        V_UI4(&u) = 0xFFFFFFFFu;
        AddRaw("UI4 0xFFFFFFFF", u);
        V_UI4(&u) = 0x80000000u;
        AddRaw("UI4 0x80000000", u);
        V_VT(&u) = VT_I8;
        V_I8(&u) = std::numeric_limits<LONGLONG>::min();
        AddRaw("I8 min", u);
        V_VT(&u) = VT_R8;
        V_R8(&u) = 1e300;
        AddRaw("R8 1e300", u);
        V_R8(&u) = std::numeric_limits<double>::quiet_NaN();
        AddRaw("R8 NaN", u);
        V_R8(&u) = -0.5;
        AddRaw("R8 -0.5", u);
        V_VT(&u) = VT_BOOL;
        V_BOOL(&u) = VARIANT_TRUE;
        AddRaw("BOOL true", u);
        V_VT(&u) = VT_DATE;
        V_DATE(&u) = 1e7;
        AddRaw("DATE", u);
        V_VT(&u) = VT_CY;
        V_CY(&u).int64 = std::numeric_limits<LONGLONG>::max();
        AddRaw("CY max", u);
        V_VT(&u) = VT_I1;
        V_I1(&u) = -1;
        AddRaw("I1 -1", u);
        V_VT(&u) = VT_ERROR;
        V_ERROR(&u) = DISP_E_PARAMNOTFOUND;
        AddRaw("missing (VT_ERROR PARAMNOTFOUND)", u);
        V_VT(&u) = VT_ERROR;
        V_ERROR(&u) = E_FAIL;
        AddRaw("VT_ERROR E_FAIL", u);
    }
    VARIANT plain;
    VariantInit(&plain);
    AddRaw("EMPTY", plain);
    V_VT(&plain) = VT_NULL;
    AddRaw("NULL", plain);

    // ---- Strings
    {
        VARIANT nullString;
        VariantInit(&nullString);
        V_VT(&nullString) = VT_BSTR;
        V_BSTR(&nullString) = nullptr;
        AddRaw("null BSTR", nullString);
    }
    AddString("empty string", L"", false);
    AddString("1 KB", std::wstring(1024, L'A'), false);
    AddString("64 KB hex", std::wstring(64 * 1024, L'0'), false);
    AddString("64 KB text", std::wstring(64 * 1024, L'\x4e2d'), false);
    AddString("format string", L"%n%s%x%n%s%x%p%S", false);
    AddString("non-ASCII", L"\x4e2d\x6587\x00e9\x00df\xd83d\xde00", false);
    AddString("lone surrogate", L"ab\xd800", false);
    AddString("odd hex", L"abc", false);
    AddString("hex with junk", L"0g1-+F 5zz", false);
    AddString("number text", L"12", false);
    AddString("embedded NUL", std::wstring(L"a\0b.wav", 7), true);
    const wchar_t* names[] = {
        L"..\\..\\x", L"..\\x", L"../x", L"sub\\..\\..\\x", L"C:\\windows\\win.ini", L"\\\\127.0.0.1\\c$\\x",
        L"\\\\?\\C:\\x", L"\\\\.\\nul", L"NUL", L"con.wav", L"COM1", L"LPT1.txt", L"CONIN$", L"a.wav:stream",
        L"a.wav::$DATA", L"a.wav.", L"a.wav ", L"*.wav", L"\\", L".", L"..", L"Z:\\etc\\passwd", L"\\\\x\\y",
    };
    for (const wchar_t* n : names) {
        const std::wstring text(n);
        AddString("name " + std::string(text.begin(), text.end()), text, true);
    }
    AddString("name of 300 characters", std::wstring(300, L'n'), true);
    AddString("name of 1000 characters", std::wstring(1000, L'n'), true);
    for (const std::wstring& p : outsidePaths) {
        const std::string shown(p.begin(), p.end());
        AddString("absolute " + shown, p, true);
        AddString("long-prefix " + shown, L"\\\\?\\" + p, true);
        if (p.size() > 2 && p[1] == L':')
            AddString("UNC " + shown, L"\\\\localhost\\" + std::wstring(1, p[0]) + L"$" + p.substr(2), true);
    }

    AddArrays();
    AddByRef();
    AddObjects();
}

ArgumentCatalogue::~ArgumentCatalogue() {
    for (HostileValue& v : m_values) VariantClear(&v.value);
    for (VARIANT& v : m_referenced) VariantClear(&v);
    for (BSTR b : m_bstrs) SysFreeString(b);
}

std::vector<const HostileValue*> ArgumentCatalogue::FileNames() const {
    std::vector<const HostileValue*> out;
    for (const HostileValue& v : m_values)
        if (v.isFileName) out.push_back(&v);
    return out;
}

void ArgumentCatalogue::AddInt(const std::string& name, LONG v) { m_values.push_back({"I4 " + name, I4(v), false}); }

void ArgumentCatalogue::AddString(const std::string& name, const std::wstring& text, bool isFileName) {
    m_values.push_back({"BSTR " + name, Str(text), isFileName});
}

void ArgumentCatalogue::AddRaw(const std::string& name, const VARIANT& v) { m_values.push_back({name, v, false}); }

VARIANT* ArgumentCatalogue::Keep(const VARIANT& v) {
    m_referenced.push_back(v);
    return &m_referenced.back();
}

void ArgumentCatalogue::AddArrays() {
    // Well-formed arrays of the kinds scripts make.
    SAFEARRAY* bytes = Vector(VT_UI1, 16);
    AddRaw("UI1[16]", ArrayOf(VT_UI1, bytes));
    AddRaw("VARIANT[8] of I4", ArrayOf(VT_VARIANT, VariantInts(8)));
    AddRaw("VARIANT[0]", ArrayOf(VT_VARIANT, Vector(VT_VARIANT, 0)));
    AddRaw("VARIANT[4] lower bound -5", ArrayOf(VT_VARIANT, VariantInts(4, 1, -5)));
    AddRaw("VARIANT[32] lower bound near INT_MAX", ArrayOf(VT_VARIANT, VariantInts(32, 1, 0x7FFFFFF0)));
    AddRaw("VARIANT[1000000] of I4", ArrayOf(VT_VARIANT, VariantInts(1000000)));
    AddRaw("UI1[1000000]", ArrayOf(VT_UI1, Vector(VT_UI1, 1000000)));
    {
        SAFEARRAYBOUND bounds[2] = {{3, 0}, {4, 0}};
        AddRaw("VARIANT[3][4]", ArrayOf(VT_VARIANT, SafeArrayCreate(VT_VARIANT, 2, bounds)));
        AddRaw("UI1[3][4]", ArrayOf(VT_UI1, SafeArrayCreate(VT_UI1, 2, bounds)));
    }
    {
        SAFEARRAY* strings = Vector(VT_BSTR, 3);
        BSTR* data = nullptr;
        if (SUCCEEDED(SafeArrayAccessData(strings, reinterpret_cast<void**>(&data)))) {
            data[0] = SysAllocString(L"12");
            data[1] = nullptr;
            data[2] = SysAllocString(L"\x4e2d");
            SafeArrayUnaccessData(strings);
        }
        AddRaw("BSTR[3]", ArrayOf(VT_BSTR, strings));
    }
    {
        SAFEARRAY* ints = Vector(VT_I4, 4);
        LONG* data = nullptr;
        if (SUCCEEDED(SafeArrayAccessData(ints, reinterpret_cast<void**>(&data)))) {
            data[0] = 1;
            data[1] = 256;
            data[2] = -1;
            data[3] = 0x7FFFFFFF;
            SafeArrayUnaccessData(ints);
        }
        AddRaw("I4[4] out of byte range", ArrayOf(VT_I4, ints));
    }
    {
        // Nested: the second element is itself an array.
        SAFEARRAY* outer = VariantInts(3);
        VARIANT* data = nullptr;
        if (SUCCEEDED(SafeArrayAccessData(outer, reinterpret_cast<void**>(&data)))) {
            V_VT(&data[1]) = VT_ARRAY | VT_VARIANT;
            V_ARRAY(&data[1]) = VariantInts(5);
            SafeArrayUnaccessData(outer);
        }
        AddRaw("VARIANT[3] with a nested array", ArrayOf(VT_VARIANT, outer));
    }
    {
        // Elements that are objects and by-reference values.
        SAFEARRAY* odd = Vector(VT_VARIANT, 3);
        VARIANT* data = nullptr;
        if (SUCCEEDED(SafeArrayAccessData(odd, reinterpret_cast<void**>(&data)))) {
            V_VT(&data[0]) = VT_DISPATCH;
            V_DISPATCH(&data[0]) = MakeHostileCollection(EnumBehaviour::NextFails);
            V_VT(&data[1]) = VT_BSTR;
            V_BSTR(&data[1]) = SysAllocString(L"300");
            V_VT(&data[2]) = VT_R8;
            V_R8(&data[2]) = 1e300;
            SafeArrayUnaccessData(odd);
        }
        AddRaw("VARIANT[3] of object, text, huge number", ArrayOf(VT_VARIANT, odd));
    }
    // Arrays that lie: the VARIANT declares another element type than the array holds.
    AddRaw("declared R8, holds UI1[16]", ArrayOf(VT_R8, Vector(VT_UI1, 16)));
    AddRaw("declared VARIANT, holds UI1[16]", ArrayOf(VT_VARIANT, Vector(VT_UI1, 16)));
    AddRaw("declared DECIMAL, holds UI1[3]", ArrayOf(VT_DECIMAL, Vector(VT_UI1, 3)));
    AddRaw("declared UI1, holds VARIANT[4]", ArrayOf(VT_UI1, VariantInts(4)));
    AddRaw("VT_ARRAY with no array", ArrayOf(VT_VARIANT, nullptr));
}

void ArgumentCatalogue::AddByRef() {
    // VBScript's array variables: one and two levels of VT_BYREF|VT_VARIANT.
    VARIANT* arrayValue = Keep(ArrayOf(VT_VARIANT, VariantInts(6)));
    VARIANT ref;
    VariantInit(&ref);
    V_VT(&ref) = VT_BYREF | VT_VARIANT;
    V_VARIANTREF(&ref) = arrayValue;
    AddRaw("BYREF VARIANT -> array", ref);
    VARIANT* level = arrayValue;
    for (int depth = 1; depth <= 12; ++depth) {
        VARIANT next;
        VariantInit(&next);
        V_VT(&next) = VT_BYREF | VT_VARIANT;
        V_VARIANTREF(&next) = level;
        level = Keep(next);
        if (depth == 2 || depth == 7 || depth == 12) {
            VARIANT chain;
            VariantInit(&chain);
            V_VT(&chain) = VT_BYREF | VT_VARIANT;
            V_VARIANTREF(&chain) = level;
            AddRaw("BYREF chain of " + std::to_string(depth + 1), chain);
        }
    }
    VARIANT nullRef;
    VariantInit(&nullRef);
    V_VT(&nullRef) = VT_BYREF | VT_VARIANT;
    V_VARIANTREF(&nullRef) = nullptr;
    AddRaw("BYREF VARIANT null", nullRef);

    m_longs.push_back(-1);
    VARIANT longRef;
    VariantInit(&longRef);
    V_VT(&longRef) = VT_BYREF | VT_I4;
    V_I4REF(&longRef) = &m_longs.back();
    AddRaw("BYREF I4 -1", longRef);

    m_bstrs.push_back(SysAllocString(L"..\\..\\x"));
    VARIANT bstrRef;
    VariantInit(&bstrRef);
    V_VT(&bstrRef) = VT_BYREF | VT_BSTR;
    V_BSTRREF(&bstrRef) = &m_bstrs.back();
    AddRaw("BYREF BSTR ..\\..\\x", bstrRef);
    m_values.back().isFileName = true;

    VARIANT* byteArray = Keep(ArrayOf(VT_UI1, Vector(VT_UI1, 8)));
    VARIANT arrayRef;
    VariantInit(&arrayRef);
    V_VT(&arrayRef) = VT_BYREF | VT_ARRAY | VT_UI1;
    V_ARRAYREF(&arrayRef) = &V_ARRAY(byteArray);
    AddRaw("BYREF ARRAY UI1[8]", arrayRef);
}

void ArgumentCatalogue::AddObjects() {
    const struct { const char* name; EnumBehaviour b; } objects[] = {
        {"object without enumerator", EnumBehaviour::NoEnumerator},
        {"object with a number for enumerator", EnumBehaviour::WrongEnumerator},
        {"object whose Next fails", EnumBehaviour::NextFails},
        {"object whose Next claims too many", EnumBehaviour::ClaimsTooMany},
        {"object enumerating for ever", EnumBehaviour::EndlessBytes},
        {"object enumerating itself", EnumBehaviour::SelfNested},
        {"object whose Next lies", EnumBehaviour::LyingStrings},
        {"object whose Skip fails", EnumBehaviour::SkipFails},
        {"object whose Reset fails", EnumBehaviour::ResetFails},
    };
    for (const auto& o : objects) {
        VARIANT v;
        VariantInit(&v);
        V_VT(&v) = VT_DISPATCH;
        V_DISPATCH(&v) = MakeHostileCollection(o.b);
        AddRaw(o.name, v);
    }
    VARIANT none;
    VariantInit(&none);
    V_VT(&none) = VT_DISPATCH;
    V_DISPATCH(&none) = nullptr;
    AddRaw("null IDispatch", none);
    V_VT(&none) = VT_UNKNOWN;
    V_UNKNOWN(&none) = nullptr;
    AddRaw("null IUnknown", none);
}

void MakeBenignArgument(VARTYPE declared, LONG validHandle, VARIANT& out) {
    VariantInit(&out);
    switch (declared) {
        case VT_I4:
            V_VT(&out) = VT_I4;
            V_I4(&out) = validHandle;
            break;
        case VT_UI4:
            V_VT(&out) = VT_UI4;
            V_UI4(&out) = 0;
            break;
        case VT_BSTR:
            V_VT(&out) = VT_BSTR;
            V_BSTR(&out) = SysAllocString(L"robust.wav");
            break;
        default:
            out = ArrayOf(VT_VARIANT, VariantInts(16));
            break;
    }
}

}  // namespace robust
