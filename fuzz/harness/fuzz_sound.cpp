// What the engine makes of the sound bytes and e-codes scripts hand it:
// decoding never yields more than the scoring limit allows after cutting, a
// refusal is a known code, and an e-code refusal leaves the options alone.
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "ECode.h"
#include "ErrorCodes.h"
#include "FuzzInput.h"
#include "SoundData.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in(data, size);
    const uint32_t offsetMs = in.Take<uint32_t>();
    const int lengthMs = in.Take<int32_t>();
    const bool fileOnly = (in.Take<uint8_t>() & 1) != 0;
    uint8_t ecode[8] = {};
    size_t ecodeBytes = 0;
    const uint8_t* e = in.TakeBytes(sizeof ecode, ecodeBytes);
    for (size_t i = 0; i < ecodeBytes; ++i) ecode[i] = e[i];
    size_t got = 0;
    const uint8_t* sound = in.TakeBytes(in.Remaining(), got);
    // An exact-size copy: reads past the sound's end are caught.
    const std::vector<uint8_t> bytes(sound, sound + got);

    std::vector<int16_t> samples;
    const int decoded = fileOnly ? nelo::DecodeWavFile(bytes.data(), bytes.size(), samples)
                                 : nelo::DecodeSound(bytes.data(), bytes.size(), samples);
    FUZZ_CHECK(nelo::ErrorText(decoded) != nullptr);
    if (decoded == nelo::kOk) {
        FUZZ_CHECK(samples.size() <= bytes.size() / 2);
        const size_t before = samples.size();
        const int cut = nelo::CutSound(samples, offsetMs, lengthMs);
        FUZZ_CHECK(nelo::ErrorText(cut) != nullptr);
        if (cut == nelo::kOk) FUZZ_CHECK(samples.size() <= before && samples.size() <= nelo::kMaxScoredSamples);
    }

    nelo::ScoringOptions options;
    options.strictness = -77;
    const int ecodeResult = nelo::DecodeECode(ecode, options);
    FUZZ_CHECK(nelo::ErrorText(ecodeResult) != nullptr);
    if (ecodeResult != nelo::kOk) FUZZ_CHECK(options.strictness == -77);
    else FUZZ_CHECK(options.strictness >= 1 && options.strictness <= 5);
    return 0;
}
