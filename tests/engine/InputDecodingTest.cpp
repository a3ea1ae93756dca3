// What the engine accepts from callers besides lessons: sounds, their cuts,
// e-codes, and the UTF-8 rule of lesson texts.
#include <gtest/gtest.h>

#include "ECode.h"
#include "ErrorCodes.h"
#include "SoundData.h"
#include "Utf8.h"
#include "support/TestData.h"

using namespace nelo;
using namespace nelo::test;

TEST(SoundDecoding, WavHeaderVariants) {
    const std::vector<int16_t> samples = {1, -2, 300, -32768, 32767};
    struct Case {
        const char* name;
        WavHeader header;
        int expected;
    } cases[] = {
        {"16 kHz mono 16-bit PCM", WavHeader{}, kOk},
        {"stereo", WavHeader{1, 2, 16, 4, 16000}, kErrSoundFormat},
        {"8 kHz", WavHeader{1, 1, 16, 2, 8000}, kErrSoundFormat},
        {"44.1 kHz", WavHeader{1, 1, 16, 2, 44100}, kErrSoundFormat},
        {"8-bit", WavHeader{1, 1, 8, 1, 16000}, kErrSoundFormat},
        {"float", WavHeader{3, 1, 32, 4, 16000}, kErrSoundFormat},
        {"A-law", WavHeader{6, 1, 8, 1, 16000}, kErrSoundFormat},
    };
    for (const Case& c : cases) {
        const std::vector<uint8_t> wav = WavOf(samples, c.header);
        std::vector<int16_t> out;
        EXPECT_EQ(DecodeWavFile(wav.data(), wav.size(), out), c.expected) << c.name;
        EXPECT_EQ(DecodeSound(wav.data(), wav.size(), out), c.expected) << c.name;
        if (c.expected == kOk) {
            EXPECT_EQ(out, samples);
        }
    }
}

TEST(SoundDecoding, MalformedWavFiles) {
    const std::vector<uint8_t> good = WavOf({5, 6, 7, 8});
    std::vector<int16_t> out;
    // Every cut of a valid file is refused, never read past.
    for (size_t n = 1; n < good.size(); ++n) {
        std::vector<uint8_t> cut(good.begin(), good.begin() + n);
        EXPECT_NE(DecodeWavFile(cut.data(), cut.size(), out), kOk) << n;
    }
    std::vector<uint8_t> notWave = good;
    notWave[8] = 'X';
    EXPECT_EQ(DecodeWavFile(notWave.data(), notWave.size(), out), kErrSoundFormat);
    std::vector<uint8_t> oddData = good;
    oddData[40] = 7;  // data chunk size 7: half a sample
    oddData.push_back(0);
    EXPECT_EQ(DecodeWavFile(oddData.data(), oddData.size(), out), kErrSoundMalformed);
    std::vector<uint8_t> hugeData = good;
    hugeData[43] = 0x7F;  // data size far past the file
    EXPECT_EQ(DecodeWavFile(hugeData.data(), hugeData.size(), out), kErrSoundMalformed);
    // A data chunk before any format chunk says nothing about its samples.
    std::vector<uint8_t> noFormat(good.begin(), good.begin() + 12);
    noFormat.insert(noFormat.end(), good.begin() + 36, good.end());
    EXPECT_EQ(DecodeWavFile(noFormat.data(), noFormat.size(), out), kErrSoundMalformed);
}

TEST(SoundDecoding, ExtraChunksAndExtensibleFormat) {
    std::vector<uint8_t> wav = WavOf({9, 10});
    // An odd-sized LIST chunk before data, padded to even length as RIFF requires.
    const uint8_t list[] = {'L', 'I', 'S', 'T', 3, 0, 0, 0, 'a', 'b', 'c', 0};
    wav.insert(wav.begin() + 36, list, list + sizeof list);
    std::vector<int16_t> out;
    ASSERT_EQ(DecodeWavFile(wav.data(), wav.size(), out), kOk);
    EXPECT_EQ(out, (std::vector<int16_t>{9, 10}));

    ByteWriter w;  // WAVE_FORMAT_EXTENSIBLE with the PCM sub-format
    w.tag("RIFF"); w.u32(0); w.tag("WAVE");
    w.tag("fmt "); w.u32(40); w.u16(0xFFFE); w.u16(1); w.u32(16000); w.u32(32000); w.u16(2); w.u16(16);
    w.u16(22); w.u16(16); w.u32(4); w.u32(1); w.u16(0); w.u16(0x10); w.u32(0x800000AA); w.u32(0x719B3800);
    w.tag("data"); w.u32(2); w.i16(-5);
    ASSERT_EQ(DecodeWavFile(w.bytes().data(), w.size(), out), kOk);
    EXPECT_EQ(out, std::vector<int16_t>{-5});
}

TEST(SoundDecoding, RawSamplesOnlyFromMemory) {
    const uint8_t raw[] = {0x01, 0x00, 0xFF, 0xFF, 0x00, 0x80};
    std::vector<int16_t> out;
    ASSERT_EQ(DecodeSound(raw, sizeof raw, out), kOk);
    EXPECT_EQ(out, (std::vector<int16_t>{1, -1, -32768}));
    EXPECT_EQ(DecodeSound(raw, 5, out), kErrSoundMalformed);
    // From a file, bytes without a RIFF header are another format, not samples.
    EXPECT_EQ(DecodeWavFile(raw, sizeof raw, out), kErrSoundFormat);
    EXPECT_EQ(DecodeSound(raw, 0, out), kErrInvalidArgument);
    EXPECT_EQ(DecodeSound(nullptr, 4, out), kErrInvalidArgument);
}

