// Bytes from a string of hexadecimal digit pairs ("0A1bFF" is 0A 1B FF): the
// characters before the first NUL, two a byte, a trailing odd one ignored, each
// pair read the way wcstol reads it in base 16 (see HexPairs.h). No content
// fails; an empty or null string gives length 0 and success.
//
// sData must be a real BSTR (SysAllocString...): its stored length bounds the
// reading, so the text is read in one pass.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include "ByteBuffer.h"

// 1 on success, 0 when there is no place for the length or the buffer, or
// memory is short (then *pnLen is 0 and *ppBuf null). *ppBuf is written only when
// bytes are produced; callers start it as null. The buffer (array new) belongs to
// the caller; it may be larger than *pnLen when the BSTR holds a NUL.
BOOL GetStringBytes(BSTR sData, BYTE** ppBuf, ULONG* pnLen);

// Same conversion into a holder that frees the bytes itself.
BOOL GetStringBytes(BSTR sData, CByteBuffer& bytes);
