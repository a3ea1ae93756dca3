// Bytes from an array a script (or a host program) hands over as a VARIANT.
//
// Two shapes are read:
//  - an automation object that enumerates its elements (DISPID_NEWENUM, then
//    IEnumVARIANT): each VT_I4 element gives its low 8 bits; reading stops at
//    the first element of another type or when the enumerator runs dry, the
//    length stays the element count (counted with Skip) and the bytes not
//    reached are 0; an enumerator whose Reset or Next fails fails the conversion;
//  - a one-dimensional SAFEARRAY reached by reference (VT_BYREF|VT_VARIANT, as
//    script engines pass array variables; further by-reference VARIANTs and a
//    by-reference array pointer are followed): each element becomes a byte by the
//    automation rules (0..255, a numeric string such as "200"), anything else
//    fails with the platform's error. Arrays of VARIANTs and arrays of plain
//    element types (VT_UI1 from a host program, VT_I4, VT_R8, VT_BSTR ...) alike.
//    A by-reference VARIANT that holds an object is read as that object.
//
// Results: S_OK; E_INVALIDARG for a VARIANT of the wrong shape (a by-value
// array, a non-array, several dimensions, an element type that cannot be read);
// E_FAIL for an object without a usable enumerator or one that enumerates
// without end; E_POINTER for a missing argument; E_OUTOFMEMORY; otherwise the
// platform's error for the lock, the enumerator's Reset or an element.
//
// On every failure *ppBuf is null and *pnLen is 0: nothing is left to free.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include "ByteBuffer.h"

// The buffer (array new, possibly null when the length is 0) belongs to the caller.
HRESULT GetArrayBytes(VARIANT* vData, BYTE** ppBuf, ULONG* pnLen);

// Same conversion into a holder that frees the bytes itself.
HRESULT GetArrayBytes(VARIANT* vData, CByteBuffer& bytes);

namespace scriptdata {
// An enumerator that keeps answering Skip(1) with S_OK beyond this many
// elements is treated as broken rather than counted for ever.
constexpr ULONG kMaxEnumeratedElements = 64UL * 1024 * 1024;
}  // namespace scriptdata
