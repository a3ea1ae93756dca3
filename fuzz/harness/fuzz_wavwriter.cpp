// The recording file's bookkeeping: whatever the pre-voice and voice amounts,
// the file holds the header, exactly those samples in order, and a header
// whose two sizes follow the file's real length.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "FuzzInput.h"
#include "WavWriter.h"

namespace {

uint32_t Get32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24; }

const std::wstring& ScratchPath() {
    static const std::wstring path = [] {
        const char* dir = std::getenv("NELO_FUZZ_SCRATCH");
        std::string narrow = std::string(dir && *dir ? dir : "/tmp") + "/nelo-wav-" + std::to_string(getpid()) + ".wav";
        return std::wstring(narrow.begin(), narrow.end());
    }();
    return path;
}

std::vector<uint8_t> ReadAll(const std::wstring& wide) {
    const std::string path(wide.begin(), wide.end());
    std::vector<uint8_t> bytes;
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
        uint8_t buf[4096];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.insert(bytes.end(), buf, buf + n);
        std::fclose(f);
    }
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in(data, size);
    // The header alone, for any pair of sizes.
    const uint32_t chunk = in.Take<uint32_t>(), dataSize = in.Take<uint32_t>();
    const auto header = nelo::rec::MakeWavHeader(chunk, dataSize);
    FUZZ_CHECK(std::memcmp(header.data(), "RIFF", 4) == 0 && Get32(&header[4]) == chunk);
    FUZZ_CHECK(std::memcmp(&header[36], "data", 4) == 0 && Get32(&header[40]) == dataSize);

    // Counts as the worker hands them (possibly zero or negative); the stores
    // are exactly as large as the counts say, so any overread is caught.
    const int32_t preSamples = in.Take<int16_t>() % 9000;
    const int32_t voiceBytes = in.Take<int16_t>();
    std::vector<int16_t> pre(preSamples > 0 ? preSamples : 0);
    std::vector<uint8_t> voice(voiceBytes > 0 ? voiceBytes : 0);
    for (size_t i = 0; i < pre.size(); ++i) pre[i] = static_cast<int16_t>(in.Take<uint16_t>() ^ (i * 7919));
    for (size_t i = 0; i < voice.size(); ++i) voice[i] = static_cast<uint8_t>(in.Take<uint8_t>() + i);

    const std::wstring& path = ScratchPath();
    FUZZ_CHECK(nelo::rec::WriteRecordingWav(path.c_str(), pre.data(), preSamples, voice.data(), voiceBytes));
    const std::vector<uint8_t> file = ReadAll(path);
    const size_t expected = 44 + pre.size() * 2 + voice.size();
    FUZZ_CHECK(file.size() == expected);
    FUZZ_CHECK(Get32(&file[4]) == file.size() - 8 && Get32(&file[40]) == file.size() - 44);
    FUZZ_CHECK(pre.empty() || std::memcmp(&file[44], pre.data(), pre.size() * 2) == 0);
    FUZZ_CHECK(voice.empty() || std::memcmp(&file[44 + pre.size() * 2], voice.data(), voice.size()) == 0);
    std::remove(std::string(path.begin(), path.end()).c_str());
    return 0;
}
