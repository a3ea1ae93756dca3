// Bytes from an automation object that enumerates its elements (a script array
// object, a collection): count the elements, then read each VT_I4 element's low
// 8 bits until the first element of another type.
#include <windows.h>
#include <oleauto.h>

#include "ArrayBytes.h"
#include "ArrayBytesParts.h"
#include "ComHolders.h"

namespace scriptdata {
namespace {

// Asked as a method and a property at once, as For Each does: collections such
// as Scripting.Dictionary declare _NewEnum as a method, and an engine that
// matches flags strictly would refuse a plain property get.
HRESULT GetEnumerator(IDispatch* object, ComRef<IEnumVARIANT>& enumerator) {
  DISPPARAMS noArguments = {nullptr, nullptr, 0, 0};
  VariantHolder result;
  const HRESULT hr = object->Invoke(DISPID_NEWENUM, IID_NULL, LOCALE_SYSTEM_DEFAULT,
                                    DISPATCH_METHOD | DISPATCH_PROPERTYGET, &noArguments, result.Get(), nullptr,
                                    nullptr);
  if (FAILED(hr)) return E_FAIL;
  if ((result->vt != VT_UNKNOWN && result->vt != VT_DISPATCH) || !result->punkVal) return E_FAIL;
  if (FAILED(result->punkVal->QueryInterface(IID_IEnumVARIANT,
                                             reinterpret_cast<void**>(enumerator.Out()))) ||
      !enumerator.Get())
    return E_FAIL;
  return S_OK;
}

// The number of elements, by skipping one at a time as the enumerator allows;
// E_FAIL for one that never reports its end.
HRESULT CountElements(IEnumVARIANT* enumerator, ULONG& count) {
  count = 0;
  while (enumerator->Skip(1) == S_OK) {
    if (count == kMaxEnumeratedElements) return E_FAIL;
    ++count;
  }
  return S_OK;
}

// Fills out[0 .. count-1] until the enumerator runs dry or hands over an
// element that is not VT_I4; what is not reached keeps its zero. An enumerator
// that fails (rather than reporting its end) fails the conversion: its zeros
// would otherwise pass for data.
HRESULT ReadIntegers(IEnumVARIANT* enumerator, BYTE* out, ULONG count) {
  for (ULONG i = 0; i < count; ++i) {
    VariantHolder element;
    ULONG fetched = 0;
    const HRESULT hr = enumerator->Next(1, element.Get(), &fetched);
    if (FAILED(hr)) {
      // Whatever a failing enumerator left there is not ours to clear.
      VariantInit(element.Get());
      return hr;
    }
    if (fetched != 1 || element->vt != VT_I4) return S_OK;
    out[i] = static_cast<BYTE>(element->lVal & 0xFF);
  }
  return S_OK;
}

}  // namespace

HRESULT ReadEnumeratedBytes(IDispatch* object, CByteBuffer& bytes) {
  bytes.Reset();
  if (!object) return E_FAIL;

  ComRef<IEnumVARIANT> enumerator;
  HRESULT hr = GetEnumerator(object, enumerator);
  if (FAILED(hr)) return hr;

  ULONG count = 0;
  hr = CountElements(enumerator.Get(), count);
  if (FAILED(hr)) return hr;
  if (count == 0) return S_OK;

  // Reading from wherever counting left the enumerator would report bytes that
  // were never read, so a failed Reset fails the conversion.
  hr = enumerator->Reset();
  if (FAILED(hr)) return hr;

  CByteBuffer result(NewZeroedBytes(count), count);
  if (!result.Get()) return E_OUTOFMEMORY;
  hr = ReadIntegers(enumerator.Get(), result.Get(), count);
  if (FAILED(hr)) return hr;
  bytes.Reset(result.Detach(), count);
  return S_OK;
}

}  // namespace scriptdata
