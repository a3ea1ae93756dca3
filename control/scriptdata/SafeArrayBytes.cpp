// Bytes from a one-dimensional SAFEARRAY: one byte per element, in storage
// order, each by the automation rules for a byte. The array stays the caller's;
// it is only locked while it is read.
#include <windows.h>
#include <oleauto.h>

#include <cstring>

#include "ArrayBytesParts.h"
#include "ComHolders.h"
#include "ElementRules.h"

namespace scriptdata {
namespace {

// Two spellings of the same 32-bit integers.
VARTYPE Canonical(VARTYPE type) {
  if (type == VT_INT) return VT_I4;
  if (type == VT_UINT) return VT_UI4;
  return type;
}

size_t ElementSizeOf(VARTYPE type) {
  return type == VT_VARIANT ? sizeof(VARIANT) : ScalarElementSize(type);
}

// The array must really hold what its VARIANT says it holds, with the layout
// that type has; otherwise reading it would walk over the wrong memory.
HRESULT CheckLayout(SAFEARRAY* array, VARTYPE elementType) {
  if (SafeArrayGetDim(array) != 1) return E_INVALIDARG;
  const size_t size = ElementSizeOf(elementType);
  if (size == 0) return E_INVALIDARG;
  if (SafeArrayGetElemsize(array) != size) return E_INVALIDARG;
  VARTYPE stored = VT_EMPTY;
  if (SUCCEEDED(SafeArrayGetVartype(array, &stored)) && Canonical(stored) != Canonical(elementType))
    return E_INVALIDARG;
  return S_OK;
}

HRESULT ChangeToByte(VARIANT* source, BYTE& byte) {
  VARIANT converted;
  VariantInit(&converted);
  const HRESULT hr = VariantChangeType(&converted, source, 0, VT_UI1);
  if (FAILED(hr)) return hr;
  byte = converted.bVal;
  VariantClear(&converted);
  return S_OK;
}

// A scalar element the integer rule does not cover goes through the platform's
// conversion in a VARIANT that only borrows it (never cleared: a string or an
// object stays the array's).
HRESULT ConvertBorrowedElement(VARTYPE type, const BYTE* element, size_t size, BYTE& byte) {
  VARIANT borrowed;
  VariantInit(&borrowed);
  if (type == VT_DECIMAL)
    std::memcpy(&borrowed.decVal, element, sizeof(DECIMAL));  // a DECIMAL fills the VARIANT
  else
    std::memcpy(&borrowed.bVal, element, size);
  borrowed.vt = type;
  return ChangeToByte(&borrowed, byte);
}

HRESULT ReadScalarElements(VARTYPE type, const BYTE* data, BYTE* out, ULONG count) {
  if (type == VT_UI1) {
    std::memcpy(out, data, count);
    return S_OK;
  }
  const size_t size = ScalarElementSize(type);
  for (ULONG i = 0; i < count; ++i) {
    const BYTE* element = data + static_cast<size_t>(i) * size;
    switch (ReadIntegerElement(type, element, out[i])) {
      case ElementReading::kByte: continue;
      case ElementReading::kOverflow: return DISP_E_OVERFLOW;
      case ElementReading::kNeedsConversion: break;
    }
    const HRESULT hr = ConvertBorrowedElement(type, element, size, out[i]);
    if (FAILED(hr)) return hr;
  }
  return S_OK;
}

HRESULT ReadVariantElements(VARIANT* elements, BYTE* out, ULONG count) {
  for (ULONG i = 0; i < count; ++i) {
    VARIANT& element = elements[i];
    if (!(element.vt & (VT_BYREF | VT_ARRAY))) {
      switch (ReadIntegerElement(element.vt, &element.bVal, out[i])) {
        case ElementReading::kByte: continue;
        case ElementReading::kOverflow: return DISP_E_OVERFLOW;
        case ElementReading::kNeedsConversion: break;
      }
    }
    const HRESULT hr = ChangeToByte(&element, out[i]);
    if (FAILED(hr)) return hr;
  }
  return S_OK;
}

}  // namespace

HRESULT ReadSafeArrayBytes(SAFEARRAY* array, VARTYPE elementType, CByteBuffer& bytes) {
  bytes.Reset();
  HRESULT hr = CheckLayout(array, elementType);
  if (FAILED(hr)) return hr;

  SafeArrayDataLock lock(array);
  if (FAILED(lock.Result())) return lock.Result();

  // The lower bound plays no part: element i of the storage is byte i.
  const ULONG count = array->rgsabound[0].cElements;
  if (count == 0) return S_OK;
  CByteBuffer result(NewZeroedBytes(count), count);
  if (!result.Get()) return E_OUTOFMEMORY;

  hr = elementType == VT_VARIANT
           ? ReadVariantElements(static_cast<VARIANT*>(lock.Data()), result.Get(), count)
           : ReadScalarElements(elementType, static_cast<const BYTE*>(lock.Data()), result.Get(),
                                count);
  if (FAILED(hr)) return hr;
  bytes.Reset(result.Detach(), count);
  return S_OK;
}

}  // namespace scriptdata
