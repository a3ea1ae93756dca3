// Text to and from the engine's ANSI code page, with the 260-byte path buffer.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "scriptdata/AnsiText.h"

namespace {

// A path buffer with a guard byte behind it, filled with a marker so that a
// missing terminator or a write past the end shows.
struct GuardedBuffer {
  GuardedBuffer() { std::memset(bytes, '#', sizeof bytes); }
  char bytes[kAnsiBufferSize + 1];
  bool GuardIntact() const { return bytes[kAnsiBufferSize] == '#'; }
};

TEST(StringToAnsi, ConvertsAndTerminates) {
  const struct {
    std::wstring text;
    int result;
  } cases[] = {
      {L"", 1},
      {L"C:\\temp\\a b.wav", 16},
      {std::wstring(258, L'x'), 259},
      {std::wstring(259, L'x'), 260},  // the largest text that fits: 259 bytes and the NUL
  };
  for (const auto& c : cases) {
    GuardedBuffer buffer;
    EXPECT_EQ(c.result, StringToAnsi(c.text, buffer.bytes)) << c.text.size() << " characters";
    EXPECT_EQ(std::string(c.text.begin(), c.text.end()), std::string(buffer.bytes));
    EXPECT_TRUE(buffer.GuardIntact());
  }
}

// A text whose ANSI form does not fit is refused, never cut: 0, and the buffer
// holds the empty string rather than a shortened path.
TEST(StringToAnsi, TextThatDoesNotFitIsRefusedNotCut) {
  for (size_t length : {size_t(260), size_t(261), size_t(1000), size_t(40000)}) {
    GuardedBuffer buffer;
    EXPECT_EQ(0, StringToAnsi(std::wstring(length, L'y'), buffer.bytes)) << length;
    EXPECT_EQ('\0', buffer.bytes[0]) << length;
    EXPECT_TRUE(buffer.GuardIntact()) << length;
  }
}

TEST(StringToAnsi, NullArguments) {
  EXPECT_EQ(0, StringToAnsi(L"abc", nullptr));
  GuardedBuffer buffer;
  EXPECT_EQ(1, StringToAnsi(static_cast<const wchar_t*>(nullptr), buffer.bytes));
  EXPECT_EQ('\0', buffer.bytes[0]);
}

TEST(StringToAnsi, StopsAtAnEmbeddedNul) {
  const std::wstring text(L"ab\0cd", 5);
  GuardedBuffer buffer;
  EXPECT_EQ(3, StringToAnsi(text, buffer.bytes));
  EXPECT_STREQ("ab", buffer.bytes);
}

TEST(AnsiToString, ConvertsWithoutTheLengthLimitOfPaths) {
  const struct {
    std::string text;
    int result;
  } cases[] = {
      {"", 1},
      {"PsLoadNet failed", 17},
      {std::string(5000, 'z'), 5001},
  };
  for (const auto& c : cases) {
    std::wstring out = L"previous";
    EXPECT_EQ(c.result, AnsiToString(c.text.c_str(), out));
    EXPECT_EQ(std::wstring(c.text.begin(), c.text.end()), out);
  }
}

TEST(AnsiToString, NullTextLeavesTheResultAlone) {
  std::wstring out = L"kept";
  EXPECT_EQ(0, AnsiToString(nullptr, out));
  EXPECT_EQ(L"kept", out);
}

// Whatever the code page, text that went out to the engine comes back the same
// when every character has an ANSI form (ASCII has one in every code page).
TEST(AnsiText, RoundTripOfPrintableAscii) {
  std::wstring text;
  for (wchar_t c = 0x20; c < 0x7F; ++c) text.push_back(c);
  GuardedBuffer buffer;
  ASSERT_EQ(static_cast<int>(text.size()) + 1, StringToAnsi(text, buffer.bytes));
  std::wstring back;
  EXPECT_EQ(static_cast<int>(text.size()) + 1, AnsiToString(buffer.bytes, back));
  EXPECT_EQ(text, back);
}

}  // namespace
