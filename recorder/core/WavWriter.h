// The recording file: RIFF/WAVE, PCM, mono, 16000 Hz, 16-bit, 44-byte header,
// pre-voice samples then the voice segment.
#pragma once
#include <array>
#include <cstdint>

namespace nelo::rec {

constexpr int kWavHeaderBytes = 44;

// The header's bytes for the given chunk size (file length - 8) and data
// size (file length - 44), little-endian.
std::array<uint8_t, kWavHeaderBytes> MakeWavHeader(uint32_t nChunkSize, uint32_t nDataSize);

// Writes the file in the order readers of an interrupted file can still
// trust: a provisional header, the samples, then the header again with the
// sizes taken from the real file length. Returns false when the file cannot
// be opened (create or truncate) or when any write, seek, flush or the close
// fails (a full disk): the incomplete file is then removed, so no cut
// recording is ever reported as written.
bool WriteRecordingWav(const wchar_t* path, const int16_t* preVoice, int32_t nPreVoiceSamples,
                       const uint8_t* voice, int32_t nVoiceBytes);

}  // namespace nelo::rec
