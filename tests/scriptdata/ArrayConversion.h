// Runs GetArrayBytes through its raw interface and keeps what came back, so a
// test can state the whole outcome (result, length, buffer) in one comparison.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <vector>

#include "scriptdata/ArrayBytes.h"

namespace scriptdata_test {

struct ArrayOutcome {
  HRESULT hr = E_UNEXPECTED;
  ULONG length = 0xDEADBEEF;
  bool bufferNull = false;
  std::vector<BYTE> bytes;
};

inline ArrayOutcome ConvertArray(VARIANT* v) {
  ArrayOutcome o;
  BYTE* buffer = reinterpret_cast<BYTE*>(static_cast<UINT_PTR>(0x1));  // must be overwritten
  o.hr = GetArrayBytes(v, &buffer, &o.length);
  o.bufferNull = buffer == nullptr;
  if (buffer) o.bytes.assign(buffer, buffer + o.length);
  delete[] buffer;
  return o;
}

// A VARIANT that refers to another, as a script engine passes a variable.
inline VARIANT ByReference(VARIANT* target) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BYREF | VT_VARIANT;
  v.pvarVal = target;
  return v;
}

}  // namespace scriptdata_test
