// What containers and browsers ask of the control: its interfaces, object safety,
// persistence, class information, property pages and embedding status.
#include <gtest/gtest.h>

#include <objsafe.h>

#include "ControlTestSupport.h"
#include "NeloGuids.h"
#include "NeloRecognitionPropPage.h"
#include "Registration.h"

namespace {

TEST(OleSurface, EveryContainerInterfaceSharesOneIdentity) {
    test::Control c = test::CreateControl();
    nelo::ComPtr<IUnknown> identity;
    ASSERT_EQ(c.dispatch->QueryInterface(IID_IUnknown, identity.ReceiveVoid()), S_OK);
    const IID* iids[] = {&IID_IDispatch, &DIID__DNeloRecognition, &IID_IOleObject, &IID_IOleWindow,
                         &IID_IOleInPlaceObject, &IID_IOleInPlaceActiveObject, &IID_IOleControl, &IID_IViewObject,
                         &IID_IViewObject2, &IID_IPersist, &IID_IPersistStreamInit, &IID_IPersistPropertyBag,
                         &IID_IConnectionPointContainer, &IID_IProvideClassInfo, &IID_IProvideClassInfo2,
                         &IID_ISpecifyPropertyPages, &IID_IObjectSafety};
    for (const IID* iid : iids) {
        nelo::ComPtr<IUnknown> itf;
        ASSERT_EQ(c.dispatch->QueryInterface(*iid, itf.ReceiveVoid()), S_OK) << test::Utf8(nelo::GuidToString(*iid));
        nelo::ComPtr<IUnknown> back;
        ASSERT_EQ(itf->QueryInterface(IID_IUnknown, back.ReceiveVoid()), S_OK);
        EXPECT_EQ(back.Get(), identity.Get()) << test::Utf8(nelo::GuidToString(*iid));
    }
    nelo::ComPtr<IUnknown> none;
    EXPECT_EQ(c.dispatch->QueryInterface(IID_IPersistFile, none.ReceiveVoid()), E_NOINTERFACE);
}

class ObjectSafetyTest : public ::testing::Test {
protected:
    void SetUp() override {
        control = test::CreateControl();
        ASSERT_EQ(control.dispatch->QueryInterface(IID_IObjectSafety, safety.ReceiveVoid()), S_OK);
    }
    test::Control control;
    nelo::ComPtr<IObjectSafety> safety;
};

TEST_F(ObjectSafetyTest, GetReportsSafeForScriptingForAnyInterface) {
    struct Case { const IID* iid; HRESULT hr; } cases[] = {
        {&IID_IDispatch, S_OK}, {&IID_IPersistPropertyBag, S_OK}, {&IID_IPersistFile, E_NOINTERFACE},
    };
    for (const Case& c : cases) {
        DWORD supported = 0, enabled = 0;
        EXPECT_EQ(safety->GetInterfaceSafetyOptions(*c.iid, &supported, &enabled), c.hr);
        EXPECT_EQ(supported, 3u);
        EXPECT_EQ(enabled, 3u);
    }
    EXPECT_EQ(safety->GetInterfaceSafetyOptions(IID_IDispatch, nullptr, nullptr), E_POINTER);
}

TEST_F(ObjectSafetyTest, SetAcceptsOnlyKeepingTheSafetyOptionsOn) {
    struct Case { const IID* iid; DWORD mask; DWORD enabled; HRESULT hr; } cases[] = {
        {&IID_IDispatch, 1, 1, S_OK},   {&IID_IDispatch, 3, 3, S_OK},   {&IID_IDispatch, 0, 0, S_OK},
        {&IID_IDispatch, 2, 3, S_OK},   {&IID_IDispatch, 1, 0, E_FAIL}, {&IID_IDispatch, 3, 1, E_FAIL},
        {&IID_IDispatch, 4, 4, E_FAIL}, {&IID_IPersistFile, 1, 1, E_NOINTERFACE},
    };
    for (const Case& c : cases)
        EXPECT_EQ(safety->SetInterfaceSafetyOptions(*c.iid, c.mask, c.enabled), c.hr) << c.mask << "/" << c.enabled;
}

TEST_F(ObjectSafetyTest, TheSafetyInterfaceSharesTheControlsReferenceCount) {
    IUnknown* raw = control.dispatch.Get();
    raw->AddRef();
    const ULONG before = raw->Release();
    safety->AddRef();
    raw->AddRef();
    EXPECT_EQ(raw->Release(), before + 1);
    safety->Release();
}

TEST(OleSurface, PersistenceCarriesOnlyTheVersion) {
    test::Control c = test::CreateControl();
    nelo::ComPtr<IPersistStreamInit> persist;
    ASSERT_EQ(c.dispatch->QueryInterface(IID_IPersistStreamInit, persist.ReceiveVoid()), S_OK);
    CLSID clsid = {};
    EXPECT_EQ(persist->GetClassID(&clsid), S_OK);
    EXPECT_EQ(clsid, CLSID_NeloRecognitionCtrl);
    EXPECT_EQ(persist->InitNew(), S_OK);

    nelo::ComPtr<IStream> stream;
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, stream.Receive()), S_OK);
    ASSERT_EQ(persist->Save(stream.Get(), TRUE), S_OK);
    STATSTG stat = {};
    stream->Stat(&stat, STATFLAG_NONAME);
    EXPECT_EQ(stat.cbSize.QuadPart, 4u);
    LARGE_INTEGER zero = {};
    stream->Seek(zero, STREAM_SEEK_SET, nullptr);
    DWORD version = 0;
    stream->Read(&version, sizeof(version), nullptr);
    EXPECT_EQ(version, 0x00010000u);  // 1.0
    stream->Seek(zero, STREAM_SEEK_SET, nullptr);
    EXPECT_EQ(persist->Load(stream.Get()), S_OK);

    nelo::ComPtr<IStream> empty;
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, empty.Receive()), S_OK);
    EXPECT_EQ(persist->Load(empty.Get()), S_OK);  // defaults allowed
}

