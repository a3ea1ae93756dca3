// Reading the recordings the demo draws: 16-bit PCM mono, extra chunks allowed,
// everything else refused with a reason.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "WavSamples.h"

namespace {

void Put32(std::vector<uint8_t>& v, uint32_t x) {
    for (int i = 0; i < 4; ++i) v.push_back(static_cast<uint8_t>(x >> (8 * i)));
}
void Put16(std::vector<uint8_t>& v, uint16_t x) {
    v.push_back(static_cast<uint8_t>(x));
    v.push_back(static_cast<uint8_t>(x >> 8));
}
void PutId(std::vector<uint8_t>& v, const char* id) { v.insert(v.end(), id, id + 4); }

struct CWavShape {
    uint16_t format = 1, channels = 1, bits = 16;
    uint32_t rate = 16000;
    std::vector<int16_t> samples = {0, 1, -1, 32767, -32768};
    bool listChunkFirst = false;  // an odd-sized LIST chunk before fmt, padded
    uint32_t dataLengthExtra = 0; // a data length that claims more than is there
    bool dataBeforeFormat = false;
};

std::vector<uint8_t> MakeWav(const CWavShape& s) {
    std::vector<uint8_t> body;
    PutId(body, "WAVE");
    if (s.listChunkFirst) {
        PutId(body, "LIST");
        Put32(body, 3);
        body.insert(body.end(), {'a', 'b', 'c', 0});  // three bytes and the pad byte
    }
    std::vector<uint8_t> fmt;
    PutId(fmt, "fmt ");
    Put32(fmt, 16);
    Put16(fmt, s.format);
    Put16(fmt, s.channels);
    Put32(fmt, s.rate);
    Put32(fmt, s.rate * s.channels * s.bits / 8);
    Put16(fmt, static_cast<uint16_t>(s.channels * s.bits / 8));
    Put16(fmt, s.bits);
    std::vector<uint8_t> data;
    PutId(data, "data");
    Put32(data, static_cast<uint32_t>(s.samples.size() * 2) + s.dataLengthExtra);
    for (int16_t x : s.samples) Put16(data, static_cast<uint16_t>(x));
    if (s.dataBeforeFormat) {
        body.insert(body.end(), data.begin(), data.end());
        body.insert(body.end(), fmt.begin(), fmt.end());
    } else {
        body.insert(body.end(), fmt.begin(), fmt.end());
        body.insert(body.end(), data.begin(), data.end());
    }
    std::vector<uint8_t> file;
    PutId(file, "RIFF");
    Put32(file, static_cast<uint32_t>(body.size()));
    file.insert(file.end(), body.begin(), body.end());
    return file;
}

TEST(WavSamples, ReadsPlainAndChunkedFiles) {
    for (bool list : {false, true}) {
        CWavShape shape;
        shape.listChunkFirst = list;
        CWavSamples wav;
        std::string error;
        ASSERT_TRUE(ReadWavSamples(MakeWav(shape), wav, error)) << error;
        EXPECT_EQ(wav.nSampleRate, 16000u);
        EXPECT_EQ(wav.samples, shape.samples);
    }
}

TEST(WavSamples, RefusesWhatItCannotDraw) {
    struct Case {
        const char* what;
        CWavShape shape;
        size_t cutTo;  // 0: whole file
    };
    std::vector<Case> cases;
    auto add = [&](const char* what, void (*change)(CWavShape&), size_t cutTo = 0) {
        Case c{what, CWavShape(), cutTo};
        change(c.shape);
        cases.push_back(c);
    };
    add("not PCM", [](CWavShape& s) { s.format = 3; });
    add("stereo", [](CWavShape& s) { s.channels = 2; });
    add("8-bit", [](CWavShape& s) { s.bits = 8; });
    add("rate 0", [](CWavShape& s) { s.rate = 0; });
    add("data longer than the file", [](CWavShape& s) { s.dataLengthExtra = 2; });
    add("data before format", [](CWavShape& s) { s.dataBeforeFormat = true; });
    add("only the RIFF header", [](CWavShape&) {}, 12);
    add("too short for RIFF", [](CWavShape&) {}, 7);
    for (const Case& c : cases) {
        std::vector<uint8_t> bytes = MakeWav(c.shape);
        if (c.cutTo) bytes.resize(c.cutTo);
        CWavSamples wav;
        std::string error;
        EXPECT_FALSE(ReadWavSamples(bytes, wav, error)) << c.what;
        EXPECT_FALSE(error.empty()) << c.what;
        EXPECT_TRUE(wav.samples.empty()) << c.what;
    }
    // Not a RIFF file at all.
    std::vector<uint8_t> text = {'R', 'I', 'F', 'X', 0, 0, 0, 0, 'W', 'A', 'V', 'E'};
    CWavSamples wav;
    std::string error;
    EXPECT_FALSE(ReadWavSamples(text, wav, error));
}

}  // namespace
