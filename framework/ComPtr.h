// Owning smart pointer for COM interfaces: one AddRef per copy, one Release per owner.
#pragma once
#include <windows.h>
#include <unknwn.h>
#include <utility>

namespace nelo {

template <class T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(std::nullptr_t) {}
    // Takes a new reference (the pointer stays owned by whoever handed it in).
    explicit ComPtr(T* p) : m_p(p) { if (m_p) m_p->AddRef(); }
    ComPtr(const ComPtr& o) : m_p(o.m_p) { if (m_p) m_p->AddRef(); }
    ComPtr(ComPtr&& o) noexcept : m_p(o.m_p) { o.m_p = nullptr; }
    ~ComPtr() { Reset(); }

    ComPtr& operator=(const ComPtr& o) {
        if (this != &o) { ComPtr tmp(o); Swap(tmp); }
        return *this;
    }
    ComPtr& operator=(ComPtr&& o) noexcept {
        if (this != &o) { Reset(); m_p = o.m_p; o.m_p = nullptr; }
        return *this;
    }
    ComPtr& operator=(std::nullptr_t) { Reset(); return *this; }

    // Adopts a reference the caller already owns (e.g. from a creation function).
    static ComPtr Adopt(T* p) { ComPtr r; r.m_p = p; return r; }

    void Reset() {
        T* p = m_p;
        m_p = nullptr;
        if (p) p->Release();  // released after clearing, so a re-entrant Release sees null
    }
    T* Detach() { T* p = m_p; m_p = nullptr; return p; }
    void Swap(ComPtr& o) noexcept { std::swap(m_p, o.m_p); }

    T* Get() const { return m_p; }
    T* operator->() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }
    // For out-parameters: releases what is held and hands out the slot.
    T** Receive() { Reset(); return &m_p; }
    void** ReceiveVoid() { Reset(); return reinterpret_cast<void**>(&m_p); }

    template <class U>
    HRESULT As(ComPtr<U>& out) const {
        if (!m_p) return E_POINTER;
        return m_p->QueryInterface(__uuidof(U), out.ReceiveVoid());
    }
    HRESULT QueryFrom(IUnknown* from, REFIID iid) {
        if (!from) { Reset(); return E_POINTER; }
        return from->QueryInterface(iid, ReceiveVoid());
    }

private:
    T* m_p = nullptr;
};

}  // namespace nelo
