#include "dispatch_args.h"

#include <cmath>

#include "com_ptr.h"

namespace {

bool ChangeType(const VARIANT* src, VARTYPE type, CVariant& out) {
    if (!src) return false;
    CVariant direct;
    if (FAILED(VariantCopyInd(direct.Get(), const_cast<VARIANT*>(src)))) return false;
    return SUCCEEDED(VariantChangeTypeEx(out.Out(), direct.Get(), LOCALE_INVARIANT, VARIANT_ALPHABOOL, type));
}

}  // namespace

UINT CDispArgs::Count() const {
    return m_params ? m_params->cArgs - m_params->cNamedArgs : 0;
}

const VARIANT* CDispArgs::At(UINT index) const {
    if (index >= Count()) return nullptr;
    // rgvarg holds the arguments last first.
    const VARIANT* v = &m_params->rgvarg[m_params->cArgs - 1 - index];
    while (V_VT(v) == (VT_BYREF | VT_VARIANT) && V_VARIANTREF(v)) v = V_VARIANTREF(v);
    return v;
}

bool CDispArgs::IsAbsent(UINT index) const {
    const VARIANT* v = At(index);
    if (!v) return true;
    if (V_VT(v) == VT_EMPTY) return true;
    return V_VT(v) == VT_ERROR && V_ERROR(v) == DISP_E_PARAMNOTFOUND;
}

bool CDispArgs::String(UINT index, std::wstring& out) const {
    const VARIANT* v = At(index);
    if (!v || IsAbsent(index)) return false;
    CVariant text;
    if (!ChangeType(v, VT_BSTR, text)) return false;
    out.assign(V_BSTR(text.Get()) ? V_BSTR(text.Get()) : L"", SysStringLen(V_BSTR(text.Get())));
    return true;
}

bool CDispArgs::Double(UINT index, double& out) const {
    CVariant number;
    if (IsAbsent(index) || !ChangeType(At(index), VT_R8, number)) return false;
    out = V_R8(number.Get());
    return std::isfinite(out);
}

bool CDispArgs::Integer(UINT index, long long minValue, long long maxValue, long long& out) const {
    double d;
    if (!Double(index, d) || d != std::floor(d)) return false;
    if (d < static_cast<double>(minValue) || d > static_cast<double>(maxValue)) return false;
    out = static_cast<long long>(d);
    return true;
}

bool CDispArgs::Bool(UINT index, bool& out) const {
    CVariant flag;
    if (IsAbsent(index) || !ChangeType(At(index), VT_BOOL, flag)) return false;
    out = V_BOOL(flag.Get()) != VARIANT_FALSE;
    return true;
}

std::wstring VariantToText(const VARIANT& value) {
    const VARIANT* v = &value;
    while (V_VT(v) == (VT_BYREF | VT_VARIANT) && V_VARIANTREF(v)) v = V_VARIANTREF(v);
    switch (V_VT(v)) {
    case VT_EMPTY: return std::wstring();
    case VT_NULL: return L"null";
    default: break;
    }
    CVariant text;
    if (!ChangeType(v, VT_BSTR, text)) {
        if ((V_VT(v) & VT_TYPEMASK) == VT_DISPATCH || (V_VT(v) & VT_TYPEMASK) == VT_UNKNOWN) return L"[object]";
        if (V_VT(v) & VT_ARRAY) return L"[array]";
        return L"[value of type " + std::to_wstring(V_VT(v)) + L"]";
    }
    BSTR b = V_BSTR(text.Get());
    return std::wstring(b ? b : L"", SysStringLen(b));
}

HRESULT RaiseScriptError(EXCEPINFO* excepInfo, const std::wstring& text) {
    if (!excepInfo) return E_FAIL;
    ZeroMemory(excepInfo, sizeof(*excepInfo));
    excepInfo->bstrSource = SysAllocString(L"NeloHost");
    excepInfo->bstrDescription = SysAllocString(text.c_str());
    excepInfo->scode = E_FAIL;
    return DISP_E_EXCEPTION;
}