// A property bag that keeps what is written.
struct Bag : IPropertyBag {
    std::wstring name;
    nelo::Variant value;
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        if (riid == IID_IUnknown || riid == IID_IPropertyBag) { *ppv = this; return S_OK; }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP Read(LPCOLESTR prop, VARIANT* v, IErrorLog*) override {
        if (name != prop) return E_INVALIDARG;
        return VariantCopy(v, value.Get());
    }
    STDMETHODIMP Write(LPCOLESTR prop, VARIANT* v) override {
        name = prop;
        return VariantCopy(value.Get(), v);
    }
};

TEST(OleSurface, PropertyBagExchangeCarriesOnlyTheVersion) {
    test::Control c = test::CreateControl();
    nelo::ComPtr<IPersistPropertyBag> persist;
    ASSERT_EQ(c.dispatch->QueryInterface(IID_IPersistPropertyBag, persist.ReceiveVoid()), S_OK);
    Bag bag;
    ASSERT_EQ(persist->Save(&bag, TRUE, TRUE), S_OK);
    EXPECT_EQ(bag.name, L"_Version");
    ASSERT_EQ(bag.value.Type(), VT_I4);
    EXPECT_EQ(V_I4(bag.value.Get()), 0x00010000);
    EXPECT_EQ(persist->Load(&bag, nullptr), S_OK);
    Bag emptyBag;
    EXPECT_EQ(persist->Load(&emptyBag, nullptr), S_OK);
}

TEST(OleSurface, ClassInformationPagesAndStatus) {
    test::Control c = test::CreateControl();
    nelo::ComPtr<IProvideClassInfo2> info;
    ASSERT_EQ(c.dispatch->QueryInterface(IID_IProvideClassInfo2, info.ReceiveVoid()), S_OK);
    GUID events = {};
    EXPECT_EQ(info->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &events), S_OK);
    EXPECT_EQ(events, DIID__DNeloRecognitionEvents);
    EXPECT_EQ(info->GetGUID(12345, &events), E_INVALIDARG);

    nelo::ComPtr<ISpecifyPropertyPages> pages;
    ASSERT_EQ(c.dispatch->QueryInterface(IID_ISpecifyPropertyPages, pages.ReceiveVoid()), S_OK);
    CAUUID list = {};
    ASSERT_EQ(pages->GetPages(&list), S_OK);
    ASSERT_EQ(list.cElems, 1u);
    EXPECT_EQ(list.pElems[0], CLSID_NeloRecognitionPropPage);
    CoTaskMemFree(list.pElems);

    nelo::ComPtr<IOleObject> ole;
    ASSERT_EQ(c.dispatch->QueryInterface(IID_IOleObject, ole.ReceiveVoid()), S_OK);
    DWORD status = 0;
    EXPECT_EQ(ole->GetMiscStatus(DVASPECT_CONTENT, &status), S_OK);
    EXPECT_EQ(status, 0x20191u);
    LPOLESTR type = nullptr;
    ASSERT_EQ(ole->GetUserType(USERCLASSTYPE_FULL, &type), S_OK);
    EXPECT_STREQ(type, L"NeloRecognition Control");
    CoTaskMemFree(type);
    // Never in-place activated (as after a script's CreateObject): no view window, yet a
    // notification window.
    HWND view = reinterpret_cast<HWND>(1);
    nelo::ComPtr<IOleInPlaceObject> inPlace;
    ASSERT_EQ(c.dispatch->QueryInterface(IID_IOleInPlaceObject, inPlace.ReceiveVoid()), S_OK);
    EXPECT_EQ(inPlace->GetWindow(&view), E_FAIL);
    EXPECT_EQ(view, nullptr);
    EXPECT_NE(c.object->NotifyWindow(), nullptr);
    EXPECT_EQ(ole->Close(OLECLOSE_NOSAVE), S_OK);
}

TEST(PropertyPage, ShowsItsDialogWithItsCaptionAndExchangesNothing) {
    nelo::ComPtr<IPropertyPage> page;
    ASSERT_EQ(CNeloRecognitionPropPage::Create(IID_IPropertyPage, page.ReceiveVoid()), S_OK);
    PROPPAGEINFO info = {};
    ASSERT_EQ(page->GetPageInfo(&info), S_OK);
    EXPECT_STREQ(info.pszTitle, L"常规");
    EXPECT_GT(info.size.cx, 0);
    EXPECT_GT(info.size.cy, 0);
    CoTaskMemFree(info.pszTitle);

    HWND parent = CreateWindowExW(0, L"STATIC", L"frame", WS_POPUP, 0, 0, 400, 200, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(parent, nullptr);
    RECT rect = {0, 0, 300, 100};
    ASSERT_EQ(page->Activate(parent, &rect, TRUE), S_OK);
    HWND dialog = GetWindow(parent, GW_CHILD);
    ASSERT_NE(dialog, nullptr);
    wchar_t text[256] = {};
    GetDlgItemTextW(dialog, 1000, text, 256);
    EXPECT_EQ(std::wstring(text).rfind(L"TODO: ", 0), 0u);
    EXPECT_EQ(page->IsPageDirty(), S_FALSE);
    EXPECT_EQ(page->Apply(), S_OK);
    EXPECT_EQ(page->Deactivate(), S_OK);
    EXPECT_FALSE(IsWindow(dialog));
    DestroyWindow(parent);
}

}  // namespace
