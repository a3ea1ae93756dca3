// Reference counting shared by the small COM objects the host hands out
// (host item, control proxy, event sink, client site). They are created with
// `new` holding one reference and delete themselves on the last Release.
#pragma once

#include <windows.h>

class CRefCount {
public:
    ULONG Add() { return static_cast<ULONG>(InterlockedIncrement(&m_count)); }
    // Returns the count after the release; 0 means the owner must delete itself.
    ULONG Drop() { return static_cast<ULONG>(InterlockedDecrement(&m_count)); }

private:
    LONG m_count = 1;
};

#define NELO_IMPLEMENT_REFCOUNT(Class)                                   \
    STDMETHODIMP_(ULONG) AddRef() override { return m_ref.Add(); }      \
    STDMETHODIMP_(ULONG) Release() override {                           \
        ULONG n = m_ref.Drop();                                          \
        if (n == 0) delete this;                                         \
        return n;                                                        \
    }
