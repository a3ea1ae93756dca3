// The arrays methods hand back to scripts: a VARIANT of type VT_ARRAY|VT_VARIANT
// holding a one-dimensional SAFEARRAY of VARIANTs, lower bound 0, one element per
// item, each VT_UI1 (bytes) or VT_UI4 (32-bit values). Script engines read that
// shape natively (VBScript indexes it, JScript reads it through VBArray).
//
// An empty list is an empty array, not VT_EMPTY. result is an out-parameter: it
// is overwritten without being cleared, and the caller owns it afterwards. On
// failure (memory) result is VT_EMPTY and the platform's error is returned.
#pragma once

#include <windows.h>
#include <oleauto.h>

HRESULT MakeScriptByteArray(const BYTE* bytes, ULONG count, VARIANT* result);
HRESULT MakeScriptUI4Array(const ULONG* values, ULONG count, VARIANT* result);
