// Grades a learner's recording against a prepared lesson.
#pragma once
#include <cstdint>
#include <vector>

#include "ECode.h"
#include "PreparedLesson.h"
#include "ScoreResult.h"

namespace nelo {

struct ScoreRequest {
    const PreparedLesson* lesson = nullptr;
    int rangeStart = 0, rangeEnd = 0;  // split items, inclusive
    ScoringOptions options;
    const int16_t* samples = nullptr;  // 16 kHz, already cut to the caller's offset and length
    size_t sampleCount = 0;
    uint32_t offsetMs = 0;             // added to every reported time
};

// Maps a mean aligned distance to 0..100 for the given strictness.
int CalibratedScore(float cost, int strictness);

ScoreResult ScoreRecording(const ScoreRequest& request);

}  // namespace nelo

namespace nelo {

struct ScoreTicket;

// Cuts a decoded sound to the caller's offset and length (milliseconds) and
// scores it for a ticket taken from a session. Returns an ErrorCode.
int ScoreSamples(const ScoreTicket& ticket, std::vector<int16_t>& samples, uint32_t offsetMs, int lengthMs, ScoreResult& out);

}  // namespace nelo
