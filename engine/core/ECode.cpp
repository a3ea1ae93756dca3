#include "ECode.h"

#include "ErrorCodes.h"

namespace nelo {

int DecodeECode(const uint8_t* ecode, ScoringOptions& out) {
    ScoringOptions o;
    if (!ecode) {
        out = o;
        return kOk;
    }
    const uint8_t strictness = ecode[0], flags = ecode[1], pause = ecode[2], threshold = ecode[3];
    if (strictness > 5 || (flags & ~kECodeKnownFlags) || (pause != 0 && (pause < 5 || pause > 200)) || threshold > 100)
        return kErrECodeInvalid;
    // Reserved bytes must stay zero so that giving them a meaning later
    // cannot change how an existing e-code scores.
    for (int i = 4; i < 8; ++i)
        if (ecode[i] != 0) return kErrECodeInvalid;
    if (strictness) o.strictness = strictness;
    o.useFluency = !(flags & kECodeNoFluency);
    o.missedWordsZero = (flags & kECodeMissedWordsZero) != 0;
    if (pause) o.pauseMs = pause * 10;
    if (threshold) o.readThreshold = threshold;
    out = o;
    return kOk;
}

}  // namespace nelo
