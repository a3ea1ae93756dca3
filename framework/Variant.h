// Owning VARIANT: VariantClear on every way out.
#pragma once
#include <windows.h>
#include <oleauto.h>

namespace nelo {

class Variant {
public:
    Variant() { VariantInit(&m_v); }
    Variant(const Variant& o) { VariantInit(&m_v); VariantCopy(&m_v, const_cast<VARIANT*>(&o.m_v)); }
    Variant(Variant&& o) noexcept { m_v = o.m_v; VariantInit(&o.m_v); }
    ~Variant() { VariantClear(&m_v); }
    Variant& operator=(const Variant& o) {
        if (this != &o) VariantCopy(&m_v, const_cast<VARIANT*>(&o.m_v));
        return *this;
    }
    Variant& operator=(Variant&& o) noexcept {
        if (this != &o) { VariantClear(&m_v); m_v = o.m_v; VariantInit(&o.m_v); }
        return *this;
    }

    static Variant FromI4(LONG v) { Variant r; V_VT(&r.m_v) = VT_I4; V_I4(&r.m_v) = v; return r; }
    static Variant FromUI4(ULONG v) { Variant r; V_VT(&r.m_v) = VT_UI4; V_UI4(&r.m_v) = v; return r; }
    static Variant FromString(const wchar_t* s) {
        Variant r; V_VT(&r.m_v) = VT_BSTR; V_BSTR(&r.m_v) = SysAllocString(s); return r;
    }
    // Takes ownership of the content of a raw VARIANT and leaves it empty.
    static Variant Adopt(VARIANT& raw) { Variant r; r.m_v = raw; VariantInit(&raw); return r; }

    void Clear() { VariantClear(&m_v); }
    VARIANT* Get() { return &m_v; }
    const VARIANT* Get() const { return &m_v; }
    VARIANT* Receive() { VariantClear(&m_v); return &m_v; }
    VARTYPE Type() const { return V_VT(&m_v); }
    // Hands the content to a caller-owned VARIANT (which must be empty or cleared).
    void DetachTo(VARIANT* out) { *out = m_v; VariantInit(&m_v); }

private:
    VARIANT m_v;
};

}  // namespace nelo
