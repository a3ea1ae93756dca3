// The recorder's per-buffer decisions over any sequence of buffers, fill
// counts, settings and stop or cancel requests. Each recording reports
// capturing at most once and before voice, voice at most once, ends once and
// then ignores every buffer; what it hands to the file lies inside its stores.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "CaptureCore.h"
#include "FuzzInput.h"

namespace {

using nelo::rec::BufferOutcome;
using nelo::rec::CaptureCore;
using nelo::rec::CaptureEnd;
using nelo::rec::RecordSettings;

// Small, realistic times most of the time; any 32-bit value now and then.
int32_t TakeTime(FuzzInput& in, bool wild) {
    return wild ? in.Take<int32_t>() : static_cast<int32_t>(in.Take<uint16_t>() % 20000) - 100;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // One core for the whole run, as the worker keeps one for its life: state
    // left by one recording must not leak into the next.
    static CaptureCore core;
    FuzzInput in(data, size);
    const uint8_t mode = in.Take<uint8_t>();
    RecordSettings s;
    s.nNoVoiceTime = TakeTime(in, mode & 1);
    s.nTailSilenceTime = TakeTime(in, mode & 2);
    s.nMaxRecordTime = TakeTime(in, mode & 4);
    s.bAutoStopEN = (mode & 8) ? in.Take<int32_t>() : 1;

    core.StartRecording();
    if (!(mode & 0x10)) core.DeviceOpened();  // a buffer may also come before the open notice

    bool capturing = false, voice = false, ended = false;
    std::vector<uint8_t> buffer(nelo::rec::kBufferBytes);
    int buffers = 0;
    while (in.Remaining() > 0 && buffers++ < 2000) {
        const uint8_t op = in.Take<uint8_t>();
        if (op == 0xFE) core.RequestStop();
        if (op == 0xFF) core.RequestCancel();
        int32_t fill = nelo::rec::kBufferBytes;
        if ((op & 0xE0) == 0x20) fill = in.Take<int16_t>();  // short, empty, negative or oversized
        // Content: a run of input bytes repeated over the buffer (voice needs
        // long periodic signals, which short inputs then still give).
        size_t got = 0;
        const uint8_t* chunk = in.TakeBytes(1 + (op & 0x1F) * 8, got);
        for (size_t i = 0; i < buffer.size(); ++i) buffer[i] = got ? chunk[i % got] : 0;

        const BufferOutcome out = core.OnBuffer(buffer.data(), fill, s);
        if (ended) {
            FUZZ_CHECK(!out.bReportCapturing && !out.bReportVoice && out.end == CaptureEnd::None && !out.bRequeue);
            continue;
        }
        if (out.bReportCapturing) {
            FUZZ_CHECK(!capturing);
            capturing = true;
        }
        if (out.bReportVoice) {
            FUZZ_CHECK(capturing && !voice);
            voice = true;
        }
        if (out.end != CaptureEnd::None) {
            ended = true;
            FUZZ_CHECK(!out.bRequeue);
            FUZZ_CHECK(nelo::rec::EndNoticeCode(out.end) != 0);
        }
        FUZZ_CHECK(core.PreVoiceSamples() >= 0 && core.PreVoiceSamples() <= nelo::rec::kPreVoiceCapacity);
    }

    // What the file would receive: read it all, so a sanitizer sees any
    // range outside the stores.
    const int32_t preCount = core.PreVoiceSamplesForFile();
    const int32_t voiceCount = core.VoiceBytesForFile();
    FUZZ_CHECK(preCount >= 0 && preCount <= nelo::rec::kPreVoiceInFile);
    FUZZ_CHECK(voiceCount >= 0 && voiceCount <= core.VoiceBytesHeld());
    FUZZ_CHECK(core.PreVoiceForFile() >= core.PreVoice());
    volatile uint32_t sink = 0;
    for (int32_t i = 0; i < preCount; ++i) sink = sink + static_cast<uint16_t>(core.PreVoiceForFile()[i]);
    for (int32_t i = 0; i < voiceCount; ++i) sink = sink + core.VoiceData()[i];
    core.ReleaseRecordingBuffers();
    return 0;
}
