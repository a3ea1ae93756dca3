// The registry helpers on a class of their own (the control's registration is tested
// through its module in tests/control).
#include <gtest/gtest.h>

#include <string>

#include "Registration.h"

namespace {

const CLSID kClsid = {0x7c0ffee1, 0x2b2b, 0x4c4c, {0x8d, 0x8d, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66}};
const GUID kLibid = {0x7c0ffee2, 0x2b2b, 0x4c4c, {0x8d, 0x8d, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66}};
const wchar_t kProgId[] = L"NeloFrameworkTest.Thing.1";
const wchar_t kIndependent[] = L"NeloFrameworkTest.Thing";

std::wstring ReadValue(const std::wstring& key, const wchar_t* name = nullptr) {
    wchar_t buf[512] = {};
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

TEST(Registration, WritesEveryKeyOfAControlClassAndRemovesThemAll) {
    nelo::ControlClassRegistration reg = {};
    reg.clsid = kClsid;
    reg.progId = kProgId;
    reg.versionIndependentProgId = kIndependent;
    reg.userTypeName = L"Thing Control";
    reg.threadingModel = L"Apartment";
    reg.isControl = true;
    reg.toolboxBitmapId = 1;
    reg.miscStatus = 0x20191;
    reg.hasMiscStatus = true;
    reg.libid = kLibid;
    reg.version = L"1.0";
    const std::wstring module = L"C:\\some where\\thing.dll";
    ASSERT_TRUE(nelo::RegisterClassKeys(reg, module));

    const std::wstring base = L"CLSID\\" + nelo::GuidToString(kClsid);
    struct Expect { std::wstring key; const wchar_t* name; std::wstring value; } expected[] = {
        {base, nullptr, L"Thing Control"},
        {base + L"\\InprocServer32", nullptr, module},
        {base + L"\\InprocServer32", L"ThreadingModel", L"Apartment"},
        {base + L"\\ProgID", nullptr, kProgId},
        {base + L"\\VersionIndependentProgID", nullptr, kIndependent},
        {base + L"\\ToolboxBitmap32", nullptr, module + L", 1"},
        {base + L"\\MiscStatus", nullptr, L"0"},
        {base + L"\\MiscStatus\\1", nullptr, L"131473"},
        {base + L"\\TypeLib", nullptr, L"{7C0FFEE2-2B2B-4C4C-8D8D-112233445566}"},
        {base + L"\\Version", nullptr, L"1.0"},
        {kProgId, nullptr, L"Thing Control"},
        {std::wstring(kProgId) + L"\\CLSID", nullptr, L"{7C0FFEE1-2B2B-4C4C-8D8D-112233445566}"},
        {std::wstring(kIndependent) + L"\\CurVer", nullptr, kProgId},
    };
    for (const Expect& e : expected) EXPECT_EQ(ReadValue(e.key, e.name), e.value) << std::string(e.key.begin(), e.key.end());
    EXPECT_TRUE(KeyExists(base + L"\\Control"));

    EXPECT_TRUE(nelo::UnregisterClassKeys(kClsid, kProgId, kIndependent));
    EXPECT_FALSE(KeyExists(base));
    EXPECT_FALSE(KeyExists(kProgId));
    EXPECT_FALSE(KeyExists(kIndependent));
    // Removing what is already gone is not a failure.
    EXPECT_TRUE(nelo::UnregisterClassKeys(kClsid, kProgId, kIndependent));
}

TEST(Registration, GuidTextIsTheRegistryForm) {
    EXPECT_EQ(nelo::GuidToString(kClsid), L"{7C0FFEE1-2B2B-4C4C-8D8D-112233445566}");
}

TEST(Registration, AnUnregisteredTypeLibraryCountsAsRemoved) {
    EXPECT_EQ(nelo::UnregisterTypeLibrary(kLibid, 1, 0), S_OK);
    EXPECT_FALSE(KeyExists(L"TypeLib\\" + nelo::GuidToString(kLibid)));
}

}  // namespace
