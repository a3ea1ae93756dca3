// Snapshot enumerators (IEnumConnectionPoints, IEnumConnections): each holds its own
// references to what it lists, so the list may change while a caller walks it.
#pragma once
#include <windows.h>
#include <ocidl.h>
#include <new>
#include <vector>

#include "Module.h"

namespace nelo {

struct AddRefPolicy {
    template <class T> static void Copy(T*& dst, T* src) { dst = src; if (dst) dst->AddRef(); }
    template <class T> static void Destroy(T*& p) { if (p) p->Release(); p = nullptr; }
};

struct ConnectDataPolicy {
    static void Copy(CONNECTDATA& dst, const CONNECTDATA& src) {
        dst = src;
        if (dst.pUnk) dst.pUnk->AddRef();
    }
    static void Destroy(CONNECTDATA& d) { if (d.pUnk) d.pUnk->Release(); d.pUnk = nullptr; }
};

template <class Base, class Item, const IID* Iid, class Policy>
class SnapshotEnum final : public Base {
public:
    explicit SnapshotEnum(const std::vector<Item>& items) {
        m_items.resize(items.size());
        for (size_t i = 0; i < items.size(); ++i) Policy::Copy(m_items[i], items[i]);
    }
    ~SnapshotEnum() {
        for (auto& item : m_items) Policy::Destroy(item);
    }

    static HRESULT Create(const std::vector<Item>& items, Base** out) {
        if (!out) return E_POINTER;
        *out = new (std::nothrow) SnapshotEnum(items);
        return *out ? S_OK : E_OUTOFMEMORY;
    }

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        if (riid == IID_IUnknown || riid == *Iid) {
            *ppv = static_cast<Base*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&m_ref); }
    STDMETHODIMP_(ULONG) Release() override {
        LONG n = InterlockedDecrement(&m_ref);
        if (n == 0) delete this;
        return n;
    }
    STDMETHODIMP Next(ULONG count, Item* out, ULONG* fetched) override {
        if (!out || (count > 1 && !fetched)) return E_POINTER;
        ULONG n = 0;
        while (n < count && m_pos < m_items.size()) Policy::Copy(out[n++], m_items[m_pos++]);
        if (fetched) *fetched = n;
        return n == count ? S_OK : S_FALSE;
    }
    STDMETHODIMP Skip(ULONG count) override {
        size_t left = m_items.size() - m_pos;
        if (count > left) { m_pos = m_items.size(); return S_FALSE; }
        m_pos += count;
        return S_OK;
    }
    STDMETHODIMP Reset() override { m_pos = 0; return S_OK; }
    STDMETHODIMP Clone(Base** out) override {
        HRESULT hr = Create(m_items, out);
        if (SUCCEEDED(hr)) static_cast<SnapshotEnum*>(*out)->m_pos = m_pos;
        return hr;
    }

private:
    SnapshotEnum() = default;
    ModuleLockHolder m_lock;
    std::vector<Item> m_items;
    size_t m_pos = 0;
    LONG m_ref = 1;
};

using ConnectionPointEnum =
    SnapshotEnum<IEnumConnectionPoints, IConnectionPoint*, &IID_IEnumConnectionPoints, AddRefPolicy>;
using ConnectionEnum = SnapshotEnum<IEnumConnections, CONNECTDATA, &IID_IEnumConnections, ConnectDataPolicy>;

}  // namespace nelo
