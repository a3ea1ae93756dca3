// Everything one session holds and what every engine query answers, free of
// threads and handles: the DLL wraps one of these per session with a lock and
// forwards its exports here, so the exact answers are testable with plain
// data. Each query reports its ErrorCode through `err` (0 on success).
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "ECode.h"
#include "PreparedLesson.h"
#include "ScoreResult.h"

namespace nelo {

struct SplitItemInfo {
    int32_t start = 0, length = 0, pronunciations = 0;
    uint32_t flags = 0;
};

// What a score needs from its session, taken under the session's lock so
// that the long work runs without it.
struct ScoreTicket {
    std::shared_ptr<const PreparedLesson> lesson;
    ScoringOptions options;
    int rangeStart = 0, rangeEnd = 0;
    uint64_t generation = 0;
};

// The two-call protocol for text: a null buffer with size 0 asks for the
// length; a buffer of at least length+1 bytes receives the text and its
// terminator and the answer is 0; anything else is refused with -1.
int CopyTextTwoCall(const std::string& text, char* buffer, int size, int& err);

// Parses and prepares lesson bytes; kept apart from the session so that the
// work runs outside the session's lock. Returns an ErrorCode.
int PrepareLessonData(const uint8_t* data, int size, std::shared_ptr<const PreparedLesson>& out);

class SessionState {
public:
    int loadLesson(const uint8_t* data, int size);  // an ErrorCode; a refused lesson keeps the old one
    void installLesson(std::shared_ptr<const PreparedLesson> lesson);
    void reset();
    int setECode(const uint8_t* ecode);             // an ErrorCode; nullptr restores the defaults
    bool hasLesson() const { return lesson_ != nullptr; }
    const PreparedLesson* lesson() const { return lesson_.get(); }

    int splitCount(int& err) const;
    bool splitItem(int pos, SplitItemInfo& out, int& err) const;
    int setPhoneticType(int type, int& err);  // answers the previous type
    int phoneticCount(int split, int& err) const;
    int phoneticItem(int split, int pos, uint32_t* codes, int count, int& err) const;
    int tone(int& err) const;
    bool statementStress(int split, int& err) const;
    bool stressWord(int split, int& err) const;
    bool setRange(int start, int end, int& err);
    bool getRange(int* start, int* end, int& err) const;

    unsigned effectiveData(int& err) const;
    int sentenceResult(int type, int& err) const;
    int wordResult(int index, int type, int& err) const;
    int phonemeCount(int index, int& err) const;
    int64_t phonemeItem(int index, int pos, int& err) const;

    bool beginScore(ScoreTicket& ticket, int& err) const;
    // Stores a finished score unless the session was reset or got another
    // lesson meanwhile.
    bool finishScore(const ScoreTicket& ticket, ScoreResult&& result, int& err);

private:
    const LessonItem* item(int split, int& err) const;
    const WordResult* word(int index, int& err) const;

    std::shared_ptr<const PreparedLesson> lesson_;
    std::shared_ptr<const ScoreResult> result_;
    ScoringOptions options_;
    int phoneticType_ = 0;
    int rangeStart_ = 0, rangeEnd_ = 0;
    uint64_t generation_ = 0;
};

}  // namespace nelo
