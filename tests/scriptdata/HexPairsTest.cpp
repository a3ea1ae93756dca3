// The pair reading: plain digits by table, everything else as wcstol reads it.
#include <gtest/gtest.h>

#include <cwchar>
#include <string>
#include <vector>

#include "scriptdata/HexPairs.h"

namespace {

std::vector<unsigned char> Decode(const std::wstring& text) {
  std::vector<unsigned char> out(text.size() / 2);
  out.resize(scriptdata::DecodeHexPairs(text.c_str(), out.size(), out.data()));
  return out;
}

TEST(HexPairs, DocumentedReadings) {
  const struct {
    const wchar_t* text;
    std::vector<unsigned char> bytes;
  } cases[] = {
      {L"0A1bFF", {0x0A, 0x1B, 0xFF}},
      {L"ABC", {0xAB}},         // a trailing odd character is ignored
      {L"G1", {0x00}},          // nothing that can start a number
      {L"1G", {0x01}},          // read up to the character that cannot continue
      {L" 5", {0x05}},          // leading white space is skipped
      {L"\t7", {0x07}},
      {L"-1", {0xFF}},          // a sign is allowed; the low 8 bits of -1
      {L"-F", {0xF1}},
      {L"+F", {0x0F}},
      {L"0x", {0x00}},
      {L"ff00aA", {0xFF, 0x00, 0xAA}},
      {L"", {}},
      {L"A", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(c.bytes, Decode(c.text)) << "text \"" << std::string(c.text, c.text + wcslen(c.text)) << '"';
}

// The characters before the first NUL count, wherever it falls: inside a block
// of eight plain pairs or after it, as a pair's first or second character.
TEST(HexPairs, ReadingStopsAtTheFirstNul) {
  const std::wstring plain = L"00112233445566778899aAbBcCdDeEfF0123456789abcdef";
  for (size_t nulAt = 0; nulAt < plain.size(); ++nulAt) {
    std::wstring text = plain;
    text[nulAt] = L'\0';
    std::vector<unsigned char> out(text.size() / 2, 0xEE);
    const size_t pairs = scriptdata::DecodeHexPairs(text.data(), out.size(), out.data());
    ASSERT_EQ(nulAt / 2, pairs) << "NUL at " << nulAt;
    EXPECT_EQ(Decode(plain.substr(0, nulAt)), std::vector<unsigned char>(out.begin(), out.begin() + pairs));
    for (size_t i = pairs; i < out.size(); ++i) EXPECT_EQ(0xEE, out[i]) << "written past the NUL";
  }
  EXPECT_EQ(0u, scriptdata::DecodeHexPairs(nullptr, 4, nullptr));
}

// Long plain runs are decoded in blocks; an odd pair anywhere in a block must
// still be read exactly, and its neighbours by the table.
TEST(HexPairs, OddPairInsideLongPlainRuns) {
  const std::wstring plain = L"0123456789abcdefABCDEF00ff10203040506070";
  const std::wstring expectedPlain = plain;
  for (size_t at = 0; at + 1 < plain.size(); at += 2) {
    for (const wchar_t* odd : {L" 5", L"-1", L"+F", L"G1", L"1G", L"\x0661\x0662"}) {
      std::wstring text = plain;
      text[at] = odd[0];
      text[at + 1] = odd[1];
      const std::vector<unsigned char> bytes = Decode(text);
      ASSERT_EQ(plain.size() / 2, bytes.size());
      for (size_t i = 0; i < bytes.size(); ++i) {
        const wchar_t pair[3] = {text[2 * i], text[2 * i + 1], 0};
        EXPECT_EQ(static_cast<unsigned char>(wcstol(pair, nullptr, 16) & 0xFF), bytes[i])
            << "pair " << i << " with the odd pair at " << at / 2;
      }
    }
  }
}

// Characters that can matter to wcstol: all of Latin-1, and the other white
// space and digit forms of the character set.
std::vector<wchar_t> InterestingCharacters() {
  std::vector<wchar_t> chars;
  for (wchar_t c = 1; c < 0x100; ++c) chars.push_back(c);
  const wchar_t ranges[][2] = {
      {0x0660, 0x0669}, {0x06F0, 0x06F9}, {0x0966, 0x096F}, {0x0E50, 0x0E59},  // other decimal digits
      {0xFF10, 0xFF19}, {0xFF21, 0xFF26}, {0xFF41, 0xFF46},                    // full-width digits, letters
      {0x2000, 0x200B}, {0x2028, 0x2029}, {0x202F, 0x202F}, {0x205F, 0x205F},  // spaces
      {0x1680, 0x1680}, {0x3000, 0x3000}, {0xFEFF, 0xFEFF}, {0xFF0B, 0xFF0D},  // more spaces, signs
      {0x00B2, 0x00B3}, {0x2070, 0x2079}, {0xD800, 0xD800}, {0xFFFF, 0xFFFF},
  };
  for (const auto& r : ranges)
    for (unsigned c = r[0]; c <= static_cast<unsigned>(r[1]); ++c) chars.push_back(static_cast<wchar_t>(c));
  return chars;
}

// Every pair over those characters must give what wcstol gives for that pair
// alone. Each pair stands eight times in a row, so that it fills whole blocks of
// the block-wise path; the text is read once aligned and once shifted by half a
// block, so that every pair also shares blocks with its neighbours.
TEST(HexPairs, EveryPairReadsAsWcstolReadsIt) {
  const std::vector<wchar_t> chars = InterestingCharacters();
  constexpr size_t kRepeat = 8;
  for (size_t shift : {size_t(0), size_t(4)}) {
    std::wstring text(2 * shift, L'0');
    text.reserve(text.size() + chars.size() * chars.size() * 2 * kRepeat);
    for (wchar_t hi : chars)
      for (wchar_t lo : chars)
        for (size_t r = 0; r < kRepeat; ++r) {
          text.push_back(hi);
          text.push_back(lo);
        }
    const std::vector<unsigned char> bytes = Decode(text);
    ASSERT_EQ(shift + chars.size() * chars.size() * kRepeat, bytes.size());
    size_t mismatches = 0;
    for (size_t i = shift; i < bytes.size(); ++i) {
      const wchar_t pair[3] = {text[2 * i], text[2 * i + 1], 0};
      const unsigned char expected = static_cast<unsigned char>(wcstol(pair, nullptr, 16) & 0xFF);
      if (bytes[i] != expected && ++mismatches <= 10) {
        ADD_FAILURE() << "pair U+" << std::hex << unsigned(pair[0]) << " U+" << unsigned(pair[1])
                      << ": got " << unsigned(bytes[i]) << ", wcstol " << unsigned(expected);
      }
      if ((i - shift) % kRepeat == 0) {
        EXPECT_EQ(expected, scriptdata::ReadHexPair(pair[0], pair[1]));
      }
    }
    EXPECT_EQ(0u, mismatches) << "shift " << shift;
  }
}

}  // namespace
