// Automation objects for the conversion tests: a collection whose _NewEnum
// gives an enumerator that can be told to fail or lie, and an object whose
// default value is a given VARIANT. Each counts its references so a test can
// see that the conversion released everything it took.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <vector>

namespace scriptdata_test {

// Objects of these classes still alive in the process.
extern LONG g_liveObjects;

// A VARIANT owned by a test: cleared on destruction, copyable.
class OwnedVariant {
 public:
  OwnedVariant() { VariantInit(&m_v); }
  OwnedVariant(const OwnedVariant& other) { VariantInit(&m_v); VariantCopy(&m_v, const_cast<VARIANT*>(&other.m_v)); }
  OwnedVariant& operator=(const OwnedVariant& other) {
    if (this != &other) VariantCopy(&m_v, const_cast<VARIANT*>(&other.m_v));
    return *this;
  }
  ~OwnedVariant() { VariantClear(&m_v); }
  VARIANT* Get() { return &m_v; }
  const VARIANT* Get() const { return &m_v; }

  static OwnedVariant I4(LONG v) { OwnedVariant o; o.m_v.vt = VT_I4; o.m_v.lVal = v; return o; }
  static OwnedVariant I2(SHORT v) { OwnedVariant o; o.m_v.vt = VT_I2; o.m_v.iVal = v; return o; }
  static OwnedVariant R8(double v) { OwnedVariant o; o.m_v.vt = VT_R8; o.m_v.dblVal = v; return o; }
  static OwnedVariant Str(const wchar_t* s) {
    OwnedVariant o; o.m_v.vt = VT_BSTR; o.m_v.bstrVal = SysAllocString(s); return o;
  }
  static OwnedVariant Dispatch(IDispatch* d) {  // takes a reference of its own
    OwnedVariant o; o.m_v.vt = VT_DISPATCH; o.m_v.pdispVal = d; d->AddRef(); return o;
  }

 private:
  VARIANT m_v;
};

// How the enumerator behaves. By default an honest one over `elements`.
struct EnumBehaviour {
  std::vector<OwnedVariant> elements;
  // Skip(1) succeeds this many times (-1: as many as there are elements;
  // -2: without end).
  long skipCount = -1;
  bool resetFails = false;
  long nextFailsAt = -1;           // Next fails with E_UNEXPECTED at this position
  bool nextFetchesNothing = false; // Next answers S_OK but fetches nothing
};

// What Invoke(DISPID_NEWENUM) hands back.
enum class NewEnumAnswer {
  kEnumeratorAsUnknown,
  kEnumeratorAsDispatch,
  kNullUnknown,
  kInteger,          // VT_I4 42: not an object at all
  kObjectWithoutEnum,// an object that does not answer IEnumVARIANT
  kInvokeFails,      // DISP_E_MEMBERNOTFOUND, as a plain object without _NewEnum
};

// The last Invoke a collection received.
struct InvokeRecord {
  DISPID dispid = 0;
  bool iidNull = false;
  LCID lcid = 0;
  WORD flags = 0;
  UINT argumentCount = 0;
  bool hadResult = false;
  int calls = 0;
};

class TestCollection;
class TestValueObject;

// A new collection with one reference, which the caller releases.
TestCollection* NewCollection(EnumBehaviour behaviour, NewEnumAnswer answer = NewEnumAnswer::kEnumeratorAsUnknown);
IDispatch* AsDispatch(TestCollection* c);
const InvokeRecord& LastInvoke(TestCollection* c);
// Reference count of the collection (including the caller's one).
ULONG References(IUnknown* object);

// An object whose default value (DISPID_VALUE) is value; one reference.
IDispatch* NewValueObject(const OwnedVariant& value);

}  // namespace scriptdata_test
