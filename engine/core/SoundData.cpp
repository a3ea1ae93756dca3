#include "SoundData.h"

#include <cstring>

#include "ByteReader.h"
#include "ErrorCodes.h"

namespace nelo {
namespace {

int ReadSamples(const uint8_t* p, size_t bytes, std::vector<int16_t>& samples) {
    if (bytes % 2) return kErrSoundMalformed;
    samples.resize(bytes / 2);
    for (size_t i = 0; i < samples.size(); ++i) samples[i] = ReadI16At(p + 2 * i);
    return kOk;
}

}  // namespace

int DecodeWavFile(const uint8_t* data, size_t size, std::vector<int16_t>& samples) {
    if (!data) return kErrInvalidArgument;
    if (size > kMaxSoundBytes) return kErrSoundTooLong;
    ByteReader r(data, size);
    const uint8_t *riff = nullptr, *wave = nullptr;
    uint32_t riffSize = 0;
    if (!r.take(4, riff) || std::memcmp(riff, "RIFF", 4) != 0) return kErrSoundFormat;
    if (!r.readU32(riffSize) || !r.take(4, wave)) return kErrSoundMalformed;
    if (std::memcmp(wave, "WAVE", 4) != 0) return kErrSoundFormat;
    bool haveFormat = false;
    while (r.remaining() > 0) {
        const uint8_t* id = nullptr;
        uint32_t chunkSize = 0;
        if (!r.take(4, id) || !r.readU32(chunkSize)) return kErrSoundMalformed;
        const uint8_t* payload = nullptr;
        if (!r.take(chunkSize, payload)) return kErrSoundMalformed;
        if (std::memcmp(id, "fmt ", 4) == 0) {
            ByteReader f(payload, chunkSize);
            uint16_t tag = 0, channels = 0, blockAlign = 0, bits = 0;
            uint32_t rate = 0, byteRate = 0;
            if (!f.readU16(tag) || !f.readU16(channels) || !f.readU32(rate) || !f.readU32(byteRate) ||
                !f.readU16(blockAlign) || !f.readU16(bits))
                return kErrSoundMalformed;
            bool pcm = tag == 1;
            if (tag == 0xFFFE) {  // extensible: the sub-format decides
                uint16_t extra = 0, validBits = 0;
                uint32_t mask = 0, sub = 0;
                if (!f.readU16(extra) || extra < 22 || !f.readU16(validBits) || !f.readU32(mask) || !f.readU32(sub))
                    return kErrSoundMalformed;
                pcm = sub == 1 && validBits == 16;
            }
            if (!pcm || channels != 1 || rate != 16000 || bits != 16 || blockAlign != 2) return kErrSoundFormat;
            haveFormat = true;
        } else if (std::memcmp(id, "data", 4) == 0) {
            if (!haveFormat) return kErrSoundMalformed;
            return ReadSamples(payload, chunkSize, samples);
        }
        if ((chunkSize & 1) && r.remaining() > 0) r.skip(1);  // RIFF pads chunks to even sizes
    }
    return kErrSoundMalformed;
}

int DecodeSound(const uint8_t* data, size_t size, std::vector<int16_t>& samples) {
    if (!data || size == 0) return kErrInvalidArgument;
    if (size > kMaxSoundBytes) return kErrSoundTooLong;
    if (size >= 4 && std::memcmp(data, "RIFF", 4) == 0) return DecodeWavFile(data, size, samples);
    return ReadSamples(data, size, samples);
}

int CutSound(std::vector<int16_t>& samples, uint32_t offsetMs, int lengthMs) {
    const uint64_t perMs = 16;
    const uint64_t begin = offsetMs * perMs;
    if (begin > samples.size() || (begin == samples.size() && !samples.empty())) return kErrSoundRange;
    uint64_t end = samples.size();
    if (lengthMs > 0) {
        end = begin + static_cast<uint64_t>(lengthMs) * perMs;
        if (end > samples.size()) return kErrSoundRange;
    }
    if (end - begin > kMaxScoredSamples) return kErrSoundTooLong;
    samples.erase(samples.begin() + static_cast<std::ptrdiff_t>(end), samples.end());
    samples.erase(samples.begin(), samples.begin() + static_cast<std::ptrdiff_t>(begin));
    return kOk;
}

}  // namespace nelo
