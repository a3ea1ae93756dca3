#include "Dispatch.h"

#include <cwchar>
#include <new>

#include "Variant.h"

namespace nelo {
namespace {

// Script engines hand array variables and some scalars by reference, sometimes through
// more than one VT_BYREF|VT_VARIANT level; a bounded walk reaches the value itself.
const VARIANT* Dereference(const VARIANT* v) {
    for (int depth = 0; depth < 8 && V_VT(v) == (VT_BYREF | VT_VARIANT); ++depth) {
        if (!V_VARIANTREF(v)) return nullptr;
        v = V_VARIANTREF(v);
    }
    return V_VT(v) == (VT_BYREF | VT_VARIANT) ? nullptr : v;
}

bool IsOmitted(const VARIANT& v) { return V_VT(&v) == VT_ERROR && V_ERROR(&v) == DISP_E_PARAMNOTFOUND; }

HRESULT ConvertArgument(const VARIANT& in, VARTYPE vt, Variant& out) {
    const VARIANT* src = Dereference(&in);
    if (!src) return DISP_E_TYPEMISMATCH;
    Variant plain;
    if (FAILED(VariantCopyInd(plain.Get(), const_cast<VARIANT*>(src)))) return DISP_E_TYPEMISMATCH;
    if (FAILED(VariantChangeType(out.Get(), plain.Get(), 0, vt))) return DISP_E_TYPEMISMATCH;
    return S_OK;
}

void FillException(EXCEPINFO* info, HRESULT code, const wchar_t* text) {
    if (!info) return;
    *info = EXCEPINFO{};
    info->scode = code;
    info->bstrDescription = SysAllocString(text);
}

}  // namespace

const DispEntry* FindDispEntry(const DispEntry* table, size_t count, DISPID id) {
    for (size_t i = 0; i < count; ++i)
        if (table[i].id == id) return &table[i];
    return nullptr;
}

const DispEntry* FindDispEntry(const DispEntry* table, size_t count, const wchar_t* name) {
    if (!name) return nullptr;
    for (size_t i = 0; i < count; ++i)
        if (_wcsicmp(table[i].name, name) == 0) return &table[i];
    return nullptr;
}

HRESULT GetIDsFromTable(const DispEntry* table, size_t count, LPOLESTR* names, UINT nameCount,
                        DISPID* ids) {
    if (!ids || (nameCount && !names)) return E_POINTER;
    if (nameCount == 0) return S_OK;
    for (UINT i = 0; i < nameCount; ++i) ids[i] = DISPID_UNKNOWN;
    const DispEntry* entry = FindDispEntry(table, count, names[0]);
    if (!entry) return DISP_E_UNKNOWNNAME;
    ids[0] = entry->id;
    // Parameter names would only serve named arguments, which members do not take.
    return nameCount > 1 ? DISP_E_UNKNOWNNAME : S_OK;
}

HRESULT InvokeDispEntry(const DispEntry& entry, void* self, WORD flags, DISPPARAMS* params,
                        VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr) {
    if (!(flags & (DISPATCH_METHOD | DISPATCH_PROPERTYGET))) return DISP_E_MEMBERNOTFOUND;
    static DISPPARAMS noParams = {nullptr, nullptr, 0, 0};
    if (!params) params = &noParams;
    if (params->cNamedArgs > 0) return DISP_E_NONAMEDARGS;
    if (params->cArgs > entry.paramCount) return DISP_E_BADPARAMCOUNT;
    if (params->cArgs < entry.paramCount) return DISP_E_PARAMNOTOPTIONAL;
    if (params->cArgs > 0 && !params->rgvarg) return E_INVALIDARG;

    Variant converted[kMaxDispParams];
    VARIANT* args[kMaxDispParams] = {};
    for (UINT i = 0; i < entry.paramCount; ++i) {
        const UINT position = params->cArgs - 1 - i;  // rgvarg holds the arguments last first
        VARIANT& given = params->rgvarg[position];
        if (entry.paramTypes[i] == VT_VARIANT) {
            args[i] = &given;
            continue;
        }
        if (IsOmitted(given)) {
            if (argErr) *argErr = position;
            return DISP_E_PARAMNOTOPTIONAL;
        }
        if (FAILED(ConvertArgument(given, entry.paramTypes[i], converted[i]))) {
            if (argErr) *argErr = position;
            return DISP_E_TYPEMISMATCH;
        }
        args[i] = converted[i].Get();
    }

    Variant value;
    try {
        entry.handler(self, args, value.Get());
    } catch (const std::bad_alloc&) {
        FillException(excepInfo, E_OUTOFMEMORY, L"Out of memory.");
        return DISP_E_EXCEPTION;
    } catch (...) {
        FillException(excepInfo, E_UNEXPECTED, L"Unexpected failure.");
        return DISP_E_EXCEPTION;
    }
    if (result) {
        VariantInit(result);
        value.DetachTo(result);
    }
    return S_OK;
}

}  // namespace nelo
