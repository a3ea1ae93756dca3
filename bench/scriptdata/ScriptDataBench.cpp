// Prints how fast script data becomes bytes:
//  - GetStringBytes on a 1 MB sound written as 2 million hex characters
//    (target: at least 500 MB/s of output bytes), and on text whose every pair
//    needs the exact reading;
//  - GetArrayBytes on script arrays of 125 thousand to 2 million VARIANT
//    elements (the time per element must stay flat: linear), on a host
//    program's VT_UI1 array, and on an enumerable object.
#include <windows.h>
#include <oleauto.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "scriptdata/HexPairs.h"
#include "scriptdata/ScriptData.h"

namespace {

double Now() {
  static LARGE_INTEGER frequency = [] { LARGE_INTEGER f; QueryPerformanceFrequency(&f); return f; }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Runs fn `runs` times; returns the median and the best time in seconds.
template <typename Fn>
void Time(int runs, Fn fn, double& median, double& best) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    const double start = Now();
    fn();
    times.push_back(Now() - start);
  }
  std::sort(times.begin(), times.end());
  median = times[times.size() / 2];
  best = times.front();
}

unsigned g_seed = 12345;
unsigned Random() { return g_seed = g_seed * 1103515245u + 12345u; }

void BenchStringBytes(const char* label, const std::wstring& text) {
  BSTR s = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  ULONG length = 0;
  double median = 0, best = 0;
  Time(31, [&] {
    BYTE* buffer = nullptr;
    if (!GetStringBytes(s, &buffer, &length)) std::printf("conversion failed\n");
    delete[] buffer;
  }, median, best);
  std::printf("GetStringBytes %-28s %8zu chars -> %7lu bytes: median %7.3f ms (%7.0f MB/s), best %7.3f ms (%7.0f MB/s)\n",
              label, text.size(), length, median * 1e3, length / median / 1e6, best * 1e3, length / best / 1e6);
  SysFreeString(s);
}

// The two parts of GetStringBytes apart: the decoding into memory already in
// use, and what a fresh 1 MB buffer costs before anything is written to it
// (array new, a first write to each 4 KiB page, array delete). On machines
// where a first touch of a page is slow (virtual machines) the second dominates.
void BenchStringParts(const std::wstring& text) {
  std::vector<unsigned char> warm(text.size() / 2);
  double median = 0, best = 0;
  Time(31, [&] { scriptdata::DecodeHexPairs(text.c_str(), warm.size(), warm.data()); }, median, best);
  std::printf("  decoding only (warm buffer)                          %7zu bytes: median %7.3f ms (%7.0f MB/s), best %7.3f ms (%7.0f MB/s)\n",
              warm.size(), median * 1e3, warm.size() / median / 1e6, best * 1e3, warm.size() / best / 1e6);
  volatile BYTE sink = 0;
  Time(31, [&] {
    BYTE* fresh = new BYTE[warm.size()];
    for (size_t i = 0; i < warm.size(); i += 4096) fresh[i] = 1;
    sink = fresh[0];
    delete[] fresh;
  }, median, best);
  std::printf("  fresh buffer: new[], first touch of its pages, delete[]            median %7.3f ms,                best %7.3f ms\n",
              median * 1e3, best * 1e3);
}

SAFEARRAY* VariantArray(ULONG count, VARTYPE elementType) {
  SAFEARRAY* psa = SafeArrayCreateVector(VT_VARIANT, 0, count);
  VARIANT* data = nullptr;
  SafeArrayAccessData(psa, reinterpret_cast<void**>(&data));
  for (ULONG i = 0; i < count; ++i) {
    const BYTE value = static_cast<BYTE>(Random() >> 16);
    data[i].vt = elementType;
    if (elementType == VT_I2) data[i].iVal = value;
    else if (elementType == VT_I4) data[i].lVal = value;
    else if (elementType == VT_R8) data[i].dblVal = value;
    else data[i].bstrVal = SysAllocString(std::to_wstring(value).c_str());
  }
  SafeArrayUnaccessData(psa);
  return psa;
}

void BenchArray(const char* label, SAFEARRAY* psa, VARTYPE declared, ULONG count, int runs) {
  VARIANT value;
  VariantInit(&value);
  value.vt = VT_ARRAY | declared;
  value.parray = psa;
  VARIANT ref;
  VariantInit(&ref);
  ref.vt = VT_BYREF | VT_VARIANT;
  ref.pvarVal = &value;
  double median = 0, best = 0;
  ULONG length = 0;
  Time(runs, [&] {
    BYTE* buffer = nullptr;
    if (GetArrayBytes(&ref, &buffer, &length) != S_OK) std::printf("conversion failed\n");
    delete[] buffer;
  }, median, best);
  std::printf("GetArrayBytes  %-30s %8lu elements: median %8.2f ms, best %8.2f ms, %6.1f ns/element\n",
              label, count, median * 1e3, best * 1e3, median / count * 1e9);
}

