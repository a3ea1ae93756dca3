// GetStringBytes as the control's methods call it: BSTRs, out-parameters,
// ownership.
#include <gtest/gtest.h>

#include <cwchar>
#include <string>
#include <vector>

#include "scriptdata/StringBytes.h"

namespace {

struct Bstr {
  explicit Bstr(const wchar_t* s) : b(s ? SysAllocString(s) : nullptr) {}
  Bstr(const wchar_t* s, UINT n) : b(SysAllocStringLen(s, n)) {}
  ~Bstr() { SysFreeString(b); }
  BSTR b;
};

BYTE* const kUntouched = reinterpret_cast<BYTE*>(static_cast<UINT_PTR>(0x10));

TEST(GetStringBytes, ProducesOneByteAPairInACallerOwnedBuffer) {
  Bstr s(L"0A1bFF");
  BYTE* buffer = nullptr;
  ULONG length = 77;
  ASSERT_EQ(TRUE, GetStringBytes(s.b, &buffer, &length));
  ASSERT_EQ(3u, length);
  ASSERT_NE(nullptr, buffer);
  EXPECT_EQ((std::vector<BYTE>{0x0A, 0x1B, 0xFF}), std::vector<BYTE>(buffer, buffer + length));
  delete[] buffer;
}

// Nothing to read: success, length 0, and the buffer pointer is left as it was.
TEST(GetStringBytes, NothingToReadSucceedsWithLengthZero) {
  Bstr empty(L""), odd(L"A"), null(nullptr);
  for (BSTR s : {empty.b, odd.b, null.b}) {
    BYTE* buffer = kUntouched;
    ULONG length = 77;
    EXPECT_EQ(TRUE, GetStringBytes(s, &buffer, &length));
    EXPECT_EQ(0u, length);
    EXPECT_EQ(kUntouched, buffer);
  }
}

TEST(GetStringBytes, ReadsOnlyUpToAnEmbeddedNul) {
  const wchar_t chars[] = {L'1', L'2', L'\0', L'3', L'4'};
  Bstr s(chars, 5);
  BYTE* buffer = nullptr;
  ULONG length = 0;
  ASSERT_EQ(TRUE, GetStringBytes(s.b, &buffer, &length));
  ASSERT_EQ(1u, length);
  EXPECT_EQ(0x12, buffer[0]);
  delete[] buffer;
}

TEST(GetStringBytes, LongStringsGiveEveryByteInOrder) {
  std::wstring text;
  std::vector<BYTE> expected;
  for (int i = 0; i < 1000; ++i) {
    const int value = (i * 37) & 0xFF;
    wchar_t pair[3];
    swprintf(pair, 3, i % 2 ? L"%02x" : L"%02X", value);
    text += pair;
    expected.push_back(static_cast<BYTE>(value));
  }
  text += L"7";  // the odd one out
  Bstr s(text.c_str());
  CByteBuffer bytes;
  ASSERT_EQ(TRUE, GetStringBytes(s.b, bytes));
  ASSERT_EQ(expected.size(), bytes.Size());
  EXPECT_EQ(expected, std::vector<BYTE>(bytes.Get(), bytes.Get() + bytes.Size()));
}

TEST(GetStringBytes, MissingOutParametersFail) {
  Bstr s(L"0102");
  BYTE* buffer = nullptr;
  EXPECT_EQ(FALSE, GetStringBytes(s.b, &buffer, nullptr));
  EXPECT_EQ(nullptr, buffer);

  // No place for the bytes: refused rather than produced and lost.
  ULONG length = 77;
  EXPECT_EQ(FALSE, GetStringBytes(s.b, nullptr, &length));
  EXPECT_EQ(0u, length);
  // ... unless there are no bytes to place.
  Bstr empty(L"");
  length = 77;
  EXPECT_EQ(TRUE, GetStringBytes(empty.b, nullptr, &length));
  EXPECT_EQ(0u, length);
}

TEST(GetStringBytes, HolderOverloadOwnsTheBytes) {
  CByteBuffer bytes;
  Bstr text(L"-1+F"), empty(L"");
  ASSERT_EQ(TRUE, GetStringBytes(text.b, bytes));
  ASSERT_EQ(2u, bytes.Size());
  EXPECT_EQ(0xFF, bytes.Get()[0]);
  EXPECT_EQ(0x0F, bytes.Get()[1]);
  // A second conversion replaces (and frees) the first.
  ASSERT_EQ(TRUE, GetStringBytes(empty.b, bytes));
  EXPECT_EQ(0u, bytes.Size());
  EXPECT_EQ(nullptr, bytes.Get());
}

}  // namespace
