// The spoken sentences made by make_speech.sh, found through NELO_SPEECH_DIR
// (a Unix path, reached through Wine's Z: drive).
#pragma once
#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "TempFile.h"

namespace nelo::rec::test {

inline std::wstring SpeechDir() {
    const char* dir = std::getenv("NELO_SPEECH_DIR");
    if (!dir || !*dir) return L"";
    std::wstring out = dir[0] == '/' ? L"Z:" : L"";
    for (const char* p = dir; *p; ++p) out += (*p == '/') ? L'\\' : static_cast<wchar_t>(*p);
    return out;
}

inline std::wstring SpeechFile(const wchar_t* name) { return SpeechDir() + L"\\" + name; }

// The samples of a 16-bit PCM WAV's data chunk; empty if the file is missing.
inline std::vector<int16_t> ReadWavSamples(const std::wstring& path) {
    const auto bytes = ReadAll(path.c_str());
    size_t at = 12;
    while (at + 8 <= bytes.size()) {
        const uint32_t size = Le32(bytes, at + 4);
        if (std::memcmp(bytes.data() + at, "data", 4) == 0) {
            const size_t n = std::min<size_t>(size, bytes.size() - at - 8) / 2;
            std::vector<int16_t> samples(n);
            std::memcpy(samples.data(), bytes.data() + at + 8, n * 2);
            return samples;
        }
        at += 8 + size + (size & 1);
    }
    return {};
}

// Where speech really starts and ends: the first and last 10 ms frame whose
// RMS exceeds 2% of full scale.
struct SpeechSpan {
    size_t start = 0, end = 0;
};

inline SpeechSpan FindSpeech(const std::vector<int16_t>& s) {
    SpeechSpan span;
    bool found = false;
    for (size_t f = 0; f + 160 <= s.size(); f += 160) {
        double sum = 0;
        for (size_t k = f; k < f + 160; ++k) sum += double(s[k]) * s[k];
        if (sum / 160 > 655.0 * 655.0) {
            if (!found) span.start = f;
            found = true;
            span.end = f + 160;
        }
    }
    return span;
}

}  // namespace nelo::rec::test
