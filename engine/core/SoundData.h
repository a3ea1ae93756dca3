// Turning the bytes of a sound into 16 kHz samples: a RIFF/WAVE file of
// 16-bit mono PCM at 16 kHz, or bare 16-bit little-endian samples.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace nelo {

constexpr size_t kMaxScoredSamples = 60 * 16000;        // one minute is scored at most
constexpr size_t kMaxSoundBytes = 64u * 1024u * 1024u;  // larger inputs are refused unread

// A WAV file's bytes (anything starting with "RIFF") or raw samples. Returns
// an ErrorCode.
int DecodeSound(const uint8_t* data, size_t size, std::vector<int16_t>& samples);

// Same for a WAV file only, as read from disk; bare samples are refused, since a
// file of another format would otherwise be scored as noise.
int DecodeWavFile(const uint8_t* data, size_t size, std::vector<int16_t>& samples);

// Applies the caller's offset and length in milliseconds (length 0 or
// negative: to the end) and the scoring limit. Returns an ErrorCode.
int CutSound(std::vector<int16_t>& samples, uint32_t offsetMs, int lengthMs);

}  // namespace nelo
