// The lesson file format, version 1 (docs/engine/lesson-format.md): reading
// untrusted bytes into a Lesson, and writing one.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "Lesson.h"

namespace nelo {

constexpr uint16_t kLessonFormatVersion = 1;     // what WriteLesson produces
constexpr uint16_t kLessonMinReadVersion = 1;    // oldest version ParseLesson reads
constexpr uint16_t kLessonMaxReadVersion = 1;    // newest version ParseLesson reads

// Limits that keep a hostile file from asking for unbounded memory.
constexpr size_t kMaxTextBytes = 65535;
constexpr size_t kMaxItems = 4096;
constexpr size_t kMaxPronunciations = 16;
constexpr size_t kMaxPhonemesPerWord = 255;
constexpr size_t kMaxLessonSamples = 60 * kSampleRate;

struct ParseOutcome {
    int error = 0;        // an ErrorCode; 0 on success
    size_t offset = 0;    // where in the data the fault was found
};

// Reads a whole lesson. On failure `out` is left in an unspecified but valid
// state and the outcome names the first fault.
ParseOutcome ParseLesson(const uint8_t* data, size_t size, Lesson& out);

// Checks what the parser checks, for lessons built in memory.
int ValidateLesson(const Lesson& lesson);

std::vector<uint8_t> WriteLesson(const Lesson& lesson);

}  // namespace nelo
