// The two readers behind GetArrayBytes. Both fill a holder and leave it empty
// when they fail.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include "ByteBuffer.h"

namespace scriptdata {

// Enumerated elements of an automation object.
HRESULT ReadEnumeratedBytes(IDispatch* object, CByteBuffer& bytes);

// Every element of a one-dimensional array whose VARIANT declared elementType.
HRESULT ReadSafeArrayBytes(SAFEARRAY* array, VARTYPE elementType, CByteBuffer& bytes);

// Zeroed array-new storage of count bytes; null when count is 0 or memory is short.
BYTE* NewZeroedBytes(ULONG count);

}  // namespace scriptdata
