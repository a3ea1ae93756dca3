#include "PreparedLesson.h"

#include "Utf8.h"

namespace nelo {

std::shared_ptr<const PreparedLesson> PrepareLesson(Lesson&& lesson) {
    auto p = std::make_shared<PreparedLesson>();
    p->lesson = std::move(lesson);
    p->textUnits = Utf16Length(p->lesson.text);
    p->features = ComputeFeatures(p->lesson.samples.data(), p->lesson.samples.size());
    p->speech = DetectSpeech(p->features.energyDb);
    return p;
}

}  // namespace nelo
