// Enumerable objects (a script array object, a collection): DISPID_NEWENUM,
// IEnumVARIANT, VT_I4 elements read to their low 8 bits.
#include <gtest/gtest.h>

#include <string>

#include "ArrayConversion.h"
#include "TestObjects.h"

using namespace scriptdata_test;

namespace {

class EnumeratedBytes : public ::testing::Test {
 protected:
  void SetUp() override { m_liveBefore = g_liveObjects; }
  // Every object the conversion asked for (enumerators, elements) is released.
  void TearDown() override { EXPECT_EQ(m_liveBefore, g_liveObjects) << "objects leaked"; }

  ArrayOutcome ConvertObject(TestCollection* c) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_DISPATCH;
    v.pdispVal = AsDispatch(c);
    ArrayOutcome o = ConvertArray(&v);
    EXPECT_EQ(1u, References(AsDispatch(c))) << "the conversion kept a reference";
    return o;
  }
  ArrayOutcome Convert(EnumBehaviour b, NewEnumAnswer a = NewEnumAnswer::kEnumeratorAsUnknown) {
    TestCollection* c = NewCollection(std::move(b), a);
    ArrayOutcome o = ConvertObject(c);
    AsDispatch(c)->Release();
    return o;
  }

  LONG m_liveBefore = 0;
};

EnumBehaviour Elements(std::initializer_list<OwnedVariant> list) {
  EnumBehaviour b;
  b.elements.assign(list.begin(), list.end());
  return b;
}

std::vector<BYTE> Bytes(std::initializer_list<int> list) {
  std::vector<BYTE> v;
  for (int x : list) v.push_back(static_cast<BYTE>(x));
  return v;
}

TEST_F(EnumeratedBytes, IntegersGiveTheirLowEightBits) {
  const ArrayOutcome o = Convert(Elements({OwnedVariant::I4(65), OwnedVariant::I4(256), OwnedVariant::I4(-1),
                                           OwnedVariant::I4(0), OwnedVariant::I4(255),
                                           OwnedVariant::I4(0x7FFFFFFF), OwnedVariant::I4(-0x7FFFFFFF - 1)}));
  EXPECT_EQ(S_OK, o.hr);
  EXPECT_EQ(7u, o.length);
  EXPECT_EQ(Bytes({0x41, 0x00, 0xFF, 0x00, 0xFF, 0xFF, 0x00}), o.bytes);
}

// 16, 300, then a string: length 3 (the count), 10 2C, and reading stops at the
// string, so a later integer is not read either; what is not read is 0.
TEST_F(EnumeratedBytes, StopsAtTheFirstElementThatIsNotVtI4ButKeepsTheCount) {
  const ArrayOutcome o = Convert(Elements({OwnedVariant::I4(16), OwnedVariant::I4(300),
                                           OwnedVariant::Str(L"x"), OwnedVariant::I4(5)}));
  EXPECT_EQ(S_OK, o.hr);
  EXPECT_EQ(4u, o.length);
  EXPECT_EQ(Bytes({0x10, 0x2C, 0x00, 0x00}), o.bytes);
}

TEST_F(EnumeratedBytes, OtherNumericTypesAlsoStopReading) {
  IDispatch* object = NewValueObject(OwnedVariant::I4(7));
  {
    const struct {
      const char* name;
      OwnedVariant second;
    } cases[] = {
        {"VT_I2 (a small script integer)", OwnedVariant::I2(2)},
        {"VT_R8 (a script number with a fraction)", OwnedVariant::R8(2.0)},
        {"VT_BSTR holding digits", OwnedVariant::Str(L"2")},
        {"VT_DISPATCH with a default value", OwnedVariant::Dispatch(object)},
    };
    for (const auto& c : cases) {
      const ArrayOutcome o = Convert(Elements({OwnedVariant::I4(1), c.second, OwnedVariant::I4(3)}));
      EXPECT_EQ(S_OK, o.hr) << c.name;
      EXPECT_EQ(Bytes({1, 0, 0}), o.bytes) << c.name;
    }
  }
  EXPECT_EQ(1u, References(object)) << "a fetched object element was not released";
  object->Release();
}

TEST_F(EnumeratedBytes, EmptyCollectionGivesLengthZeroAndNoBuffer) {
  const ArrayOutcome o = Convert(EnumBehaviour{});
  EXPECT_EQ(S_OK, o.hr);
  EXPECT_EQ(0u, o.length);
  EXPECT_TRUE(o.bufferNull);
}

TEST_F(EnumeratedBytes, AsksForTheEnumeratorAsMethodOrPropertyGetWithoutArguments) {
  TestCollection* c = NewCollection(Elements({OwnedVariant::I4(1)}));
  ConvertObject(c);
  const InvokeRecord& r = LastInvoke(c);
  EXPECT_EQ(1, r.calls);
  EXPECT_EQ(DISPID_NEWENUM, r.dispid);
  EXPECT_TRUE(r.iidNull);
  EXPECT_EQ(static_cast<LCID>(LOCALE_SYSTEM_DEFAULT), r.lcid);
  EXPECT_EQ(DISPATCH_METHOD | DISPATCH_PROPERTYGET, r.flags);
  EXPECT_EQ(0u, r.argumentCount);
  EXPECT_TRUE(r.hadResult);
  AsDispatch(c)->Release();
}

TEST_F(EnumeratedBytes, EnumeratorHandedBackAsDispatchIsAccepted) {
  const ArrayOutcome o = Convert(Elements({OwnedVariant::I4(9), OwnedVariant::I4(8)}),
                                 NewEnumAnswer::kEnumeratorAsDispatch);
  EXPECT_EQ(S_OK, o.hr);
  EXPECT_EQ(Bytes({9, 8}), o.bytes);
}

