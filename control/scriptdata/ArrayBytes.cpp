#include "ArrayBytes.h"

#include <new>

#include "ArrayBytesParts.h"

namespace scriptdata {

BYTE* NewZeroedBytes(ULONG count) {
  return count ? new (std::nothrow) BYTE[count]() : nullptr;
}

namespace {

// A chain of by-reference VARIANTs longer than this is not something any
// engine builds; it is refused rather than followed into a possible cycle.
constexpr int kMaxReferenceDepth = 16;

HRESULT ReadReferencedVariant(const VARIANT& reference, CByteBuffer& bytes) {
  const VARIANT* target = reference.pvarVal;
  for (int depth = 0; target && target->vt == (VT_BYREF | VT_VARIANT); ++depth) {
    if (depth == kMaxReferenceDepth) return E_INVALIDARG;
    target = target->pvarVal;
  }
  if (!target) return E_INVALIDARG;

  // A script's object variable passed by reference: the same object a script
  // passes by value, so it is read the same way.
  if (target->vt == VT_DISPATCH) return ReadEnumeratedBytes(target->pdispVal, bytes);
  if (target->vt == (VT_BYREF | VT_DISPATCH))
    return ReadEnumeratedBytes(target->ppdispVal ? *target->ppdispVal : nullptr, bytes);

  if (!(target->vt & VT_ARRAY)) return E_INVALIDARG;
  SAFEARRAY* array = nullptr;
  if (target->vt & VT_BYREF) {
    if (target->pparray) array = *target->pparray;
  } else {
    array = target->parray;
  }
  if (!array) return E_INVALIDARG;
  return ReadSafeArrayBytes(array, target->vt & VT_TYPEMASK, bytes);
}

}  // namespace
}  // namespace scriptdata

HRESULT GetArrayBytes(VARIANT* vData, CByteBuffer& bytes) {
  bytes.Reset();
  if (!vData) return E_POINTER;
  if (vData->vt == VT_DISPATCH) return scriptdata::ReadEnumeratedBytes(vData->pdispVal, bytes);
  if (vData->vt == (VT_BYREF | VT_VARIANT)) return scriptdata::ReadReferencedVariant(*vData, bytes);
  return E_INVALIDARG;
}

HRESULT GetArrayBytes(VARIANT* vData, BYTE** ppBuf, ULONG* pnLen) {
  // Both out-parameters are needed; a caller that gave neither place would
  // otherwise lose the buffer, so it gets a failure, not a success code.
  if (!ppBuf || !pnLen) {
    if (pnLen) *pnLen = 0;
    if (ppBuf) *ppBuf = nullptr;
    return E_POINTER;
  }
  *pnLen = 0;
  *ppBuf = nullptr;
  CByteBuffer bytes;
  const HRESULT hr = GetArrayBytes(vData, bytes);
  if (hr != S_OK) return FAILED(hr) ? hr : E_FAIL;
  *pnLen = bytes.Size();
  *ppBuf = bytes.Detach();
  return S_OK;
}
