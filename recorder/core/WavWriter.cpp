#include "WavWriter.h"

#include <cstdio>
#include <cstring>
#include <memory>

namespace nelo::rec {
namespace {

void Put32(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
    p[3] = static_cast<uint8_t>(v >> 24);
}

void Put16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

}  // namespace

std::array<uint8_t, kWavHeaderBytes> MakeWavHeader(uint32_t nChunkSize, uint32_t nDataSize) {
    std::array<uint8_t, kWavHeaderBytes> h{};
    std::memcpy(&h[0], "RIFF", 4);
    Put32(&h[4], nChunkSize);
    std::memcpy(&h[8], "WAVE", 4);
    std::memcpy(&h[12], "fmt ", 4);
    Put32(&h[16], 16);
    Put16(&h[20], 1);       // PCM
    Put16(&h[22], 1);       // mono
    Put32(&h[24], 16000);   // samples per second
    Put32(&h[28], 32000);   // bytes per second
    Put16(&h[32], 2);       // block align
    Put16(&h[34], 16);      // bits per sample
    std::memcpy(&h[36], "data", 4);
    Put32(&h[40], nDataSize);
    return h;
}

bool WriteRecordingWav(const wchar_t* path, const int16_t* preVoice, int32_t nPreVoiceSamples,
                       const uint8_t* voice, int32_t nVoiceBytes) {
    std::unique_ptr<std::FILE, FileCloser> file(_wfopen(path, L"wb"));
    if (!file) return false;
    std::FILE* f = file.get();

    // Provisional sizes as the recorder has always written them; the real
    // ones replace them below.
    auto header = MakeWavHeader(static_cast<uint32_t>(nVoiceBytes) + 3876u,
                                static_cast<uint32_t>(nVoiceBytes) + 3840u);
    bool complete = std::fwrite(header.data(), 1, header.size(), f) == header.size();
    if (complete && nPreVoiceSamples > 0)
        complete = std::fwrite(preVoice, sizeof(int16_t), nPreVoiceSamples, f) == static_cast<size_t>(nPreVoiceSamples);
    if (complete && nVoiceBytes > 0)
        complete = std::fwrite(voice, 1, nVoiceBytes, f) == static_cast<size_t>(nVoiceBytes);

    const long length = std::ftell(f);
    if (complete && length >= kWavHeaderBytes) {
        header = MakeWavHeader(static_cast<uint32_t>(length - 8), static_cast<uint32_t>(length - 44));
        complete = std::fseek(f, 0, SEEK_SET) == 0 && std::fwrite(header.data(), 1, header.size(), f) == header.size() &&
                   std::fseek(f, 0, SEEK_END) == 0;
    }
    // A full disk often shows only when the buffered bytes go out.
    complete = std::fflush(f) == 0 && complete;
    complete = std::fclose(file.release()) == 0 && complete;
    if (!complete) {
        // A cut recording must not pass for a whole one: it goes, and the
        // caller reports the file as not written.
        _wremove(path);
        return false;
    }
    return true;
}

}  // namespace nelo::rec
