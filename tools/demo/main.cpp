// NeloWavePicture: the demo's picture of a recording.
//
//   NeloWavePicture.exe <recording.wav> <picture.png> [START-END:RRGGBB ...]
//
// Each span argument colours one word: its start and end in milliseconds of the
// recording and its colour. Exit codes: 0 written, 1 a file could not be read
// or written, 2 bad arguments.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "PngWriter.h"
#include "SpanArgs.h"
#include "WavSamples.h"
#include "WavePicture.h"

namespace {

struct CFileHandle {
    HANDLE h;
    explicit CFileHandle(HANDLE handle) : h(handle) {}
    ~CFileHandle() {
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    }
    CFileHandle(const CFileHandle&) = delete;
    CFileHandle& operator=(const CFileHandle&) = delete;
};

// A recording of the demo is a few hundred kilobytes; more than this is not one.
const LONGLONG kMaxWavBytes = 256LL * 1024 * 1024;

bool ReadAll(const wchar_t* path, std::vector<uint8_t>& bytes) {
    CFileHandle file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    LARGE_INTEGER size;
    if (file.h == INVALID_HANDLE_VALUE || !GetFileSizeEx(file.h, &size) || size.QuadPart > kMaxWavBytes) return false;
    bytes.resize(static_cast<size_t>(size.QuadPart));
    DWORD got = 0;
    return bytes.empty() || (ReadFile(file.h, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr) &&
                             got == bytes.size());
}

bool WriteAll(const wchar_t* path, const std::vector<uint8_t>& bytes) {
    CFileHandle file(CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD put = 0;
    bool ok = file.h != INVALID_HANDLE_VALUE &&
              WriteFile(file.h, bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr) && put == bytes.size();
    if (!ok && file.h != INVALID_HANDLE_VALUE) {
        CloseHandle(file.h);
        file.h = INVALID_HANDLE_VALUE;
        DeleteFileW(path);  // no half-written picture left behind
    }
    return ok;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fputs("usage: NeloWavePicture <recording.wav> <picture.png> [START-END:RRGGBB ...]\n", stderr);
        return 2;
    }
    std::vector<CWordSpan> spans;
    for (int i = 3; i < argc; ++i) {
        CWordSpan span;
        if (!ParseSpanArg(argv[i], span)) {
            std::fwprintf(stderr, L"NeloWavePicture: not a span START-END:RRGGBB: %ls\n", argv[i]);
            return 2;
        }
        spans.push_back(span);
    }
    std::vector<uint8_t> bytes;
    if (!ReadAll(argv[1], bytes)) {
        std::fwprintf(stderr, L"NeloWavePicture: cannot read %ls\n", argv[1]);
        return 1;
    }
    CWavSamples wav;
    std::string error;
    if (!ReadWavSamples(bytes, wav, error)) {
        std::fwprintf(stderr, L"NeloWavePicture: %ls: %ls\n", argv[1], std::wstring(error.begin(), error.end()).c_str());
        return 1;
    }
    if (!WriteAll(argv[2], EncodePng(DrawWavePicture(wav.samples, wav.nSampleRate, spans)))) {
        std::fwprintf(stderr, L"NeloWavePicture: cannot write %ls\n", argv[2]);
        return 1;
    }
    return 0;
}
