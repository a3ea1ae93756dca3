#include "ScriptArray.h"

#include "ComHolders.h"

namespace {

// Creates the array and fills all elements under one data lock (a per-element
// SafeArrayPutElement would lock, copy and unlock a million times for a sound).
template <typename Fill>
HRESULT MakeVariantArray(ULONG count, VARIANT* result, Fill fill) {
  if (!result) return E_POINTER;
  VariantInit(result);
  SAFEARRAYBOUND bound = {count, 0};
  SAFEARRAY* array = SafeArrayCreate(VT_VARIANT, 1, &bound);
  if (!array) return E_OUTOFMEMORY;
  {
    scriptdata::SafeArrayDataLock lock(array);
    if (FAILED(lock.Result())) {
      const HRESULT hr = lock.Result();
      SafeArrayDestroy(array);
      return hr;
    }
    // SafeArrayCreate left every element VT_EMPTY, so nothing needs clearing.
    VARIANT* elements = static_cast<VARIANT*>(lock.Data());
    for (ULONG i = 0; i < count; ++i) fill(elements[i], i);
  }
  result->vt = VT_ARRAY | VT_VARIANT;
  result->parray = array;
  return S_OK;
}

}  // namespace

HRESULT MakeScriptByteArray(const BYTE* bytes, ULONG count, VARIANT* result) {
  if (count && !bytes) return E_POINTER;
  return MakeVariantArray(count, result, [bytes](VARIANT& element, ULONG i) {
    element.vt = VT_UI1;
    element.bVal = bytes[i];
  });
}

HRESULT MakeScriptUI4Array(const ULONG* values, ULONG count, VARIANT* result) {
  if (count && !values) return E_POINTER;
  return MakeVariantArray(count, result, [values](VARIANT& element, ULONG i) {
    element.vt = VT_UI4;
    element.ulVal = values[i];
  });
}
