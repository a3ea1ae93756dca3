// The recording file's bytes, alone and as the capture core hands them over.
#include <gtest/gtest.h>

#include <cstring>

#include "SignalGen.h"
#include "TempFile.h"
#include "WavWriter.h"

namespace nelo::rec {
namespace {

using test::IsRecordingWav;
using test::ReadAll;
using test::TempPath;

TEST(WavHeader, LaysOutEveryFieldLittleEndian) {
    const uint8_t expected[44] = {
        'R', 'I', 'F', 'F', 0x24, 0x01, 0x00, 0x00, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ',
        16, 0, 0, 0, 1, 0, 1, 0, 0x80, 0x3E, 0, 0, 0x00, 0x7D, 0, 0, 2, 0, 16, 0,
        'd', 'a', 't', 'a', 0x00, 0x01, 0x00, 0x00};
    const auto header = MakeWavHeader(0x124, 0x100);
    EXPECT_EQ(0, std::memcmp(header.data(), expected, 44));
}

TEST(WavWriter, WritesPreVoiceThenVoiceWithSizesFromTheFileLength) {
    const auto pre = test::Noise(5000, 3000, 1);
    const auto voice = test::Noise(777, 3000, 2);  // an odd sample count is fine, bytes are bytes
    TempPath path(L"wavw");
    ASSERT_TRUE(WriteRecordingWav(path.c_str(), pre.data(), 5000, reinterpret_cast<const uint8_t*>(voice.data()),
                                  777 * 2 - 1));
    const auto bytes = ReadAll(path.c_str());
    ASSERT_TRUE(IsRecordingWav(bytes));
    ASSERT_EQ(bytes.size(), 44u + 10000u + 1553u);
    EXPECT_EQ(0, std::memcmp(bytes.data() + 44, pre.data(), 10000));
    EXPECT_EQ(0, std::memcmp(bytes.data() + 44 + 10000, voice.data(), 1553));
}

TEST(WavWriter, EmptyRecordingIsAHeaderOnly) {
    TempPath path(L"wavw");
    ASSERT_TRUE(WriteRecordingWav(path.c_str(), nullptr, 0, nullptr, 0));
    const auto bytes = ReadAll(path.c_str());
    ASSERT_EQ(bytes.size(), 44u);
    EXPECT_EQ(test::Le32(bytes, 4), 36u);
    EXPECT_EQ(test::Le32(bytes, 40), 0u);
}

TEST(WavWriter, ReplacesAnOlderLongerFileEntirely) {
    TempPath path(L"wavw");
    const auto big = test::Noise(20000, 100, 3);
    ASSERT_TRUE(WriteRecordingWav(path.c_str(), big.data(), 20000, nullptr, 0));
    ASSERT_TRUE(WriteRecordingWav(path.c_str(), nullptr, 0, nullptr, 0));
    EXPECT_EQ(ReadAll(path.c_str()).size(), 44u);
}

TEST(WavWriter, RefusesAPathThatCannotBeCreated) {
    wchar_t dir[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    const std::wstring path = std::wstring(dir) + L"no-such-folder-4711\\x.wav";
    EXPECT_FALSE(WriteRecordingWav(path.c_str(), nullptr, 0, nullptr, 0));
}

// The core's hand-over: more than 8000 pre-voice samples give the newest 8000,
// then the voice segment, bounded as the core says.
TEST(WavWriter, RecordingFileHoldsTheNewest8000PreVoiceSamplesThenTheVoice) {
    test::CoreDriver d;
    d.Settle();
    std::vector<int16_t> quiet;
    for (uint32_t i = 0; i < 12 * kBufferSamples; ++i) quiet.push_back(test::QuietMark(i));
    const auto loud = test::Noise(5 * kBufferSamples, 8000, 4);
    d.FeedAll(test::Concat({quiet, loud}));
    ASSERT_EQ(d.voiceNotices(), 1);
    d.Core().RequestStop();
    d.Feed(loud.data(), kBufferSamples);
    ASSERT_EQ(d.end(), CaptureEnd::Stop);

    TempPath path(L"wavw");
    const CaptureCore& core = d.Core();
    ASSERT_TRUE(WriteRecordingWav(path.c_str(), core.PreVoiceForFile(), core.PreVoiceSamplesForFile(),
                                  core.VoiceData(), core.VoiceBytesForFile()));
    const auto bytes = ReadAll(path.c_str());
    ASSERT_TRUE(IsRecordingWav(bytes));
    ASSERT_EQ(bytes.size(), 44u + 16000u + loud.size() * 2);
    EXPECT_EQ(0, std::memcmp(bytes.data() + 44, quiet.data() + quiet.size() - 8000, 16000));
    EXPECT_EQ(0, std::memcmp(bytes.data() + 44 + 16000, loud.data(), loud.size() * 2));
}

}  // namespace
}  // namespace nelo::rec
