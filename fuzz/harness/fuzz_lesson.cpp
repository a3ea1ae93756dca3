// The lesson format reader on untrusted bytes. The first input byte chooses
// whether the header's size and checksum are made to fit the rest, so the
// fuzzer reaches the chunk parsers instead of stopping at the checksum.
// A lesson that is accepted must validate, and writing it and reading it
// back must give the same lesson (and the same bytes again).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "Crc32.h"
#include "ErrorCodes.h"
#include "FuzzInput.h"
#include "LessonFormat.h"

namespace {

constexpr size_t kHeader = 16;

void FitHeader(std::vector<uint8_t>& bytes) {
    if (bytes.size() < kHeader) return;
    std::memcpy(bytes.data(), "NLSN", 4);
    const uint32_t body = static_cast<uint32_t>(bytes.size() - kHeader);
    const uint32_t crc = nelo::Crc32(bytes.data() + kHeader, body);
    for (int i = 0; i < 4; ++i) {
        bytes[8 + i] = static_cast<uint8_t>(body >> (8 * i));
        bytes[12 + i] = static_cast<uint8_t>(crc >> (8 * i));
    }
}

bool SameLesson(const nelo::Lesson& a, const nelo::Lesson& b) {
    if (a.text != b.text || a.tone != b.tone || a.samples != b.samples || a.items.size() != b.items.size())
        return false;
    for (size_t i = 0; i < a.items.size(); ++i) {
        const nelo::LessonItem& x = a.items[i];
        const nelo::LessonItem& y = b.items[i];
        if (x.start != y.start || x.length != y.length || x.flags != y.flags || x.pronunciations != y.pronunciations ||
            x.span.begin != y.span.begin || x.span.end != y.span.end || x.phonemeSpans.size() != y.phonemeSpans.size())
            return false;
        for (size_t k = 0; k < x.phonemeSpans.size(); ++k)
            if (x.phonemeSpans[k].begin != y.phonemeSpans[k].begin || x.phonemeSpans[k].end != y.phonemeSpans[k].end)
                return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in(data, size);
    const bool fit = (in.Take<uint8_t>() & 1) != 0;
    size_t got = 0;
    const uint8_t* rest = in.TakeBytes(in.Remaining(), got);
    std::vector<uint8_t> bytes(rest, rest + got);
    if (fit) FitHeader(bytes);

    nelo::Lesson lesson;
    const nelo::ParseOutcome outcome = nelo::ParseLesson(bytes.data(), bytes.size(), lesson);
    if (outcome.error != nelo::kOk) {
        FUZZ_CHECK(nelo::ErrorText(outcome.error) != nullptr);  // every refusal is a known code
        FUZZ_CHECK(outcome.offset <= bytes.size());
        return 0;
    }
    FUZZ_CHECK(nelo::ValidateLesson(lesson) == nelo::kOk);
    const std::vector<uint8_t> written = nelo::WriteLesson(lesson);
    nelo::Lesson again;
    FUZZ_CHECK(nelo::ParseLesson(written.data(), written.size(), again).error == nelo::kOk);
    FUZZ_CHECK(SameLesson(lesson, again));
    FUZZ_CHECK(nelo::WriteLesson(again) == written);
    return 0;
}
