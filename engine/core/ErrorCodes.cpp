#include "ErrorCodes.h"

namespace nelo {

const char* ErrorText(int code) {
    switch (code) {
    case kOk: return "No error";
    case kErrUnknownSession: return "Unknown session handle";
    case kErrInvalidArgument: return "Invalid argument: null pointer, negative size or inconsistent buffer";
    case kErrBufferTooSmall: return "Buffer too small for the answer";
    case kErrNoLesson: return "No lesson is loaded in the session";
    case kErrNoResult: return "No sound has been scored in the session";
    case kErrIndexOutOfRange: return "Index outside the lesson's items";
    case kErrNotInRange: return "The word lies outside the scoring range";
    case kErrUnknownType: return "Unknown result or phonetic type";
    case kErrOutOfMemory: return "Out of memory";
    case kErrInvalidRange: return "Invalid range: start and end must be split items with start not after end";
    case kErrSessionLimit: return "Too many open sessions";
    case kErrECodeInvalid: return "E-code holds a value the engine does not know";
    case kErrLessonEmpty: return "Lesson data is empty";
    case kErrLessonNotLesson: return "Data is not a lesson (wrong signature)";
    case kErrLessonVersion: return "Lesson format version is not supported";
    case kErrLessonTruncated: return "Lesson data is truncated";
    case kErrLessonChecksum: return "Lesson data is corrupted (checksum mismatch)";
    case kErrLessonMalformed: return "Lesson data holds an invalid value";
    case kErrLessonMissingPart: return "Lesson data lacks a required part or repeats one";
    case kErrLessonTooLarge: return "Lesson data exceeds the engine's limits";
    case kErrSoundOpen: return "Sound file cannot be opened or read";
    case kErrSoundFormat: return "Sound is not 16 kHz mono 16-bit PCM";
    case kErrSoundMalformed: return "Sound data is malformed or truncated";
    case kErrSoundRange: return "Offset or length lies outside the sound";
    case kErrSoundTooLong: return "Sound is longer than the engine scores";
    case kErrNoSpeech: return "No speech found in the scored sound";
    case kErrSessionChanged: return "The session was reset or loaded another lesson while the sound was scored";
    case kErrInternal: return "Internal engine error";
    default: return nullptr;
    }
}

}  // namespace nelo
