// The built module as hosts use it: its exports, self-registration and unloading rules.
// (The control's behaviour is tested with its code linked in; see nelo_control_tests.)
#include <gtest/gtest.h>

#include <objsafe.h>
#include <olectl.h>
#include <string>

#include "ComPtr.h"
#include "NeloGuids.h"
#include "Registration.h"

namespace {

using Fn = HRESULT(STDAPICALLTYPE*)();
using GetClassObjectFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);

const wchar_t kProgId[] = L"NELORECOGNITION.NeloRecognitionCtrl.1";

std::wstring ReadValue(const std::wstring& key, const wchar_t* name = nullptr) {
    wchar_t buf[1024] = {};
    DWORD size = sizeof(buf);
    if (RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), name, RRF_RT_REG_SZ, nullptr, buf, &size) != ERROR_SUCCESS)
        return L"<missing>";
    return buf;
}

bool KeyExists(const std::wstring& key) {
    HKEY h = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
    RegCloseKey(h);
    return true;
}

std::string Narrow(const std::wstring& w) { return std::string(w.begin(), w.end()); }

class ModuleTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        OleInitialize(nullptr);
        // Controls made here prepare their folders in a private temporary folder.
        wchar_t base[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, base);
        s_temp = std::wstring(base) + L"nelo-module-test-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
        CreateDirectoryW(s_temp.c_str(), nullptr);
        SetEnvironmentVariableW(L"TMP", s_temp.c_str());
        SetEnvironmentVariableW(L"TEMP", s_temp.c_str());
        // The module lies next to this executable.
        std::wstring self = nelo::GetModulePath(nullptr);
        s_path = self.substr(0, self.find_last_of(L"\\/") + 1) + L"NeloRecognition.dll";
        s_module = LoadLibraryW(s_path.c_str());
    }
    static void TearDownTestSuite() {
        if (s_module) FreeLibrary(s_module);
        OleUninitialize();
    }
    void SetUp() override { ASSERT_NE(s_module, nullptr) << Narrow(s_path); }
    template <class T> T Proc(const char* name) {
        return reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(s_module, name)));
    }

    static HMODULE s_module;
    static std::wstring s_path;
    static std::wstring s_temp;
};
HMODULE ModuleTest::s_module = nullptr;
std::wstring ModuleTest::s_path;
std::wstring ModuleTest::s_temp;

TEST_F(ModuleTest, ExportsTheFourServerFunctions) {
    for (const char* name : {"DllCanUnloadNow", "DllGetClassObject", "DllRegisterServer", "DllUnregisterServer"})
        EXPECT_NE(GetProcAddress(s_module, name), nullptr) << name;
}

TEST_F(ModuleTest, RegistrationRoundTrip) {
    auto reg = Proc<Fn>("DllRegisterServer");
    auto unreg = Proc<Fn>("DllUnregisterServer");
    ASSERT_TRUE(reg && unreg);
    const std::wstring ctrlKey = L"CLSID\\" + nelo::GuidToString(CLSID_NeloRecognitionCtrl);
    const std::wstring pageKey = L"CLSID\\" + nelo::GuidToString(CLSID_NeloRecognitionPropPage);
    const std::wstring libKey = L"TypeLib\\" + nelo::GuidToString(LIBID_NeloRecognitionLib);

    ASSERT_EQ(reg(), S_OK);
    CLSID clsid = {};
    ASSERT_EQ(CLSIDFromProgID(kProgId, &clsid), S_OK);
    EXPECT_EQ(clsid, CLSID_NeloRecognitionCtrl);
    struct Expect { std::wstring key; const wchar_t* name; std::wstring value; } expected[] = {
        {ctrlKey, nullptr, L"NeloRecognition Control"},
        {ctrlKey + L"\\InprocServer32", nullptr, s_path},
        {ctrlKey + L"\\InprocServer32", L"ThreadingModel", L"Apartment"},
        {ctrlKey + L"\\ProgID", nullptr, kProgId},
        {ctrlKey + L"\\MiscStatus\\1", nullptr, L"131473"},  // 0x20191
        {ctrlKey + L"\\ToolboxBitmap32", nullptr, s_path + L", 1"},
        {ctrlKey + L"\\TypeLib", nullptr, nelo::GuidToString(LIBID_NeloRecognitionLib)},
        {ctrlKey + L"\\Version", nullptr, L"1.0"},
        {pageKey, nullptr, L"NeloRecognition Property Page"},
        {pageKey + L"\\InprocServer32", nullptr, s_path},
        {pageKey + L"\\InprocServer32", L"ThreadingModel", L"Apartment"},
        {libKey + L"\\1.0\\0\\" + (sizeof(void*) == 8 ? L"win64" : L"win32"), nullptr, s_path},
    };
    for (const Expect& e : expected) EXPECT_EQ(ReadValue(e.key, e.name), e.value) << Narrow(e.key);
    EXPECT_TRUE(KeyExists(ctrlKey + L"\\Control"));
    nelo::ComPtr<ITypeLib> lib;
    EXPECT_EQ(LoadRegTypeLib(LIBID_NeloRecognitionLib, 1, 0, 0, lib.Receive()), S_OK);
    lib = nullptr;

    ASSERT_EQ(unreg(), S_OK);
    EXPECT_FALSE(KeyExists(ctrlKey));
    EXPECT_FALSE(KeyExists(pageKey));
    EXPECT_FALSE(KeyExists(kProgId));
    EXPECT_FALSE(KeyExists(libKey));
    EXPECT_NE(CLSIDFromProgID(kProgId, &clsid), S_OK);
    EXPECT_EQ(unreg(), S_OK);  // nothing left to remove is not a failure

    // Leave the module registered, as the test environment had it.
    EXPECT_EQ(reg(), S_OK);
    EXPECT_EQ(CLSIDFromProgID(kProgId, &clsid), S_OK);
}

TEST_F(ModuleTest, TheModuleCanUnloadOnlyWhenNothingOfItIsInUse) {
    auto canUnload = Proc<Fn>("DllCanUnloadNow");
    auto getClassObject = Proc<GetClassObjectFn>("DllGetClassObject");
    ASSERT_TRUE(canUnload && getClassObject);
    EXPECT_EQ(canUnload(), S_OK);

    nelo::ComPtr<IClassFactory> factory;
    ASSERT_EQ(getClassObject(CLSID_NeloRecognitionCtrl, IID_IClassFactory, factory.ReceiveVoid()), S_OK);
    EXPECT_EQ(canUnload(), S_FALSE);
    nelo::ComPtr<IDispatch> control;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IDispatch, control.ReceiveVoid()), S_OK);
    factory = nullptr;
    EXPECT_EQ(canUnload(), S_FALSE);  // the control holds the module
    nelo::ComPtr<IObjectSafety> safety;
    EXPECT_EQ(control->QueryInterface(IID_IObjectSafety, safety.ReceiveVoid()), S_OK);
    safety = nullptr;
    control = nullptr;
    EXPECT_EQ(canUnload(), S_OK);

    nelo::ComPtr<IClassFactory> pageFactory;
    EXPECT_EQ(getClassObject(CLSID_NeloRecognitionPropPage, IID_IClassFactory, pageFactory.ReceiveVoid()), S_OK);
    nelo::ComPtr<IUnknown> none;
    EXPECT_EQ(getClassObject(IID_IDispatch, IID_IClassFactory, none.ReceiveVoid()), CLASS_E_CLASSNOTAVAILABLE);
}

}  // namespace