TEST_F(EnumeratedBytes, ObjectsWithoutAUsableEnumeratorFailWithEFail) {
  const struct {
    const char* name;
    NewEnumAnswer answer;
  } cases[] = {
      {"no _NewEnum member", NewEnumAnswer::kInvokeFails},
      {"null enumerator", NewEnumAnswer::kNullUnknown},
      {"an integer instead of an object", NewEnumAnswer::kInteger},
      {"an object that is no IEnumVARIANT", NewEnumAnswer::kObjectWithoutEnum},
  };
  for (const auto& c : cases) {
    const ArrayOutcome o = Convert(Elements({OwnedVariant::I4(1)}), c.answer);
    EXPECT_EQ(E_FAIL, o.hr) << c.name;
    EXPECT_EQ(0u, o.length) << c.name;
    EXPECT_TRUE(o.bufferNull) << c.name;
  }
}

TEST_F(EnumeratedBytes, NullObjectFailsWithEFail) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_DISPATCH;
  v.pdispVal = nullptr;
  const ArrayOutcome o = ConvertArray(&v);
  EXPECT_EQ(E_FAIL, o.hr);
  EXPECT_EQ(0u, o.length);
}

// Enumerators whose Skip and Next disagree: the count from Skip is the length,
// the buffer is never written past it, and what Next does not deliver is 0.
TEST_F(EnumeratedBytes, EnumeratorsThatLieAboutTheirLength) {
  EnumBehaviour longer = Elements({OwnedVariant::I4(1), OwnedVariant::I4(2)});
  longer.skipCount = 5;
  ArrayOutcome o = Convert(std::move(longer));
  EXPECT_EQ(S_OK, o.hr);
  EXPECT_EQ(Bytes({1, 2, 0, 0, 0}), o.bytes);

  EnumBehaviour shorter = Elements({OwnedVariant::I4(1), OwnedVariant::I4(2), OwnedVariant::I4(3)});
  shorter.skipCount = 1;
  o = Convert(std::move(shorter));
  EXPECT_EQ(S_OK, o.hr);
  EXPECT_EQ(Bytes({1}), o.bytes);

  EnumBehaviour silent = Elements({OwnedVariant::I4(1), OwnedVariant::I4(2)});
  silent.nextFetchesNothing = true;
  o = Convert(std::move(silent));
  EXPECT_EQ(S_OK, o.hr);
  EXPECT_EQ(Bytes({0, 0}), o.bytes);
}

TEST_F(EnumeratedBytes, EnumeratorsThatFailMakeTheConversionFail) {
  EnumBehaviour resetFails = Elements({OwnedVariant::I4(1), OwnedVariant::I4(2)});
  resetFails.resetFails = true;
  ArrayOutcome o = Convert(std::move(resetFails));
  EXPECT_TRUE(FAILED(o.hr));
  EXPECT_EQ(0u, o.length);
  EXPECT_TRUE(o.bufferNull);

  EnumBehaviour nextFails = Elements({OwnedVariant::I4(1), OwnedVariant::I4(2), OwnedVariant::I4(3)});
  nextFails.nextFailsAt = 1;
  o = Convert(std::move(nextFails));
  EXPECT_EQ(E_UNEXPECTED, o.hr);
  EXPECT_EQ(0u, o.length);
  EXPECT_TRUE(o.bufferNull);
}

TEST_F(EnumeratedBytes, EnumeratorWithoutEndIsRefusedNotCountedForEver) {
  EnumBehaviour endless = Elements({OwnedVariant::I4(1)});
  endless.skipCount = -2;
  const ArrayOutcome o = Convert(std::move(endless));
  EXPECT_EQ(E_FAIL, o.hr);
  EXPECT_EQ(0u, o.length);
  EXPECT_TRUE(o.bufferNull);
}

// A script's object variable arrives by reference; it is the same object.
TEST_F(EnumeratedBytes, ObjectVariablePassedByReferenceIsReadAsTheObject) {
  TestCollection* c = NewCollection(Elements({OwnedVariant::I4(0xA0), OwnedVariant::I4(0x0B)}));
  VARIANT object;
  VariantInit(&object);
  object.vt = VT_DISPATCH;
  object.pdispVal = AsDispatch(c);
  VARIANT ref = ByReference(&object);
  ArrayOutcome o = ConvertArray(&ref);
  EXPECT_EQ(S_OK, o.hr);
  EXPECT_EQ(Bytes({0xA0, 0x0B}), o.bytes);

  IDispatch* pointer = AsDispatch(c);
  VARIANT refToPointer;
  VariantInit(&refToPointer);
  refToPointer.vt = VT_BYREF | VT_DISPATCH;
  refToPointer.ppdispVal = &pointer;
  VARIANT outer = ByReference(&refToPointer);
  o = ConvertArray(&outer);
  EXPECT_EQ(S_OK, o.hr);
  EXPECT_EQ(Bytes({0xA0, 0x0B}), o.bytes);

  // Only VARIANT references are followed at the top, as engines pass them.
  o = ConvertArray(&refToPointer);
  EXPECT_EQ(E_INVALIDARG, o.hr);

  EXPECT_EQ(1u, References(AsDispatch(c)));
  AsDispatch(c)->Release();
}

TEST_F(EnumeratedBytes, ThousandConversionsKeepNoReferences) {
  TestCollection* c = NewCollection(Elements({OwnedVariant::I4(1), OwnedVariant::Str(L"stop")}));
  for (int i = 0; i < 1000; ++i) {
    const ArrayOutcome o = ConvertObject(c);
    ASSERT_EQ(S_OK, o.hr);
    ASSERT_EQ(Bytes({1, 0}), o.bytes);
  }
  AsDispatch(c)->Release();
}

}  // namespace
