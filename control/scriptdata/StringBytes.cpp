#include "StringBytes.h"

#include <new>

#include "HexPairs.h"

BOOL GetStringBytes(BSTR sData, CByteBuffer& bytes) {
  bytes.Reset();
  // Room for every pair the BSTR could hold; a NUL inside it ends the bytes
  // earlier, which costs some unused room but spares a pass over the text.
  const UINT maxPairs = SysStringLen(sData) / 2;
  if (maxPairs == 0) return TRUE;
  CByteBuffer result(new (std::nothrow) BYTE[maxPairs], maxPairs);
  if (!result.Get()) return FALSE;
  const size_t pairs = scriptdata::DecodeHexPairs(sData, maxPairs, result.Get());
  if (pairs == 0) return TRUE;
  bytes.Reset(result.Detach(), static_cast<ULONG>(pairs));
  return TRUE;
}

BOOL GetStringBytes(BSTR sData, BYTE** ppBuf, ULONG* pnLen) {
  if (!pnLen) return FALSE;
  *pnLen = 0;
  CByteBuffer bytes;
  if (!GetStringBytes(sData, bytes)) return FALSE;
  if (bytes.Empty()) return TRUE;
  // Without a place for the buffer the bytes would be lost.
  if (!ppBuf) return FALSE;
  *pnLen = bytes.Size();
  *ppBuf = bytes.Detach();
  return TRUE;
}
