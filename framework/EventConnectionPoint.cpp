#include "EventConnectionPoint.h"

#include <olectl.h>

#include "ComEnumerators.h"

namespace nelo {

STDMETHODIMP EventConnectionPoint::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IConnectionPoint) {
        *ppv = static_cast<IConnectionPoint*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP EventConnectionPoint::GetConnectionInterface(IID* iid) {
    if (!iid) return E_POINTER;
    *iid = m_eventIid;
    return S_OK;
}

STDMETHODIMP EventConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** out) {
    if (!out) return E_POINTER;
    *out = m_owner;
    m_owner->AddRef();
    return S_OK;
}

STDMETHODIMP EventConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
    if (!cookie) return E_POINTER;
    *cookie = 0;
    if (!sink) return E_POINTER;
    // A sink normally answers the event interface itself; script hosts often offer only a
    // plain IDispatch that dispatches by DISPID, which is all firing needs.
    ComPtr<IDispatch> dispatch;
    if (FAILED(sink->QueryInterface(m_eventIid, dispatch.ReceiveVoid())) &&
        FAILED(sink->QueryInterface(IID_IDispatch, dispatch.ReceiveVoid())))
        return CONNECT_E_CANNOTCONNECT;
    m_sinks.push_back(Sink{m_nextCookie, dispatch});
    *cookie = m_nextCookie++;
    return S_OK;
}

STDMETHODIMP EventConnectionPoint::Unadvise(DWORD cookie) {
    for (auto it = m_sinks.begin(); it != m_sinks.end(); ++it) {
        if (it->cookie == cookie) {
            ComPtr<IDispatch> keep = it->dispatch;  // released after the list is consistent
            m_sinks.erase(it);
            return S_OK;
        }
    }
    return CONNECT_E_NOCONNECTION;
}

STDMETHODIMP EventConnectionPoint::EnumConnections(IEnumConnections** out) {
    std::vector<CONNECTDATA> list;
    for (auto& s : m_sinks) list.push_back(CONNECTDATA{s.dispatch.Get(), s.cookie});
    return ConnectionEnum::Create(list, out);
}

void EventConnectionPoint::Fire(DISPID id, const VARIANT* args, UINT count) {
    if (m_sinks.empty()) return;
    std::vector<ComPtr<IDispatch>> targets;
    targets.reserve(m_sinks.size());
    for (auto& s : m_sinks) targets.push_back(s.dispatch);

    // DISPPARAMS lists the arguments last first.
    std::vector<VARIANT> reversed(count);
    for (UINT i = 0; i < count; ++i) reversed[i] = args[count - 1 - i];
    DISPPARAMS params = {count ? reversed.data() : nullptr, nullptr, count, 0};
    for (auto& sink : targets) {
        VARIANT ignored;
        VariantInit(&ignored);
        sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, &ignored, nullptr,
                     nullptr);
        VariantClear(&ignored);
    }
}

void EventConnectionPoint::Fire(DISPID id, std::initializer_list<Variant> args) {
    std::vector<VARIANT> raw;
    for (const Variant& v : args) raw.push_back(*v.Get());  // shallow: the list keeps ownership
    Fire(id, raw.data(), static_cast<UINT>(raw.size()));
}

}  // namespace nelo
