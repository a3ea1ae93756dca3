#include "SessionState.h"

#include <cstring>

#include "ErrorCodes.h"
#include "LessonFormat.h"

namespace nelo {
namespace {

constexpr int kPhoneticWithStress = 0, kPhoneticPlain = 1;

enum SentenceType { kOverall, kAccuracy, kFluency, kCompleteness, kRate, kPauses, kSpeechStart, kSpeechEnd, kSpeechMs };
enum WordType { kWordScore, kWordStart, kWordEnd, kWordRead };

}  // namespace

int CopyTextTwoCall(const std::string& text, char* buffer, int size, int& err) {
    const int length = static_cast<int>(text.size());
    if (!buffer && size == 0) {
        err = kOk;
        return length;
    }
    if (!buffer || size < 0) {
        err = kErrInvalidArgument;
        return -1;
    }
    if (size < length + 1) {
        err = kErrBufferTooSmall;
        return -1;
    }
    std::memcpy(buffer, text.data(), text.size());
    buffer[length] = '\0';
    err = kOk;
    return 0;
}

int PrepareLessonData(const uint8_t* data, int size, std::shared_ptr<const PreparedLesson>& out) {
    if (size == 0) return kErrLessonEmpty;
    if (!data || size < 0) return kErrInvalidArgument;
    Lesson parsed;
    const ParseOutcome o = ParseLesson(data, static_cast<size_t>(size), parsed);
    if (o.error) return o.error;
    out = PrepareLesson(std::move(parsed));
    return kOk;
}

int SessionState::loadLesson(const uint8_t* data, int size) {
    std::shared_ptr<const PreparedLesson> prepared;
    const int err = PrepareLessonData(data, size, prepared);
    if (err == kOk) installLesson(std::move(prepared));
    return err;
}

void SessionState::installLesson(std::shared_ptr<const PreparedLesson> lesson) {
    const int count = static_cast<int>(lesson->lesson.items.size());
    lesson_ = std::move(lesson);
    result_.reset();
    rangeStart_ = 0;
    rangeEnd_ = count - 1;
    ++generation_;
}

void SessionState::reset() {
    lesson_.reset();
    result_.reset();
    options_ = ScoringOptions{};
    phoneticType_ = kPhoneticWithStress;
    rangeStart_ = rangeEnd_ = 0;
    ++generation_;
}

int SessionState::setECode(const uint8_t* ecode) { return DecodeECode(ecode, options_); }

const LessonItem* SessionState::item(int split, int& err) const {
    if (!lesson_) {
        err = kErrNoLesson;
        return nullptr;
    }
    if (split < 0 || static_cast<size_t>(split) >= lesson_->lesson.items.size()) {
        err = kErrIndexOutOfRange;
        return nullptr;
    }
    err = kOk;
    return &lesson_->lesson.items[split];
}

int SessionState::splitCount(int& err) const {
    if (!lesson_) {
        err = kErrNoLesson;
        return -1;
    }
    err = kOk;
    return static_cast<int>(lesson_->lesson.items.size());
}

bool SessionState::splitItem(int pos, SplitItemInfo& out, int& err) const {
    const LessonItem* it = item(pos, err);
    if (!it) return false;
    out.start = static_cast<int32_t>(it->start);
    out.length = static_cast<int32_t>(it->length);
    out.pronunciations = static_cast<int32_t>(it->pronunciations.size());
    out.flags = it->flags;
    return true;
}

int SessionState::setPhoneticType(int type, int& err) {
    if (type != kPhoneticWithStress && type != kPhoneticPlain) {
        err = kErrUnknownType;
        return -1;
    }
    const int previous = phoneticType_;
    phoneticType_ = type;
    err = kOk;
    return previous;
}

int SessionState::phoneticCount(int split, int& err) const {
    const LessonItem* it = item(split, err);
    return it ? static_cast<int>(it->pronunciations.size()) : -1;
}

int SessionState::phoneticItem(int split, int pos, uint32_t* codes, int count, int& err) const {
    const LessonItem* it = item(split, err);
    if (!it) return -1;
    if (pos < 0 || static_cast<size_t>(pos) >= it->pronunciations.size()) {
        err = kErrIndexOutOfRange;
        return -1;
    }
    const std::vector<uint32_t>& pron = it->pronunciations[pos];
    const int n = static_cast<int>(pron.size());
    if (!codes && count == 0) return n;
    if (!codes || count < 0) {
        err = kErrInvalidArgument;
        return -1;
    }
    if (count < n) {
        err = kErrBufferTooSmall;
        return -1;
    }
    for (int i = 0; i < n; ++i) codes[i] = phoneticType_ == kPhoneticPlain ? PhonemeSymbol(pron[i]) : pron[i];
    return 0;
}

int SessionState::tone(int& err) const {
    if (!lesson_) {
        err = kErrNoLesson;
        return -1;
    }
    err = kOk;
    return static_cast<int>(lesson_->lesson.tone);
}

bool SessionState::statementStress(int split, int& err) const {
    const LessonItem* it = item(split, err);
    return it && (it->flags & kItemStatementStress);
}

bool SessionState::stressWord(int split, int& err) const {
    const LessonItem* it = item(split, err);
    return it && (it->flags & kItemStressWord);
}

bool SessionState::setRange(int start, int end, int& err) {
    if (!lesson_) {
        err = kErrNoLesson;
        return false;
    }
    const int count = static_cast<int>(lesson_->lesson.items.size());
    if (start < 0 || end < start || end >= count) {
        err = kErrInvalidRange;
        return false;
    }
    rangeStart_ = start;
    rangeEnd_ = end;
    err = kOk;
    return true;
}

bool SessionState::getRange(int* start, int* end, int& err) const {
    if (!start || !end) {
        err = kErrInvalidArgument;
        return false;
    }
    if (!lesson_) {
        err = kErrNoLesson;
        return false;
    }
    *start = rangeStart_;
    *end = rangeEnd_;
    err = kOk;
    return true;
}

unsigned SessionState::effectiveData(int& err) const {
    if (!result_) {
        err = kErrNoResult;
        return 0;
    }
    err = result_->speechMs > 0 ? kOk : kErrNoSpeech;
    return static_cast<unsigned>(result_->speechMs);
}

int SessionState::sentenceResult(int type, int& err) const {
    if (!result_) {
        err = kErrNoResult;
        return -1;
    }
    const ScoreResult& r = *result_;
    err = kOk;
    switch (type) {
    case kOverall: return r.overall;
    case kAccuracy: return r.accuracy;
    case kFluency: return r.fluency;
    case kCompleteness: return r.completeness;
    case kRate: return r.ratePercent;
    case kPauses: return r.pauses;
    case kSpeechStart: return r.speechStartMs;
    case kSpeechEnd: return r.speechEndMs;
    case kSpeechMs: return r.speechMs;
    default: err = kErrUnknownType; return -1;
    }
}

const WordResult* SessionState::word(int index, int& err) const {
    if (!result_) {
        err = kErrNoResult;
        return nullptr;
    }
    if (!lesson_ || index < 0 || static_cast<size_t>(index) >= lesson_->lesson.items.size()) {
        err = kErrIndexOutOfRange;
        return nullptr;
    }
    if (index < result_->rangeStart || index > result_->rangeEnd) {
        err = kErrNotInRange;
        return nullptr;
    }
    err = kOk;
    return &result_->words[index - result_->rangeStart];
}

int SessionState::wordResult(int index, int type, int& err) const {
    const WordResult* w = word(index, err);
    if (!w) return -1;
    switch (type) {
    case kWordScore: return w->score;
    case kWordStart: return w->startMs;
    case kWordEnd: return w->endMs;
    case kWordRead: return w->read ? 1 : 0;
    default: err = kErrUnknownType; return -1;
    }
}

int SessionState::phonemeCount(int index, int& err) const {
    const WordResult* w = word(index, err);
    return w ? static_cast<int>(w->phonemes.size()) : -1;
}

int64_t SessionState::phonemeItem(int index, int pos, int& err) const {
    const WordResult* w = word(index, err);
    if (!w) return -1;
    if (pos < 0 || static_cast<size_t>(pos) >= w->phonemes.size()) {
        err = kErrIndexOutOfRange;
        return -1;
    }
    const PhonemeResult& p = w->phonemes[pos];
    const uint32_t code = phoneticType_ == kPhoneticPlain ? PhonemeSymbol(p.code) : p.code;
    return static_cast<int64_t>((static_cast<uint64_t>(static_cast<uint32_t>(p.score)) << 32) | code);
}

bool SessionState::beginScore(ScoreTicket& ticket, int& err) const {
    if (!lesson_) {
        err = kErrNoLesson;
        return false;
    }
    ticket.lesson = lesson_;
    ticket.options = options_;
    ticket.rangeStart = rangeStart_;
    ticket.rangeEnd = rangeEnd_;
    ticket.generation = generation_;
    err = kOk;
    return true;
}

bool SessionState::finishScore(const ScoreTicket& ticket, ScoreResult&& result, int& err) {
    if (ticket.generation != generation_) {
        err = kErrSessionChanged;
        return false;
    }
    result_ = std::make_shared<const ScoreResult>(std::move(result));
    err = kOk;
    return true;
}

}  // namespace nelo
