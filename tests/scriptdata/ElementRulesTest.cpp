// Every element becomes the byte VariantChangeType(..., VT_UI1) makes of it, or
// fails with that call's error: whether the integer rule answers here or the
// platform does, for VARIANT elements and for arrays of plain element types.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ArrayConversion.h"
#include "TestObjects.h"
#include "scriptdata/ElementRules.h"

using namespace scriptdata_test;

namespace {

struct Reference {
  HRESULT hr;
  BYTE byte;
};

Reference PlatformByte(const VARIANT& value) {
  VARIANT out;
  VariantInit(&out);
  Reference r{VariantChangeType(&out, const_cast<VARIANT*>(&value), 0, VT_UI1), 0};
  if (SUCCEEDED(r.hr)) r.byte = out.bVal;
  VariantClear(&out);
  return r;
}

std::string Describe(const VARIANT& v) {
  VARIANT text;
  VariantInit(&text);
  std::string s = "vt " + std::to_string(v.vt) + " value ";
  if (SUCCEEDED(VariantChangeType(&text, const_cast<VARIANT*>(&v), 0, VT_BSTR)) && text.bstrVal)
    for (const wchar_t* p = text.bstrVal; *p; ++p) s += static_cast<char>(*p < 128 ? *p : '?');
  VariantClear(&text);
  return s;
}

// Values of the given type made from numbers and texts around the byte range;
// those the type cannot hold are left out.
std::vector<OwnedVariant> ValuesOf(VARTYPE type) {
  const double numbers[] = {-129, -128, -1, -0.5, -0.4, 0, 0.4, 0.5, 1, 1.5, 2.5, 127, 128, 200,
                            254.5, 255, 255.4, 255.5, 256, 32767, 65535, 65536, 2147483647.0,
                            4294967295.0, 1e12, -1e12};
  const wchar_t* texts[] = {L"200", L"0", L"255", L"256", L"-1", L" 7", L"1e2", L"abc", L"",
                            L"&H10", L"12.5", L"True"};
  std::vector<OwnedVariant> values;
  auto add = [&](VARIANT& source) {
    OwnedVariant v;
    if (SUCCEEDED(VariantChangeType(v.Get(), &source, 0, type))) values.push_back(v);
  };
  for (double d : numbers) {
    VARIANT source;
    VariantInit(&source);
    source.vt = VT_R8;
    source.dblVal = d;
    add(source);
  }
  for (const wchar_t* t : texts) {
    OwnedVariant source = OwnedVariant::Str(t);
    if (type == VT_BSTR) values.push_back(source);
    else add(*source.Get());
  }
  return values;
}

const VARTYPE kScalarTypes[] = {VT_I1, VT_UI1, VT_I2, VT_UI2, VT_I4, VT_UI4, VT_INT, VT_UINT,
                                VT_I8, VT_UI8, VT_R4, VT_R8, VT_CY, VT_DATE, VT_BOOL, VT_BSTR,
                                VT_DECIMAL};

void ExpectSame(const Reference& expected, const ArrayOutcome& got, const std::string& what) {
  EXPECT_EQ(expected.hr, got.hr) << what;
  if (SUCCEEDED(expected.hr) && got.hr == S_OK) {
    ASSERT_EQ(1u, got.bytes.size()) << what;
    EXPECT_EQ(expected.byte, got.bytes[0]) << what;
  }
}

ArrayOutcome ConvertOneElementArray(SAFEARRAY* psa, VARTYPE declared) {
  VARIANT value;
  VariantInit(&value);
  value.vt = VT_ARRAY | declared;
  value.parray = psa;
  VARIANT ref = ByReference(&value);
  ArrayOutcome o = ConvertArray(&ref);
  EXPECT_EQ(S_OK, SafeArrayDestroy(psa));
  return o;
}

TEST(ElementRules, VariantElementsConvertAsTheirPlatformConversion) {
  std::vector<OwnedVariant> values;
  for (VARTYPE t : kScalarTypes)
    for (const OwnedVariant& v : ValuesOf(t)) values.push_back(v);
  OwnedVariant nothing, null;
  null.Get()->vt = VT_NULL;
  values.push_back(nothing);
  values.push_back(null);
  OwnedVariant error;
  error.Get()->vt = VT_ERROR;
  error.Get()->scode = DISP_E_PARAMNOTFOUND;  // a missing optional argument
  values.push_back(error);
  ASSERT_GT(values.size(), 200u);

  for (const OwnedVariant& v : values) {
    SAFEARRAY* psa = SafeArrayCreateVector(VT_VARIANT, 0, 1);
    LONG zero = 0;
    SafeArrayPutElement(psa, &zero, const_cast<VARIANT*>(v.Get()));
    ExpectSame(PlatformByte(*v.Get()), ConvertOneElementArray(psa, VT_VARIANT), Describe(*v.Get()));
  }
}

TEST(ElementRules, ByReferenceVariantElementsConvertAsTheirTarget) {
  LONG number = 77;
  BSTR text = SysAllocString(L"300");
  VARIANT elements[2];
  VariantInit(&elements[0]);
  elements[0].vt = VT_BYREF | VT_I4;
  elements[0].plVal = &number;
  VariantInit(&elements[1]);
  elements[1].vt = VT_BYREF | VT_BSTR;
  elements[1].pbstrVal = &text;
  for (VARIANT& e : elements) {
    SAFEARRAY* psa = SafeArrayCreateVector(VT_VARIANT, 0, 1);
    VARIANT* data = nullptr;
    SafeArrayAccessData(psa, reinterpret_cast<void**>(&data));
    data[0] = e;  // by-reference: the array does not own the target
    SafeArrayUnaccessData(psa);
    const Reference expected = PlatformByte(e);
    const ArrayOutcome got = ConvertOneElementArray(psa, VT_VARIANT);
    ExpectSame(expected, got, "by-reference vt " + std::to_string(e.vt));
  }
  SysFreeString(text);
}

TEST(ElementRules, TypedArrayElementsConvertAsTheirPlatformConversion) {
  for (VARTYPE t : kScalarTypes) {
    for (const OwnedVariant& v : ValuesOf(t)) {
      SAFEARRAY* psa = SafeArrayCreateVector(t, 0, 1);
      ASSERT_NE(nullptr, psa) << "vt " << t;
      LONG zero = 0;
      const VARIANT& value = *v.Get();
      void* element = t == VT_BSTR ? static_cast<void*>(value.bstrVal)
                      : t == VT_DECIMAL ? static_cast<void*>(const_cast<DECIMAL*>(&value.decVal))
                                        : static_cast<void*>(const_cast<BYTE*>(&value.bVal));
      ASSERT_EQ(S_OK, SafeArrayPutElement(psa, &zero, element));
      ExpectSame(PlatformByte(value), ConvertOneElementArray(psa, t), "array of " + Describe(value));
    }
  }
}

// The integer rule on its own, over whole ranges, against the platform.
TEST(ElementRules, IntegerRuleAgreesWithThePlatformOverWholeRanges) {
  using scriptdata::ElementReading;
  auto check = [](VARTYPE type, const VARIANT& v) {
    BYTE byte = 0;
    const ElementReading reading = scriptdata::ReadIntegerElement(type, &v.bVal, byte);
    const Reference expected = PlatformByte(v);
    ASSERT_NE(ElementReading::kNeedsConversion, reading) << Describe(v);
    if (expected.hr == DISP_E_OVERFLOW) {
      EXPECT_EQ(ElementReading::kOverflow, reading) << Describe(v);
    } else {
      ASSERT_EQ(S_OK, expected.hr);
      EXPECT_EQ(ElementReading::kByte, reading) << Describe(v);
      EXPECT_EQ(expected.byte, byte) << Describe(v);
    }
  };
  VARIANT v;
  VariantInit(&v);
  for (int i = -32768; i <= 32767; ++i) {
    v.vt = VT_I2; v.iVal = static_cast<SHORT>(i); check(VT_I2, v);
    v.vt = VT_UI2; v.uiVal = static_cast<USHORT>(i); check(VT_UI2, v);
    if (i >= -128 && i <= 127) { v.vt = VT_I1; v.cVal = static_cast<CHAR>(i); check(VT_I1, v); }
  }
  const LONGLONG wide[] = {-(1LL << 40), -(1LL << 31), -65536, -256, -255, -1, 0, 1, 254, 255, 256,
                           257, 65535, (1LL << 31) - 1, (1LL << 32) - 1, 1LL << 40};
  for (LONGLONG x : wide) {
    v.vt = VT_I4; v.lVal = static_cast<LONG>(x); check(VT_I4, v);
    v.vt = VT_UI4; v.ulVal = static_cast<ULONG>(x); check(VT_UI4, v);
    v.vt = VT_I8; v.llVal = x; check(VT_I8, v);
    v.vt = VT_UI8; v.ullVal = static_cast<ULONGLONG>(x); check(VT_UI8, v);
  }
}

TEST(ElementRules, NonIntegerTypesAreLeftToThePlatform) {
  using scriptdata::ElementReading;
  const double value = 1.0;
  BYTE byte = 0;
  for (unsigned short t : {scriptdata::vartype::kR8, scriptdata::vartype::kBool, scriptdata::vartype::kBstr,
                           scriptdata::vartype::kEmpty, scriptdata::vartype::kCy})
    EXPECT_EQ(ElementReading::kNeedsConversion, scriptdata::ReadIntegerElement(t, &value, byte)) << t;
}

}  // namespace
