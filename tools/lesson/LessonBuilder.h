// Makes a lesson from a sentence: words, pronunciations with stress, and a
// synthesised reference recording with word and phoneme spans; or takes a
// teacher's recording in place of the synthesised one.
#pragma once
#include <string>
#include <vector>

#include "Lesson.h"
#include "Synthesis.h"

namespace nelo::lesson {

// Throws std::runtime_error with a message for the user when the sentence
// cannot become a lesson.
Lesson BuildLesson(Synthesizer& synth, const std::string& sentence, const VoiceSettings& voice);

// The lesson with `recording` (16 kHz) as its reference: the synthesised
// spans are carried over through an alignment of the two recordings.
Lesson WithTeacherRecording(const Lesson& synthesised, const std::vector<int16_t>& recording);

// Synthesises text at 16 kHz (for learners in the evaluation and tests).
std::vector<int16_t> Speak16k(Synthesizer& synth, const std::string& text, const VoiceSettings& voice);

}  // namespace nelo::lesson
