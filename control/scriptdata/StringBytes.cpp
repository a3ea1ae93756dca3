#include "StringBytes.h"

#include <new>

#include "HexPairs.h"

BOOL GetStringBytes(const wchar_t* sData, CByteBuffer& bytes) {
  bytes.Reset();
  const size_t pairs = scriptdata::HexPairCount(sData);
  if (pairs == 0) return TRUE;
  // The length travels as a 32-bit count; a BSTR cannot be that long anyway.
  if (pairs > MAXDWORD) return FALSE;
  BYTE* storage = new (std::nothrow) BYTE[pairs];
  if (!storage) return FALSE;
  scriptdata::DecodeHexPairs(sData, pairs, storage);
  bytes.Reset(storage, static_cast<ULONG>(pairs));
  return TRUE;
}

BOOL GetStringBytes(BSTR sData, BYTE** ppBuf, ULONG* pnLen) {
  if (!pnLen) return FALSE;
  *pnLen = 0;
  // Without a place for the buffer the bytes would be lost; only a conversion
  // that produces nothing can do without one.
  if (!ppBuf) return scriptdata::HexPairCount(sData) == 0;
  CByteBuffer bytes;
  if (!GetStringBytes(static_cast<const wchar_t*>(sData), bytes)) return FALSE;
  if (bytes.Empty()) return TRUE;
  *pnLen = bytes.Size();
  *ppBuf = bytes.Detach();
  return TRUE;
}