TEST(SoundDecoding, OffsetAndLengthInMilliseconds) {
    struct Case {
        uint32_t offset;
        int length;
        int expected;
        size_t first, count;  // of the kept samples, when accepted
    } cases[] = {
        {0, -1, kOk, 0, 16000},
        {0, 0, kOk, 0, 16000},        // 0 means to the end, as -1 does
        {250, -1, kOk, 4000, 12000},
        {250, 500, kOk, 4000, 8000},
        {0, 1000, kOk, 0, 16000},
        {0, 1001, kErrSoundRange, 0, 0},
        {999, 1, kOk, 15984, 16},
        {1000, -1, kErrSoundRange, 0, 0},
        {0xFFFFFFFF, -1, kErrSoundRange, 0, 0},
        {500, 0x7FFFFFFF, kErrSoundRange, 0, 0},
    };
    for (const Case& c : cases) {
        std::vector<int16_t> s(16000);
        for (size_t i = 0; i < s.size(); ++i) s[i] = static_cast<int16_t>(i % 30000);
        EXPECT_EQ(CutSound(s, c.offset, c.length), c.expected) << c.offset << "/" << c.length;
        if (c.expected != kOk) continue;
        ASSERT_EQ(s.size(), c.count);
        EXPECT_EQ(s.front(), static_cast<int16_t>(c.first % 30000));
    }
    std::vector<int16_t> tooLong(kMaxScoredSamples + 16);
    EXPECT_EQ(CutSound(tooLong, 0, -1), kErrSoundTooLong);
    EXPECT_EQ(CutSound(tooLong, 1, -1), kOk);
}

TEST(ECode, Values) {
    struct Case {
        const char* name;
        uint8_t bytes[8];
        int expected;
        int strictness = 0;
        bool fluency = false, missedZero = false;
        int pauseMs = 0, threshold = 0;
    } cases[] = {
        {"all zero: defaults", {0, 0, 0, 0, 0, 0, 0, 0}, kOk, 3, true, false, 300, 35},
        {"strict, no fluency", {5, 1, 0, 0, 0, 0, 0, 0}, kOk, 5, false, false, 300, 35},
        {"lenient, missed zero, 500 ms, 50", {1, 2, 50, 50, 0, 0, 0, 0}, kOk, 1, true, true, 500, 50},
        {"strictness 6", {6, 0, 0, 0, 0, 0, 0, 0}, kErrECodeInvalid},
        {"unknown flag", {0, 4, 0, 0, 0, 0, 0, 0}, kErrECodeInvalid},
        {"pause too short", {0, 0, 4, 0, 0, 0, 0, 0}, kErrECodeInvalid},
        {"pause too long", {0, 0, 201, 0, 0, 0, 0, 0}, kErrECodeInvalid},
        {"threshold over 100", {0, 0, 0, 101, 0, 0, 0, 0}, kErrECodeInvalid},
        {"reserved byte", {0, 0, 0, 0, 0, 0, 0, 1}, kErrECodeInvalid},
    };
    for (const Case& c : cases) {
        ScoringOptions o;
        o.strictness = 99;  // a refusal must leave the options as they were
        EXPECT_EQ(DecodeECode(c.bytes, o), c.expected) << c.name;
        if (c.expected != kOk) {
            EXPECT_EQ(o.strictness, 99) << c.name;
            continue;
        }
        EXPECT_EQ(o.strictness, c.strictness) << c.name;
        EXPECT_EQ(o.useFluency, c.fluency) << c.name;
        EXPECT_EQ(o.missedWordsZero, c.missedZero) << c.name;
        EXPECT_EQ(o.pauseMs, c.pauseMs) << c.name;
        EXPECT_EQ(o.readThreshold, c.threshold) << c.name;
    }
    ScoringOptions o;
    o.strictness = 1;
    ASSERT_EQ(DecodeECode(nullptr, o), kOk);
    EXPECT_EQ(o.strictness, 3);
}

TEST(Utf8, LengthInUtf16Units) {
    struct Case {
        std::string text;
        long units;
    } cases[] = {
        {"", 0},
        {"abc", 3},
        {"caf\xC3\xA9", 4},
        {"\xE4\xBD\xA0\xE5\xA5\xBD", 2},
        {"\xF0\x9F\x98\x80", 2},           // outside the BMP: a surrogate pair
        {"\xC3", -1},                      // cut sequence
        {"\xC1\xBF", -1},                  // overlong
        {"\xE0\x80\xAF", -1},              // overlong
        {"\xED\xB0\x80", -1},              // surrogate
        {"\xF4\x90\x80\x80", -1},          // past U+10FFFF
        {"\xFF", -1},
        {std::string("a\0", 2), -1},
    };
    for (const Case& c : cases) EXPECT_EQ(Utf16Length(c.text), c.units) << c.text;
}

TEST(ErrorTexts, EveryCodeHasTextAndOthersNone) {
    for (int code : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 20, 30, 31, 32, 33, 34, 35, 36, 37, 40, 41, 42, 43, 44, 45, 50, 60}) {
        ASSERT_NE(ErrorText(code), nullptr) << code;
        EXPECT_GT(std::string(ErrorText(code)).size(), 5u);
    }
    for (int code : {-1, 12, 19, 21, 38, 46, 61, 1000}) EXPECT_EQ(ErrorText(code), nullptr) << code;
}
