// Error codes of the engine and their texts. The numbers are part of the
// engine's interface (scripts log and compare them), so they never change
// meaning; new codes get new numbers.
#pragma once

namespace nelo {

enum ErrorCode : int {
    kOk = 0,
    kErrUnknownSession = 1,
    kErrInvalidArgument = 2,
    kErrBufferTooSmall = 3,
    kErrNoLesson = 4,
    kErrNoResult = 5,
    kErrIndexOutOfRange = 6,
    kErrNotInRange = 7,
    kErrUnknownType = 8,
    kErrOutOfMemory = 9,
    kErrInvalidRange = 10,
    kErrSessionLimit = 11,

    kErrECodeInvalid = 20,

    kErrLessonEmpty = 30,
    kErrLessonNotLesson = 31,
    kErrLessonVersion = 32,
    kErrLessonTruncated = 33,
    kErrLessonChecksum = 34,
    kErrLessonMalformed = 35,
    kErrLessonMissingPart = 36,
    kErrLessonTooLarge = 37,

    kErrSoundOpen = 40,
    kErrSoundFormat = 41,
    kErrSoundMalformed = 42,
    kErrSoundRange = 43,
    kErrSoundTooLong = 44,
    kErrNoSpeech = 45,

    kErrSessionChanged = 50,
    kErrInternal = 60,
};

// The fixed English text of a code, or nullptr for a number that is no code.
const char* ErrorText(int code);

}  // namespace nelo
