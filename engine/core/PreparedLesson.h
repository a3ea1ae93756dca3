// A lesson ready for scoring: parsed once when a session loads it and then
// shared, read-only, by every score of that session (also after the session
// loads another lesson, until the last such score ends).
#pragma once
#include <memory>

#include "Features.h"
#include "Lesson.h"
#include "SpeechDetector.h"

namespace nelo {

struct PreparedLesson {
    Lesson lesson;
    long textUnits = 0;        // UTF-16 length of the text
    FeatureFrames features;    // of the reference recording, not normalised
    SpeechMask speech;         // speech frames of the reference recording
};

std::shared_ptr<const PreparedLesson> PrepareLesson(Lesson&& lesson);

}  // namespace nelo