// An enumerable object over count integers, as lean as such an object gets, so
// the figure is the conversion's own cost plus the unavoidable calls.
class CountingEnumerator final : public IEnumVARIANT {
 public:
  explicit CountingEnumerator(ULONG count) : m_count(count) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (iid == IID_IUnknown || iid == IID_IEnumVARIANT) { *out = this; AddRef(); return S_OK; }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
  ULONG STDMETHODCALLTYPE Release() override { const ULONG n = --m_refs; if (!n) delete this; return n; }
  HRESULT STDMETHODCALLTYPE Next(ULONG, VARIANT* v, ULONG* fetched) override {
    if (m_pos >= m_count) { if (fetched) *fetched = 0; return S_FALSE; }
    v->vt = VT_I4;
    v->lVal = static_cast<LONG>(m_pos++ & 0xFF);
    if (fetched) *fetched = 1;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Skip(ULONG n) override {
    if (m_pos + n > m_count) return S_FALSE;
    m_pos += n;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Reset() override { m_pos = 0; return S_OK; }
  HRESULT STDMETHODCALLTYPE Clone(IEnumVARIANT**) override { return E_NOTIMPL; }

 private:
  ULONG m_count, m_pos = 0, m_refs = 1;
};

class Collection : public IDispatch {
 public:
  explicit Collection(ULONG count) : m_count(count) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (iid == IID_IUnknown || iid == IID_IDispatch) { *out = this; return S_OK; }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override { *n = 0; return S_OK; }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result, EXCEPINFO*, UINT*) override {
    if (id != DISPID_NEWENUM || !result) return DISP_E_MEMBERNOTFOUND;
    result->vt = VT_UNKNOWN;
    result->punkVal = new CountingEnumerator(m_count);
    return S_OK;
  }

 private:
  ULONG m_count;
};

}  // namespace

int main() {
  // A 1 MB sound as a script writes it: two hex digits a byte, mixed case.
  const wchar_t* digits = L"0123456789abcdefABCDEF";
  std::wstring plain(2000000, L'0');
  for (wchar_t& c : plain) c = digits[Random() % 22];
  BenchStringBytes("plain digits (1 MB sound)", plain);
  BenchStringParts(plain);
  // Every pair outside the table: the exact reading, pair by pair.
  std::wstring odd;
  for (size_t i = 0; i < 1000000; ++i) odd += (i % 3 == 0) ? L" 5" : (i % 3 == 1) ? L"-1" : L"G1";
  BenchStringBytes("every pair exact (\" 5\",\"-1\")", odd);
  // A few odd pairs scattered through plain digits.
  std::wstring mixed = plain;
  for (size_t i = 0; i < mixed.size(); i += 2000) mixed[i] = L' ';
  BenchStringBytes("plain, 1 pair in 1000 exact", mixed);
  std::printf("\n");

  for (ULONG count : {125000UL, 250000UL, 500000UL, 1000000UL, 2000000UL}) {
    SAFEARRAY* psa = VariantArray(count, VT_I2);
    BenchArray("VARIANT VT_I2 (VBScript array)", psa, VT_VARIANT, count, 9);
    SafeArrayDestroy(psa);
  }
  {
    SAFEARRAY* psa = VariantArray(1000000, VT_R8);
    BenchArray("VARIANT VT_R8", psa, VT_VARIANT, 1000000, 5);
    SafeArrayDestroy(psa);
    psa = VariantArray(1000000, VT_BSTR);
    BenchArray("VARIANT VT_BSTR \"200\"-like", psa, VT_VARIANT, 1000000, 5);
    SafeArrayDestroy(psa);
    psa = SafeArrayCreateVector(VT_UI1, 0, 1000000);
    BenchArray("host VT_UI1 array", psa, VT_UI1, 1000000, 9);
    SafeArrayDestroy(psa);
  }
  for (ULONG count : {250000UL, 1000000UL}) {
    Collection collection(count);
    VARIANT object;
    VariantInit(&object);
    object.vt = VT_DISPATCH;
    object.pdispVal = &collection;
    double median = 0, best = 0;
    Time(5, [&] {
      CByteBuffer bytes;
      if (GetArrayBytes(&object, bytes) != S_OK || bytes.Size() != count) std::printf("conversion failed\n");
    }, median, best);
    std::printf("GetArrayBytes  %-30s %8lu elements: median %8.2f ms, best %8.2f ms, %6.1f ns/element\n",
                "enumerable object (VT_I4)", count, median * 1e3, best * 1e3, median / count * 1e9);
  }
  return 0;
}
