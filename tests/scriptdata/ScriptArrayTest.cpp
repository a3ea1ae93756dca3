// The arrays handed back to scripts: VT_ARRAY|VT_VARIANT, one dimension, lower
// bound 0, VT_UI1 or VT_UI4 elements, owned by the caller.
#include <gtest/gtest.h>

#include <vector>

#include "ArrayConversion.h"
#include "scriptdata/ScriptArray.h"

using namespace scriptdata_test;

namespace {

// Checks the shape and reads the elements back one by one, through the
// platform's own element access.
template <typename T>
void ExpectScriptArray(VARIANT& v, VARTYPE elementType, const std::vector<T>& expected) {
  ASSERT_EQ(VT_ARRAY | VT_VARIANT, v.vt);
  ASSERT_NE(nullptr, v.parray);
  ASSERT_EQ(1u, SafeArrayGetDim(v.parray));
  LONG lower = -1, upper = -2;
  SafeArrayGetLBound(v.parray, 1, &lower);
  SafeArrayGetUBound(v.parray, 1, &upper);
  EXPECT_EQ(0, lower);
  EXPECT_EQ(static_cast<LONG>(expected.size()) - 1, upper);
  for (LONG i = 0; i < static_cast<LONG>(expected.size()); ++i) {
    VARIANT element;
    VariantInit(&element);
    ASSERT_EQ(S_OK, SafeArrayGetElement(v.parray, &i, &element));
    EXPECT_EQ(elementType, element.vt) << i;
    EXPECT_EQ(expected[i], elementType == VT_UI1 ? static_cast<T>(element.bVal) : static_cast<T>(element.ulVal)) << i;
    VariantClear(&element);
  }
  // Not left locked: the caller can free it.
  EXPECT_EQ(S_OK, VariantClear(&v));
}

TEST(ScriptArray, BytesBecomeVtUi1Elements) {
  const std::vector<BYTE> bytes = {0x00, 0x01, 0x7F, 0x80, 0xFF};
  VARIANT v;
  ASSERT_EQ(S_OK, MakeScriptByteArray(bytes.data(), static_cast<ULONG>(bytes.size()), &v));
  ExpectScriptArray(v, VT_UI1, bytes);
}

TEST(ScriptArray, ValuesBecomeVtUi4Elements) {
  const std::vector<ULONG> values = {0, 1, 655363, 135536, 0xFFFFFFFFu};
  VARIANT v;
  ASSERT_EQ(S_OK, MakeScriptUI4Array(values.data(), static_cast<ULONG>(values.size()), &v));
  ExpectScriptArray(v, VT_UI4, values);
}

// An empty list is an array with no elements, which scripts can still index
// and measure; VT_EMPTY would not be an array at all.
TEST(ScriptArray, EmptyListIsAnEmptyArray) {
  VARIANT bytes, values;
  ASSERT_EQ(S_OK, MakeScriptByteArray(nullptr, 0, &bytes));
  ExpectScriptArray(bytes, VT_UI1, std::vector<BYTE>{});
  ASSERT_EQ(S_OK, MakeScriptUI4Array(nullptr, 0, &values));
  ExpectScriptArray(values, VT_UI4, std::vector<ULONG>{});
}

TEST(ScriptArray, MissingArgumentsAreRefused) {
  VARIANT v;
  EXPECT_EQ(E_POINTER, MakeScriptByteArray(nullptr, 3, &v));
  EXPECT_EQ(E_POINTER, MakeScriptUI4Array(nullptr, 3, &v));
  const BYTE one = 1;
  EXPECT_EQ(E_POINTER, MakeScriptByteArray(&one, 1, nullptr));
}

// What the control hands out, a script can hand back: a script keeps the array
// in a variable and passes that by reference.
TEST(ScriptArray, HandedBackArrayConvertsToTheSameBytes) {
  std::vector<BYTE> bytes(70000);
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<BYTE>(i * 7 + i / 256);
  VARIANT v;
  ASSERT_EQ(S_OK, MakeScriptByteArray(bytes.data(), static_cast<ULONG>(bytes.size()), &v));
  VARIANT ref = ByReference(&v);
  const ArrayOutcome o = ConvertArray(&ref);
  EXPECT_EQ(S_OK, o.hr);
  EXPECT_EQ(bytes, o.bytes);
  EXPECT_EQ(S_OK, VariantClear(&v));
}

}  // namespace
