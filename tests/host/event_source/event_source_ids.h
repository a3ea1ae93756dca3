// The GUIDs of event_source.idl, for the C++ side of the test server.
// The host reads them from the embedded type library; these must match it.
#pragma once

#include <windows.h>

// {229b7cd6-9926-4129-ac7b-e5066f83a7c9}
constexpr CLSID kClsidHostTestSource = {0x229b7cd6, 0x9926, 0x4129, {0xac, 0x7b, 0xe5, 0x06, 0x6f, 0x83, 0xa7, 0xc9}};
// {33792542-5f7a-4894-9f6e-2ba056b878a3}
constexpr IID kDiidHostTestSource = {0x33792542, 0x5f7a, 0x4894, {0x9f, 0x6e, 0x2b, 0xa0, 0x56, 0xb8, 0x78, 0xa3}};
// {65d1b96e-0dcb-4878-801b-39aff560613e}
constexpr IID kDiidHostTestSourceEvents = {0x65d1b96e, 0x0dcb, 0x4878, {0x80, 0x1b, 0x39, 0xaf, 0xf5, 0x60, 0x61, 0x3e}};

// Dispatch IDs of _DHostTestSource and _DHostTestSourceEvents.
enum : DISPID {
    kDispFire = 1,
    kDispPostFromThread,
    kDispSinkCount,
    kDispInPlaceActive,
    kDispAmbientUserMode,
    kDispWindowParented,
    kDispAdd,
    kDispTouch,  // creates an empty file: a side effect a test can see from outside
};
enum : DISPID { kEventA = 1, kEventB = 2 };

// Objects alive and server locks, for DllCanUnloadNow.
extern LONG g_cServerRefs;
extern HMODULE g_hServerModule;
