#include "HostileObjects.h"

namespace robust {
namespace {

volatile LONG g_endlessHandedOut = 0;

class HostileEnum : public IEnumVARIANT {
public:
    HostileEnum(EnumBehaviour b, IDispatch* owner) : m_behaviour(b), m_owner(owner) { m_owner->AddRef(); }
    virtual ~HostileEnum() { m_owner->Release(); }

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        if (riid == IID_IUnknown || riid == IID_IEnumVARIANT) {
            *ppv = static_cast<IEnumVARIANT*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&m_refs); }
    STDMETHODIMP_(ULONG) Release() override {
        const LONG left = InterlockedDecrement(&m_refs);
        if (left == 0) delete this;
        return left;
    }

    STDMETHODIMP Next(ULONG count, VARIANT* out, ULONG* fetched) override {
        if (fetched) *fetched = 0;
        if (!out) return E_POINTER;
        switch (m_behaviour) {
            case EnumBehaviour::NextFails:
                return E_FAIL;
            case EnumBehaviour::ClaimsTooMany:
                // Fills what was asked, then claims far more.
                for (ULONG i = 0; i < count; ++i) {
                    VariantInit(&out[i]);
                    V_VT(&out[i]) = VT_I4;
                    V_I4(&out[i]) = 7;
                }
                if (fetched) *fetched = count + 1000000;
                return S_OK;
            case EnumBehaviour::EndlessBytes:
                for (ULONG i = 0; i < count; ++i) {
                    VariantInit(&out[i]);
                    V_VT(&out[i]) = VT_UI1;
                    V_UI1(&out[i]) = static_cast<BYTE>(i);
                }
                InterlockedExchangeAdd(&g_endlessHandedOut, static_cast<LONG>(count));
                if (fetched) *fetched = count;
                return S_OK;
            case EnumBehaviour::SelfNested:
                if (m_given++ > 100000) return S_FALSE;
                VariantInit(&out[0]);
                V_VT(&out[0]) = VT_DISPATCH;
                V_DISPATCH(&out[0]) = m_owner;
                m_owner->AddRef();
                if (fetched) *fetched = 1;
                return S_OK;
            case EnumBehaviour::LyingStrings:
                if (m_given++ > 100000) return S_FALSE;
                VariantInit(&out[0]);
                V_VT(&out[0]) = VT_BSTR;
                V_BSTR(&out[0]) = SysAllocString(L"not a byte");
                return S_OK;  // *fetched stays 0
            default:
                return S_FALSE;
        }
    }
    // Counting by Skip sees the number of elements the behaviour pretends to have.
    STDMETHODIMP Skip(ULONG count) override {
        switch (m_behaviour) {
            case EnumBehaviour::EndlessBytes: return S_OK;
            case EnumBehaviour::SkipFails: return E_FAIL;
            default: m_skipped += count; return m_skipped <= 16 ? S_OK : S_FALSE;
        }
    }
    STDMETHODIMP Reset() override {
        m_skipped = 0;
        return m_behaviour == EnumBehaviour::ResetFails ? E_FAIL : S_OK;
    }
    STDMETHODIMP Clone(IEnumVARIANT** out) override {
        if (out) *out = nullptr;
        return E_FAIL;
    }

private:
    LONG m_refs = 1;
    EnumBehaviour m_behaviour;
    IDispatch* m_owner;
    ULONG m_given = 0;
    ULONG m_skipped = 0;
};

class HostileCollection : public IDispatch {
public:
    explicit HostileCollection(EnumBehaviour b) : m_behaviour(b) {}
    virtual ~HostileCollection() = default;

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        if (riid == IID_IUnknown || riid == IID_IDispatch) {
            *ppv = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&m_refs); }
    STDMETHODIMP_(ULONG) Release() override {
        const LONG left = InterlockedDecrement(&m_refs);
        if (left == 0) delete this;
        return left;
    }
    STDMETHODIMP GetTypeInfoCount(UINT* n) override {
        if (n) *n = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return DISP_E_UNKNOWNNAME; }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result, EXCEPINFO*, UINT*) override {
        if (id != DISPID_NEWENUM || !result) return DISP_E_MEMBERNOTFOUND;
        VariantInit(result);
        switch (m_behaviour) {
            case EnumBehaviour::NoEnumerator:
                return E_FAIL;
            case EnumBehaviour::WrongEnumerator:
                V_VT(result) = VT_I4;
                V_I4(result) = 42;
                return S_OK;
            default:
                V_VT(result) = VT_UNKNOWN;
                V_UNKNOWN(result) = new HostileEnum(m_behaviour, this);
                return S_OK;
        }
    }

private:
    LONG m_refs = 1;
    EnumBehaviour m_behaviour;
};

}  // namespace

IDispatch* MakeHostileCollection(EnumBehaviour behaviour) { return new HostileCollection(behaviour); }

LONG EndlessElementsHandedOut() { return g_endlessHandedOut; }

}  // namespace robust
