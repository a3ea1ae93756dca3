// The four recording-limit setters: one shape, four rows. Each row names the script
// method, the recorder export it drives and whether the value must be positive.
#pragma once
#include <windows.h>

#include <string>

#include "NeloRec.h"

using RecordSettingFn = int32_t(PSREC_API*)(int32_t value);

struct RecordSetter {
    const wchar_t* method;       // "OcxSetRecordNoVoiceTime"
    const wchar_t* exportName;   // "PS_RecordSetNoVoiceTime"
    RecordSettingFn apply;       // the export (tests put a stand-in here)
    bool bPositiveOnly;          // times must be > 0; the auto-stop switch passes unchanged
};

extern const RecordSetter kSetRecordNoVoiceTime;
extern const RecordSetter kSetRecordTailSilenceTime;
extern const RecordSetter kSetRecordMaxRecordTime;
extern const RecordSetter kSetRecordAutoStopEN;

struct RecordSetterOutcome {
    LONG result;          // 1 applied, 0 refused or failed
    std::wstring logLine; // empty when nothing is to be logged
};

// Validates, calls the recorder only for a valid value, and says what to log.
RecordSetterOutcome ApplyRecordSetter(const RecordSetter& setter, LONG value);
