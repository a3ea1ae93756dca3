// Arrays reached by reference, as script engines pass array variables, and
// arrays of plain element types from host programs.
#include <gtest/gtest.h>

#include <string>

#include "ArrayConversion.h"
#include "TestObjects.h"

using namespace scriptdata_test;

namespace {

// A SAFEARRAY owned by the test; destroying it proves no lock was left behind.
class TestArray {
 public:
  explicit TestArray(SAFEARRAY* psa) : m_psa(psa) {}
  TestArray(const TestArray&) = delete;
  ~TestArray() { EXPECT_EQ(S_OK, SafeArrayDestroy(m_psa)) << "array left locked"; }
  SAFEARRAY* Get() const { return m_psa; }
  SAFEARRAY** Address() { return &m_psa; }

  // The VARIANT that holds the array itself (by value).
  VARIANT Value(VARTYPE elementType = VT_VARIANT) const {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_ARRAY | elementType;
    v.parray = m_psa;
    return v;
  }

 private:
  SAFEARRAY* m_psa;
};

SAFEARRAY* VariantArray(const std::vector<OwnedVariant>& elements, LONG lowerBound = 0) {
  SAFEARRAY* psa = SafeArrayCreateVector(VT_VARIANT, lowerBound, static_cast<ULONG>(elements.size()));
  for (LONG i = 0; i < static_cast<LONG>(elements.size()); ++i) {
    LONG index = lowerBound + i;
    SafeArrayPutElement(psa, &index, const_cast<VARIANT*>(elements[i].Get()));
  }
  return psa;
}

std::vector<BYTE> Bytes(std::initializer_list<int> list) {
  std::vector<BYTE> v;
  for (int x : list) v.push_back(static_cast<BYTE>(x));
  return v;
}

ArrayOutcome ConvertByReference(const TestArray& array, VARTYPE elementType = VT_VARIANT) {
  VARIANT value = array.Value(elementType);
  VARIANT ref = ByReference(&value);
  return ConvertArray(&ref);
}

// 1, 2, 255 gives 01 02 FF whichever way the engine stored the numbers.
TEST(SafeArrayBytes, ScriptArrayVariableGivesItsBytes) {
  const struct {
    const char* name;
    std::vector<OwnedVariant> elements;
  } cases[] = {
      {"VT_I2, as VBScript stores small integers", {OwnedVariant::I2(1), OwnedVariant::I2(2), OwnedVariant::I2(255)}},
      {"VT_I4", {OwnedVariant::I4(1), OwnedVariant::I4(2), OwnedVariant::I4(255)}},
      {"VT_R8", {OwnedVariant::R8(1), OwnedVariant::R8(2), OwnedVariant::R8(255)}},
      {"strings of digits", {OwnedVariant::Str(L"1"), OwnedVariant::Str(L"2"), OwnedVariant::Str(L"255")}},
  };
  for (const auto& c : cases) {
    TestArray array(VariantArray(c.elements));
    const ArrayOutcome o = ConvertByReference(array);
    EXPECT_EQ(S_OK, o.hr) << c.name;
    EXPECT_EQ(3u, o.length) << c.name;
    EXPECT_EQ(Bytes({0x01, 0x02, 0xFF}), o.bytes) << c.name;
  }
}

TEST(SafeArrayBytes, NumericStringTwoHundredGivesTwoHundred) {
  TestArray array(VariantArray({OwnedVariant::Str(L"200")}));
  const ArrayOutcome o = ConvertByReference(array);
  EXPECT_EQ(S_OK, o.hr);
  EXPECT_EQ(Bytes({200}), o.bytes);
}

// Out of range or not a number: the platform's conversion error, length 0, no
// buffer, and the array unlocked (checked when it is destroyed).
TEST(SafeArrayBytes, ElementsThatAreNoByteFailWithTheConversionError) {
  const struct {
    const char* name;
    OwnedVariant element;
    HRESULT hr;
  } cases[] = {
      {"256", OwnedVariant::I2(256), DISP_E_OVERFLOW},
      {"-1", OwnedVariant::I2(-1), DISP_E_OVERFLOW},
      {"256 as VT_I4", OwnedVariant::I4(256), DISP_E_OVERFLOW},
      {"-1 as VT_I4", OwnedVariant::I4(-1), DISP_E_OVERFLOW},
      {"256.0", OwnedVariant::R8(256.0), DISP_E_OVERFLOW},
      {"\"abc\"", OwnedVariant::Str(L"abc"), DISP_E_TYPEMISMATCH},
  };
  for (const auto& c : cases) {
    TestArray array(VariantArray({OwnedVariant::I2(7), c.element, OwnedVariant::I2(8)}));
    const ArrayOutcome o = ConvertByReference(array);
    EXPECT_EQ(c.hr, o.hr) << c.name;
    EXPECT_EQ(0u, o.length) << c.name;
    EXPECT_TRUE(o.bufferNull) << c.name;
  }
}

TEST(SafeArrayBytes, EmptyArrayGivesLengthZero) {
  TestArray array(VariantArray({}));
  const ArrayOutcome o = ConvertByReference(array);
  EXPECT_EQ(S_OK, o.hr);
  EXPECT_EQ(0u, o.length);
  EXPECT_TRUE(o.bufferNull);
}

TEST(SafeArrayBytes, LowerBoundPlaysNoPart) {
  TestArray array(VariantArray({OwnedVariant::I2(9), OwnedVariant::I2(8), OwnedVariant::I2(7)}, 5));
  const ArrayOutcome o = ConvertByReference(array);
  EXPECT_EQ(S_OK, o.hr);
  EXPECT_EQ(Bytes({9, 8, 7}), o.bytes);
}

// VBScript's fixed-size `Dim d(2)` adds a by-reference array pointer; other
// hosts add more by-reference VARIANTs. All of them lead to the same array.
TEST(SafeArrayBytes, ByReferenceChainsReachTheArray) {
  TestArray array(VariantArray({OwnedVariant::I2(0x11), OwnedVariant::I2(0x22)}));

  VARIANT fixedSize;
  VariantInit(&fixedSize);
  fixedSize.vt = VT_BYREF | VT_ARRAY | VT_VARIANT;
  fixedSize.pparray = array.Address();
  VARIANT toFixed = ByReference(&fixedSize);
  EXPECT_EQ(Bytes({0x11, 0x22}), ConvertArray(&toFixed).bytes);

  VARIANT value = array.Value();
  VARIANT inner = ByReference(&value);
  VARIANT outer = ByReference(&inner);
  const ArrayOutcome o = ConvertArray(&outer);
  EXPECT_EQ(S_OK, o.hr);
  EXPECT_EQ(Bytes({0x11, 0x22}), o.bytes);
}

TEST(SafeArrayBytes, WrongShapesAreRefusedWithInvalidArg) {
  TestArray flat(VariantArray({OwnedVariant::I2(1)}));
  SAFEARRAYBOUND bounds[2] = {{2, 0}, {2, 0}};
  TestArray square(SafeArrayCreate(VT_VARIANT, 2, bounds));

  VARIANT byValue = flat.Value();
  VARIANT twoDims = square.Value();
  VARIANT refToTwoDims = ByReference(&twoDims);
  VARIANT integer;
  VariantInit(&integer);
  integer.vt = VT_I4;
  integer.lVal = 5;
  VARIANT refToInteger = ByReference(&integer);
  LONG plain = 5;
  VARIANT refToLong;
  VariantInit(&refToLong);
  refToLong.vt = VT_BYREF | VT_I4;
  refToLong.plVal = &plain;
  VARIANT empty;
  VariantInit(&empty);
  VARIANT refToNothing = ByReference(nullptr);
  VARIANT nullArray;
  VariantInit(&nullArray);
  nullArray.vt = VT_ARRAY | VT_VARIANT;
  nullArray.parray = nullptr;
  VARIANT refToNullArray = ByReference(&nullArray);
  SAFEARRAY* noArray = nullptr;
  VARIANT nullArrayPointer;
  VariantInit(&nullArrayPointer);
  nullArrayPointer.vt = VT_BYREF | VT_ARRAY | VT_VARIANT;
  nullArrayPointer.pparray = &noArray;
  VARIANT refToNullArrayPointer = ByReference(&nullArrayPointer);
  VARIANT cycleA, cycleB;
  cycleA = ByReference(&cycleB);
  cycleB = ByReference(&cycleA);

  const struct {
    const char* name;
    VARIANT* v;
  } cases[] = {
      {"array passed by value", &byValue},
      {"two-dimensional array by reference", &refToTwoDims},
      {"integer by reference", &refToInteger},
      {"by-reference VT_I4", &refToLong},
      {"VT_EMPTY", &empty},
      {"reference to nothing", &refToNothing},
      {"reference to a null array", &refToNullArray},
      {"reference to a null array pointer", &refToNullArrayPointer},
      {"references that form a cycle", &cycleA},
  };
  for (const auto& c : cases) {
    const ArrayOutcome o = ConvertArray(c.v);
    EXPECT_EQ(E_INVALIDARG, o.hr) << c.name;
    EXPECT_EQ(0u, o.length) << c.name;
    EXPECT_TRUE(o.bufferNull) << c.name;
  }
}

TEST(SafeArrayBytes, MissingArgumentsFailWithoutSuccessCode) {
  TestArray array(VariantArray({OwnedVariant::I2(1)}));
  VARIANT value = array.Value();
  VARIANT ref = ByReference(&value);
  ULONG length = 77;
  EXPECT_TRUE(FAILED(GetArrayBytes(&ref, nullptr, &length)));
  EXPECT_EQ(0u, length);
  BYTE* buffer = nullptr;
  EXPECT_TRUE(FAILED(GetArrayBytes(&ref, &buffer, nullptr)));
  EXPECT_EQ(nullptr, buffer);
  EXPECT_TRUE(FAILED(GetArrayBytes(nullptr, &buffer, &length)));
  EXPECT_EQ(0u, length);
}

// A host program's VT_UI1 array is read as bytes, not as VARIANTs.
TEST(SafeArrayBytes, ByteArrayFromAHostIsReadByteForByte) {
  TestArray array(SafeArrayCreateVector(VT_UI1, 0, 256));
  BYTE* data = nullptr;
  ASSERT_EQ(S_OK, SafeArrayAccessData(array.Get(), reinterpret_cast<void**>(&data)));
  std::vector<BYTE> expected(256);
  for (int i = 0; i < 256; ++i) data[i] = expected[i] = static_cast<BYTE>(255 - i);
  SafeArrayUnaccessData(array.Get());

  const ArrayOutcome o = ConvertByReference(array, VT_UI1);
  EXPECT_EQ(S_OK, o.hr);
  EXPECT_EQ(expected, o.bytes);
}

TEST(SafeArrayBytes, TypedArraysUseTheAutomationRules) {
  TestArray longs(SafeArrayCreateVector(VT_I4, 0, 2));
  LONG values[] = {200, 256};
  for (LONG i = 0; i < 2; ++i) SafeArrayPutElement(longs.Get(), &i, &values[i]);
  EXPECT_EQ(DISP_E_OVERFLOW, ConvertByReference(longs, VT_I4).hr);

  TestArray strings(SafeArrayCreateVector(VT_BSTR, 0, 2));
  BSTR texts[] = {SysAllocString(L"200"), SysAllocString(L"7")};
  for (LONG i = 0; i < 2; ++i) SafeArrayPutElement(strings.Get(), &i, texts[i]);
  const ArrayOutcome o = ConvertByReference(strings, VT_BSTR);
  EXPECT_EQ(S_OK, o.hr);
  EXPECT_EQ(Bytes({200, 7}), o.bytes);
  // The strings stay the array's, unchanged.
  BSTR first = nullptr;
  LONG zero = 0;
  ASSERT_EQ(S_OK, SafeArrayGetElement(strings.Get(), &zero, &first));
  EXPECT_STREQ(L"200", first);
  SysFreeString(first);
  for (BSTR t : texts) SysFreeString(t);
}

// A VARIANT that claims another element type than its array holds would make the
// reading walk over the wrong memory; it is refused.
TEST(SafeArrayBytes, ElementTypeThatDisagreesWithTheArrayIsRefused) {
  TestArray bytes(SafeArrayCreateVector(VT_UI1, 0, 4));
  EXPECT_EQ(E_INVALIDARG, ConvertByReference(bytes, VT_VARIANT).hr);
  TestArray variants(VariantArray({OwnedVariant::I2(1)}));
  EXPECT_EQ(E_INVALIDARG, ConvertByReference(variants, VT_UI1).hr);
  // Element types no conversion reads.
  TestArray unknowns(SafeArrayCreateVector(VT_UNKNOWN, 0, 1));
  EXPECT_EQ(E_INVALIDARG, ConvertByReference(unknowns, VT_RECORD).hr);
}

TEST(SafeArrayBytes, ObjectElementGivesItsDefaultValueAndIsNotKept) {
  const LONG liveBefore = g_liveObjects;
  IDispatch* object = NewValueObject(OwnedVariant::I4(7));
  {
    TestArray array(VariantArray({OwnedVariant::Dispatch(object), OwnedVariant::I2(1)}));
    const ArrayOutcome o = ConvertByReference(array);
    EXPECT_EQ(S_OK, o.hr);
    EXPECT_EQ(Bytes({7, 1}), o.bytes);
    EXPECT_EQ(2u, References(object));  // ours and the array's
  }
  object->Release();
  EXPECT_EQ(liveBefore, g_liveObjects);
}

TEST(SafeArrayBytes, ThousandConversionsLeaveTheArrayAsItWas) {
  TestArray array(VariantArray({OwnedVariant::Str(L"12"), OwnedVariant::R8(3.0), OwnedVariant::I2(4)}));
  for (int i = 0; i < 1000; ++i) {
    const ArrayOutcome o = ConvertByReference(array);
    ASSERT_EQ(S_OK, o.hr);
    ASSERT_EQ(Bytes({12, 3, 4}), o.bytes);
  }
  CByteBuffer holder;
  VARIANT value = array.Value();
  VARIANT ref = ByReference(&value);
  ASSERT_EQ(S_OK, GetArrayBytes(&ref, holder));
  EXPECT_EQ(3u, holder.Size());
}

}  // namespace
