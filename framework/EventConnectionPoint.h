// The one connection point of a control: its event dispinterface. Sinks are called
// synchronously, in the order they connected, on the thread that fires.
#pragma once
#include <windows.h>
#include <ocidl.h>
#include <initializer_list>
#include <vector>

#include "ComPtr.h"
#include "Variant.h"

namespace nelo {

class EventConnectionPoint final : public IConnectionPoint {
public:
    // owner: the container; this object shares its identity's reference count.
    EventConnectionPoint(IConnectionPointContainer* owner, const IID& eventIid)
        : m_owner(owner), m_eventIid(eventIid) {}

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override { return m_owner->AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return m_owner->Release(); }

    STDMETHODIMP GetConnectionInterface(IID* iid) override;
    STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** out) override;
    STDMETHODIMP Advise(IUnknown* sink, DWORD* cookie) override;
    STDMETHODIMP Unadvise(DWORD cookie) override;
    STDMETHODIMP EnumConnections(IEnumConnections** out) override;

    // Calls every connected sink with args given in declaration order. Sinks may connect,
    // disconnect or call back into the control while this runs; each call sees the sinks
    // that were connected when firing began.
    void Fire(DISPID id, const VARIANT* args, UINT count);
    void Fire(DISPID id, std::initializer_list<Variant> args);

    size_t SinkCount() const { return m_sinks.size(); }
    void DisconnectAll() { m_sinks.clear(); }

private:
    struct Sink {
        DWORD cookie;
        ComPtr<IDispatch> dispatch;
    };
    IConnectionPointContainer* m_owner;
    IID m_eventIid;
    std::vector<Sink> m_sinks;
    DWORD m_nextCookie = 1;
};

}  // namespace nelo
