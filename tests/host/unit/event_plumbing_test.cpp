// The host's event path in-process, against the test event source loaded
// from its module: proxy, sink, connection and router, a thousand events,
// and afterwards no reference left behind (the module agrees to unload).
#include <gtest/gtest.h>

#include <windows.h>
#include <ocidl.h>

#include <utility>
#include <vector>

#include "control_factory.h"
#include "control_proxy.h"
#include "event_router.h"
#include "event_sink.h"
#include "run_state.h"

namespace {

// Dispatch IDs of the test source (event_source.idl).
constexpr DISPID kFire = 1, kSinkCount = 3;

// Stands in for a script function bound as an event handler.
class CRecordingHandler : public IDispatch {
public:
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        if (riid == IID_IUnknown || riid == IID_IDispatch) {
            *ppv = this;
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++m_refs; }
    STDMETHODIMP_(ULONG) Release() override { return --m_refs; }  // lives on the test's stack
    STDMETHODIMP GetTypeInfoCount(UINT* n) override { *n = 0; return S_OK; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return DISP_E_UNKNOWNNAME; }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO* e, UINT*) override {
        EXPECT_EQ(id, DISPID_VALUE) << "a bound handler is called as a function";
        if (params && params->cArgs == 2 && V_VT(&params->rgvarg[1]) == VT_UI4 && V_VT(&params->rgvarg[0]) == VT_I4)
            calls.emplace_back(V_UI4(&params->rgvarg[1]), V_I4(&params->rgvarg[0]));
        else
            ++badCalls;
        if (failWith && e) {
            ZeroMemory(e, sizeof(*e));
            e->bstrDescription = SysAllocString(L"handler threw");
            e->scode = E_FAIL;
            return failWith;
        }
        return S_OK;
    }
    ULONG m_refs = 1;
    std::vector<std::pair<ULONG, LONG>> calls;
    int badCalls = 0;
    HRESULT failWith = S_OK;
};

class EventPlumbing : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        wchar_t path[MAX_PATH];
        DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
        std::wstring folder(path, n);
        folder.resize(folder.find_last_of(L'\\') + 1);
        std::wstring error;
        ASSERT_TRUE(m_control.CreateFromModule(folder + L"NeloHostTestSource.dll", error))
            << std::string(error.begin(), error.end());
    }
    void TearDown() override {
        // Everything released: the module must have no object or lock left.
        m_control.Release();
        HMODULE module = GetModuleHandleW(L"NeloHostTestSource.dll");
        ASSERT_NE(module, nullptr);
        auto canUnload = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(
            reinterpret_cast<void*>(GetProcAddress(module, "DllCanUnloadNow")));
        ASSERT_NE(canUnload, nullptr);
        EXPECT_EQ(canUnload(), S_OK) << "a reference to the object or its factory leaked";
        OleUninitialize();
    }

    LONG CallInt(DISPID id, std::vector<LONG> args) {
        std::vector<VARIANT> v(args.size());
        for (size_t i = 0; i < args.size(); ++i) {  // last argument first
            VariantInit(&v[i]);
            V_VT(&v[i]) = VT_I4;
            V_I4(&v[i]) = args[args.size() - 1 - i];
        }
        DISPPARAMS params = {v.empty() ? nullptr : v.data(), nullptr, static_cast<UINT>(v.size()), 0};
        VARIANT result;
        VariantInit(&result);
        HRESULT hr = m_control.Dispatch()->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, &result,
                                                  nullptr, nullptr);
        EXPECT_EQ(hr, S_OK);
        return V_VT(&result) == VT_I4 ? V_I4(&result) : -999;
    }

    CCreatedControl m_control;
};

TEST_F(EventPlumbing, AThousandEventsReachTheBoundHandlerAndNothingLeaks) {
    CRunState state;
    CRecordingHandler handler;
    {
        CEventRouter router(state, EScriptLanguage::JScript, L"ctrl");
        auto proxy = CComPtr<CControlProxy>::Adopt(new CControlProxy(m_control.Dispatch(), router, state));
        // The engine binds through the proxy, which never shows the object's
        // own event interfaces (the engine must not connect a second sink).
        auto bind = CComPtr<IUnknown>::Share(static_cast<IDispatch*>(proxy.Get())).As<IBindEventHandler>(IID_IBindEventHandler);
        ASSERT_TRUE(bind);
        EXPECT_EQ(bind->BindHandler(L"EVENT_A", &handler), S_OK);
        auto unknown = CComPtr<IUnknown>::Share(static_cast<IDispatch*>(proxy.Get()));
        EXPECT_FALSE(unknown.As<IConnectionPointContainer>(IID_IConnectionPointContainer));
        EXPECT_FALSE(unknown.As<IProvideClassInfo>(IID_IProvideClassInfo));

        {
            CEventConnection connection(m_control.Unknown(), router);
            ASSERT_TRUE(connection.Connected()) << std::string(connection.Problem().begin(), connection.Problem().end());
            EXPECT_EQ(CallInt(kSinkCount, {}), 1);
            for (LONG i = 0; i < 1000; ++i) ASSERT_EQ(CallInt(kFire, {1, 7, i}), 1);
            CallInt(kFire, {2, 0, 0});  // EVENT_B has no handler: dropped quietly
        }
        EXPECT_EQ(CallInt(kSinkCount, {}), 0) << "the connection unadvised";
        ASSERT_EQ(handler.calls.size(), 1000u);
        for (LONG i = 0; i < 1000; ++i) EXPECT_EQ(handler.calls[static_cast<size_t>(i)], std::make_pair(7ul, i));
        EXPECT_EQ(handler.badCalls, 0);
        EXPECT_FALSE(state.Stopping());
        router.Clear();
    }
    EXPECT_EQ(handler.m_refs, 1u) << "the router released the handler";
}

TEST_F(EventPlumbing, AFailingHandlerStopsTheRunAndLaterEventsAreDropped) {
    CRunState state;
    CRecordingHandler handler;
    handler.failWith = DISP_E_EXCEPTION;
    {
        CEventRouter router(state, EScriptLanguage::JScript, L"ctrl");
        router.BindHandler(L"EVENT_A", &handler);
        CEventConnection connection(m_control.Unknown(), router);
        ASSERT_TRUE(connection.Connected());
        CallInt(kFire, {1, 1, 1});
        EXPECT_EQ(state.Reason(), EStopReason::ScriptError);
        EXPECT_EQ(state.ExitCode(), kExitScriptError);
        CallInt(kFire, {1, 1, 2});
        EXPECT_EQ(handler.calls.size(), 1u) << "nothing runs after the run was stopped";
        connection.Disconnect();
        router.Clear();
    }
    EXPECT_EQ(handler.m_refs, 1u);
}

TEST(EventConnection, AnObjectWithoutEventsIsNotAnError) {
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    {
        CCreatedControl dictionary;
        std::wstring error;
        ASSERT_TRUE(dictionary.CreateByProgId(L"Scripting.Dictionary", error));
        CRunState state;
        CEventRouter router(state, EScriptLanguage::VBScript, L"ctrl");
        CEventConnection connection(dictionary.Unknown(), router);
        EXPECT_FALSE(connection.Connected());
        EXPECT_FALSE(connection.Problem().empty());
    }
    OleUninitialize();
}

}  // namespace
