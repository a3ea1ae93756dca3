#include "TestObjects.h"

namespace scriptdata_test {

LONG g_liveObjects = 0;

namespace {

// The IDispatch members these objects do not need.
template <typename Base>
class DispatchBase : public Base {
 public:
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override { *count = 0; return S_OK; }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return DISP_E_UNKNOWNNAME;
  }
};

class RefCounted {
 protected:
  RefCounted() { InterlockedIncrement(&g_liveObjects); }
  virtual ~RefCounted() { InterlockedDecrement(&g_liveObjects); }
  ULONG AddRefImpl() { return InterlockedIncrement(&m_refs); }
  ULONG ReleaseImpl() {
    const ULONG n = InterlockedDecrement(&m_refs);
    if (n == 0) delete this;
    return n;
  }
  LONG m_refs = 1;
};

// Also an IDispatch, so it can be handed back as VT_DISPATCH.
class TestEnumerator : public IEnumVARIANT, public DispatchBase<IDispatch>, private RefCounted {
 public:
  explicit TestEnumerator(const EnumBehaviour* behaviour) : m_b(behaviour) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (iid == IID_IUnknown || iid == IID_IEnumVARIANT) *out = static_cast<IEnumVARIANT*>(this);
    else if (iid == IID_IDispatch) *out = static_cast<IDispatch*>(this);
    else { *out = nullptr; return E_NOINTERFACE; }
    AddRefImpl();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return AddRefImpl(); }
  ULONG STDMETHODCALLTYPE Release() override { return ReleaseImpl(); }

  HRESULT STDMETHODCALLTYPE Next(ULONG celt, VARIANT* out, ULONG* fetched) override {
    if (celt != 1) return E_INVALIDARG;  // the conversion asks one at a time
    if (m_b->nextFailsAt >= 0 && m_pos == static_cast<size_t>(m_b->nextFailsAt)) return E_UNEXPECTED;
    if (m_b->nextFetchesNothing || m_pos >= m_b->elements.size()) {
      if (fetched) *fetched = 0;
      return m_b->nextFetchesNothing ? S_OK : S_FALSE;
    }
    VariantInit(out);
    VariantCopy(out, const_cast<VARIANT*>(m_b->elements[m_pos++].Get()));
    if (fetched) *fetched = 1;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Skip(ULONG celt) override {
    const long limit = m_b->skipCount == -1 ? static_cast<long>(m_b->elements.size()) : m_b->skipCount;
    if (limit != -2 && m_skipped + celt > static_cast<size_t>(limit)) return S_FALSE;
    m_skipped += celt;
    m_pos += celt;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Reset() override {
    if (m_b->resetFails) return E_FAIL;
    m_pos = 0;
    m_skipped = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Clone(IEnumVARIANT** out) override { *out = nullptr; return E_NOTIMPL; }

  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return DISP_E_MEMBERNOTFOUND;
  }

 private:
  const EnumBehaviour* m_b;
  size_t m_pos = 0;
  size_t m_skipped = 0;
};

// An object with nothing but IUnknown and IDispatch.
class PlainObject : public DispatchBase<IDispatch>, private RefCounted {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (iid == IID_IUnknown || iid == IID_IDispatch) { *out = this; AddRefImpl(); return S_OK; }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return AddRefImpl(); }
  ULONG STDMETHODCALLTYPE Release() override { return ReleaseImpl(); }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return DISP_E_MEMBERNOTFOUND;
  }
};

}  // namespace

class TestCollection : public DispatchBase<IDispatch>, private RefCounted {
 public:
  TestCollection(EnumBehaviour b, NewEnumAnswer a) : m_behaviour(std::move(b)), m_answer(a) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (iid == IID_IUnknown || iid == IID_IDispatch) { *out = this; AddRefImpl(); return S_OK; }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return AddRefImpl(); }
  ULONG STDMETHODCALLTYPE Release() override { return ReleaseImpl(); }

  HRESULT STDMETHODCALLTYPE Invoke(DISPID dispid, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO*, UINT*) override {
    m_last.dispid = dispid;
    m_last.iidNull = IsEqualGUID(iid, IID_NULL) != 0;
    m_last.lcid = lcid;
    m_last.flags = flags;
    m_last.argumentCount = params ? params->cArgs : 0;
    m_last.hadResult = result != nullptr;
    ++m_last.calls;
    if (dispid != DISPID_NEWENUM || !result) return DISP_E_MEMBERNOTFOUND;
    switch (m_answer) {
      case NewEnumAnswer::kEnumeratorAsUnknown:
        result->vt = VT_UNKNOWN;
        result->punkVal = static_cast<IEnumVARIANT*>(new TestEnumerator(&m_behaviour));
        return S_OK;
      case NewEnumAnswer::kEnumeratorAsDispatch:
        result->vt = VT_DISPATCH;
        result->pdispVal = static_cast<IDispatch*>(new TestEnumerator(&m_behaviour));
        return S_OK;
      case NewEnumAnswer::kNullUnknown:
        result->vt = VT_UNKNOWN;
        result->punkVal = nullptr;
        return S_OK;
      case NewEnumAnswer::kInteger:
        result->vt = VT_I4;
        result->lVal = 42;
        return S_OK;
      case NewEnumAnswer::kObjectWithoutEnum:
        result->vt = VT_DISPATCH;
        result->pdispVal = new PlainObject;
        return S_OK;
      case NewEnumAnswer::kInvokeFails:
        return DISP_E_MEMBERNOTFOUND;
    }
    return E_UNEXPECTED;
  }

  const InvokeRecord& Last() const { return m_last; }
  ULONG Refs() const { return static_cast<ULONG>(m_refs); }

 private:
  EnumBehaviour m_behaviour;
  NewEnumAnswer m_answer;
  InvokeRecord m_last;
};

class TestValueObject : public DispatchBase<IDispatch>, private RefCounted {
 public:
  explicit TestValueObject(const OwnedVariant& v) : m_value(v) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (iid == IID_IUnknown || iid == IID_IDispatch) { *out = this; AddRefImpl(); return S_OK; }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return AddRefImpl(); }
  ULONG STDMETHODCALLTYPE Release() override { return ReleaseImpl(); }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID dispid, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result,
                                   EXCEPINFO*, UINT*) override {
    if (dispid != DISPID_VALUE || !(flags & DISPATCH_PROPERTYGET) || !result) return DISP_E_MEMBERNOTFOUND;
    VariantInit(result);
    return VariantCopy(result, m_value.Get());
  }

 private:
  OwnedVariant m_value;
};

TestCollection* NewCollection(EnumBehaviour behaviour, NewEnumAnswer answer) {
  return new TestCollection(std::move(behaviour), answer);
}
IDispatch* AsDispatch(TestCollection* c) { return c; }
const InvokeRecord& LastInvoke(TestCollection* c) { return c->Last(); }
ULONG References(IUnknown* object) {
  object->AddRef();
  return object->Release();
}
IDispatch* NewValueObject(const OwnedVariant& value) { return new TestValueObject(value); }

}  // namespace scriptdata_test
