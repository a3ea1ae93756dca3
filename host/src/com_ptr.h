// Owning wrappers for the COM resources the host juggles: interface pointers,
// BSTRs and VARIANTs. Each releases what it holds exactly once.
#pragma once

#include <windows.h>
#include <oleauto.h>
#include <utility>

template <class T>
class CComPtr {
public:
    CComPtr() = default;
    CComPtr(const CComPtr& other) : m_p(other.m_p) { if (m_p) m_p->AddRef(); }
    CComPtr(CComPtr&& other) noexcept : m_p(other.m_p) { other.m_p = nullptr; }
    ~CComPtr() { Reset(); }

    // Takes over a reference the caller already owns (a fresh `new` object).
    static CComPtr Adopt(T* p) { CComPtr c; c.m_p = p; return c; }
    // Adds a reference of its own.
    static CComPtr Share(T* p) { CComPtr c; c.m_p = p; if (p) p->AddRef(); return c; }

    CComPtr& operator=(CComPtr other) noexcept { std::swap(m_p, other.m_p); return *this; }

    void Reset() { if (m_p) { T* p = m_p; m_p = nullptr; p->Release(); } }
    T* Get() const { return m_p; }
    T* operator->() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }
    // For out-parameters: releases the old pointer first.
    T** Out() { Reset(); return &m_p; }
    void** OutVoid() { Reset(); return reinterpret_cast<void**>(&m_p); }
    // Hands the reference to a COM out-parameter.
    T* Detach() { T* p = m_p; m_p = nullptr; return p; }

    template <class U>
    CComPtr<U> As(REFIID iid) const {
        CComPtr<U> out;
        if (m_p) m_p->QueryInterface(iid, out.OutVoid());
        return out;
    }

private:
    T* m_p = nullptr;
};

class CBStr {
public:
    CBStr() = default;
    explicit CBStr(const wchar_t* text) : m_b(text ? SysAllocString(text) : nullptr) {}
    CBStr(const wchar_t* text, UINT len) : m_b(SysAllocStringLen(text, len)) {}
    CBStr(const CBStr&) = delete;
    CBStr& operator=(const CBStr&) = delete;
    CBStr(CBStr&& other) noexcept : m_b(other.m_b) { other.m_b = nullptr; }
    ~CBStr() { SysFreeString(m_b); }

    BSTR Get() const { return m_b; }
    BSTR* Out() { SysFreeString(m_b); m_b = nullptr; return &m_b; }
    BSTR Detach() { BSTR b = m_b; m_b = nullptr; return b; }
    const wchar_t* CStr() const { return m_b ? m_b : L""; }
    UINT Length() const { return SysStringLen(m_b); }

private:
    BSTR m_b = nullptr;
};

class CVariant {
public:
    CVariant() { VariantInit(&m_v); }
    CVariant(const CVariant&) = delete;
    CVariant& operator=(const CVariant&) = delete;
    ~CVariant() { VariantClear(&m_v); }

    VARIANT* Get() { return &m_v; }
    const VARIANT* Get() const { return &m_v; }
    VARIANT* Out() { VariantClear(&m_v); return &m_v; }
    // Moves the value into a caller's VARIANT (a COM out-parameter).
    void DetachTo(VARIANT* dest) { *dest = m_v; VariantInit(&m_v); }

private:
    VARIANT m_v;
};

// Unlocks a SAFEARRAY's data on every way out of a scope.
class CSafeArrayAccess {
public:
    CSafeArrayAccess(SAFEARRAY* psa, void** data) : m_psa(psa) {
        if (FAILED(SafeArrayAccessData(psa, data))) m_psa = nullptr;
    }
    CSafeArrayAccess(const CSafeArrayAccess&) = delete;
    CSafeArrayAccess& operator=(const CSafeArrayAccess&) = delete;
    ~CSafeArrayAccess() { if (m_psa) SafeArrayUnaccessData(m_psa); }
    bool Ok() const { return m_psa != nullptr; }

private:
    SAFEARRAY* m_psa;
};

// Win32 handles that CloseHandle frees.
class CHandle {
public:
    CHandle() = default;
    explicit CHandle(HANDLE h) : m_h(h) {}
    CHandle(const CHandle&) = delete;
    CHandle& operator=(const CHandle&) = delete;
    CHandle(CHandle&& other) noexcept : m_h(other.m_h) { other.m_h = nullptr; }
    CHandle& operator=(CHandle&& other) noexcept { std::swap(m_h, other.m_h); return *this; }
    ~CHandle() { Reset(); }

    void Reset(HANDLE h = nullptr) {
        if (Valid()) CloseHandle(m_h);
        m_h = h;
    }
    HANDLE Get() const { return m_h; }
    bool Valid() const { return m_h != nullptr && m_h != INVALID_HANDLE_VALUE; }

private:
    HANDLE m_h = nullptr;
};
