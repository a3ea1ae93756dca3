// IClassFactory for one creatable class. Creation goes through a plain function so the
// factory knows nothing of the class; LockServer holds the module like a live object.
#pragma once
#include <windows.h>
#include <unknwn.h>
#include "Module.h"

namespace nelo {

// Creates a new object and answers riid on it (the object starts with no outside reference).
using CreateObjectFn = HRESULT (*)(REFIID riid, void** ppv);

class ClassFactory final : public IClassFactory {
public:
    ClassFactory(const CLSID& clsid, CreateObjectFn create) : m_clsid(clsid), m_create(create) {}

    const CLSID& Clsid() const { return m_clsid; }

    // The factory is a static object: its reference count does not decide its life.
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IClassFactory) {
            *ppv = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { LockModule(); return 2; }
    STDMETHODIMP_(ULONG) Release() override { UnlockModule(); return 1; }

    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        return m_create(riid, ppv);
    }
    STDMETHODIMP LockServer(BOOL lock) override {
        if (lock) LockModule(); else UnlockModule();
        return S_OK;
    }

private:
    CLSID m_clsid;
    CreateObjectFn m_create;
};

// DllGetClassObject over a table of factories.
HRESULT GetClassObjectFrom(ClassFactory* const* factories, size_t count, REFCLSID clsid,
                           REFIID riid, void** ppv);

}  // namespace nelo
