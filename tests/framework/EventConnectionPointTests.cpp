// The event connection point: who is called, in which order, and what happens when a
// sink disconnects or connects while an event is being fired.
#include <gtest/gtest.h>

#include <olectl.h>
#include <functional>
#include <string>
#include <vector>

#include "ComEnumerators.h"
#include "EventConnectionPoint.h"

namespace {

const IID kEventIid = {0x1b2f7c1e, 0x52aa, 0x4e0c, {0x9d, 0x11, 0x3a, 0x0e, 0x64, 0x55, 0x21, 0x7f}};

// A container that only counts references (the point borrows its identity).
struct FakeContainer : IConnectionPointContainer {
    LONG refs = 1;
    STDMETHODIMP QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
    STDMETHODIMP_(ULONG) Release() override { return --refs; }
    STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints**) override { return E_NOTIMPL; }
    STDMETHODIMP FindConnectionPoint(REFIID, IConnectionPoint**) override { return E_NOTIMPL; }
};

std::vector<std::string>* g_log = nullptr;

// A sink that writes "<name>:<dispid>(<args>)" and may run an action inside the call.
struct Sink : IDispatch {
    std::string name;
    bool answersEventIid = true;
    bool answersDispatch = true;
    LONG refs = 1;
    std::function<void()> during;

    explicit Sink(std::string n) : name(std::move(n)) {}
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        if (riid == IID_IUnknown || (riid == IID_IDispatch && answersDispatch) ||
            (riid == kEventIid && answersEventIid)) {
            *ppv = this;
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
    STDMETHODIMP_(ULONG) Release() override { return --refs; }
    STDMETHODIMP GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* p, VARIANT*, EXCEPINFO*, UINT*) override {
        std::string text = name + ":" + std::to_string(id) + "(";
        for (UINT i = p->cArgs; i-- > 0;) {  // back to declaration order
            VARIANT& v = p->rgvarg[i];
            text += V_VT(&v) == VT_UI4 ? "u" + std::to_string(V_UI4(&v)) : "i" + std::to_string(V_I4(&v));
            if (i) text += ",";
        }
        g_log->push_back(text + ")");
        if (during) during();
        return S_OK;
    }
};

class EventConnectionPointTest : public ::testing::Test {
protected:
    void SetUp() override { g_log = &log; }
    void TearDown() override { g_log = nullptr; }
    void Fire(DISPID id, ULONG w, LONG l) { point.Fire(id, {nelo::Variant::FromUI4(w), nelo::Variant::FromI4(l)}); }

    std::vector<std::string> log;
    // Sinks outlive the point, which may still hold references to them at the end.
    Sink a{"a"}, b{"b"};
    FakeContainer container;
    nelo::EventConnectionPoint point{&container, kEventIid};
};

TEST_F(EventConnectionPointTest, EverySinkIsCalledInConnectionOrderWithArgumentsInDeclarationOrder) {
    b.answersEventIid = false;  // a plain IDispatch sink, as script hosts offer
    DWORD ca = 0, cb = 0;
    ASSERT_EQ(point.Advise(&a, &ca), S_OK);
    ASSERT_EQ(point.Advise(&b, &cb), S_OK);
    EXPECT_NE(ca, cb);
    Fire(3, 0, 1);
    Fire(2, 5, -7);
    EXPECT_EQ(log, (std::vector<std::string>{"a:3(u0,i1)", "b:3(u0,i1)", "a:2(u5,i-7)", "b:2(u5,i-7)"}));
}

TEST_F(EventConnectionPointTest, UnadviseStopsCallsAndReleasesTheSink) {
    DWORD cookie = 0;
    ASSERT_EQ(point.Advise(&a, &cookie), S_OK);
    EXPECT_GT(a.refs, 1);
    EXPECT_EQ(point.Unadvise(cookie), S_OK);
    EXPECT_EQ(a.refs, 1);
    EXPECT_EQ(point.Unadvise(cookie), CONNECT_E_NOCONNECTION);
    EXPECT_EQ(point.Unadvise(12345), CONNECT_E_NOCONNECTION);
    Fire(1, 0, 1);
    EXPECT_TRUE(log.empty());
}

TEST_F(EventConnectionPointTest, SinksWithoutDispatchAreRefused) {
    Sink mute("m");
    mute.answersEventIid = false;
    mute.answersDispatch = false;
    DWORD cookie = 99;
    EXPECT_EQ(point.Advise(&mute, &cookie), CONNECT_E_CANNOTCONNECT);
    EXPECT_EQ(cookie, 0u);
    EXPECT_EQ(point.Advise(nullptr, &cookie), E_POINTER);
    EXPECT_EQ(point.SinkCount(), 0u);
}

TEST_F(EventConnectionPointTest, ASinkMayDisconnectItselfAndOthersWhileAnEventIsFired) {
    DWORD ca = 0, cb = 0;
    point.Advise(&a, &ca);
    point.Advise(&b, &cb);
    a.during = [&] { point.Unadvise(ca); point.Unadvise(cb); };
    Fire(1, 0, 4);
    // b was connected when firing began, so it still hears this event, and nothing after.
    EXPECT_EQ(log, (std::vector<std::string>{"a:1(u0,i4)", "b:1(u0,i4)"}));
    Fire(1, 0, 5);
    EXPECT_EQ(log.size(), 2u);
    EXPECT_EQ(a.refs, 1);
    EXPECT_EQ(b.refs, 1);
}

TEST_F(EventConnectionPointTest, EnumerationIsASnapshotHoldingItsOwnReferences) {
    DWORD cookie = 0;
    point.Advise(&a, &cookie);
    IEnumConnections* connections = nullptr;
    ASSERT_EQ(point.EnumConnections(&connections), S_OK);
    point.Unadvise(cookie);
    CONNECTDATA data[2] = {};
    ULONG fetched = 0;
    EXPECT_EQ(connections->Next(2, data, &fetched), S_FALSE);
    ASSERT_EQ(fetched, 1u);
    EXPECT_EQ(data[0].dwCookie, cookie);
    data[0].pUnk->Release();
    connections->Release();
    EXPECT_EQ(a.refs, 1);

    IConnectionPointContainer* owner = nullptr;
    EXPECT_EQ(point.GetConnectionPointContainer(&owner), S_OK);
    EXPECT_EQ(owner, &container);
    owner->Release();
    IID iid = {};
    EXPECT_EQ(point.GetConnectionInterface(&iid), S_OK);
    EXPECT_EQ(iid, kEventIid);
}

}  // namespace
