// Byte-level helpers for engine tests: WAV files with chosen header fields,
// and lessons as bytes.
#pragma once
#include <cstdint>
#include <vector>

#include "ByteWriter.h"
#include "Lesson.h"
#include "LessonFormat.h"
#include "SyntheticSpeech.h"

namespace nelo::test {

struct WavHeader {
    uint16_t format = 1, channels = 1, bits = 16, blockAlign = 2;
    uint32_t rate = 16000;
};

inline std::vector<uint8_t> WavOf(const std::vector<int16_t>& samples, const WavHeader& h = WavHeader()) {
    ByteWriter w;
    const uint32_t data = static_cast<uint32_t>(samples.size() * 2);
    w.tag("RIFF"); w.u32(36 + data); w.tag("WAVE");
    w.tag("fmt "); w.u32(16); w.u16(h.format); w.u16(h.channels); w.u32(h.rate);
    w.u32(h.rate * h.blockAlign); w.u16(h.blockAlign); w.u16(h.bits);
    w.tag("data"); w.u32(data);
    for (int16_t s : samples) w.i16(s);
    return std::move(w.bytes());
}

// A short lesson of four synthetic words, and its bytes.
inline std::vector<SynthWord> DefaultWords() { return Words({"sai", "mushe", "kot", "faen"}); }
inline Lesson DefaultLesson() { return MakeLesson(DefaultWords()); }
inline std::vector<uint8_t> DefaultLessonBytes() { return WriteLesson(DefaultLesson()); }

}  // namespace nelo::test
