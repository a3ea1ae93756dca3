#include "RecordSetters.h"

const RecordSetter kSetRecordNoVoiceTime = {L"OcxSetRecordNoVoiceTime", L"PS_RecordSetNoVoiceTime",
                                            PS_RecordSetNoVoiceTime, true};
const RecordSetter kSetRecordTailSilenceTime = {L"OcxSetRecordTailSilenceTime", L"PS_RecordSetTailSilenceTime",
                                                PS_RecordSetTailSilenceTime, true};
const RecordSetter kSetRecordMaxRecordTime = {L"OcxSetRecordMaxRecordTime", L"PS_RecordSetMaxRecordTime",
                                              PS_RecordSetMaxRecordTime, true};
const RecordSetter kSetRecordAutoStopEN = {L"OcxSetRecordAutoStopEN", L"PS_RecordSetAutoStopEN",
                                           PS_RecordSetAutoStopEN, false};

RecordSetterOutcome ApplyRecordSetter(const RecordSetter& setter, LONG value) {
    if (setter.bPositiveOnly && value <= 0)
        return {0, std::wstring(setter.method) + L": lTimeInMS is incorrect!"};
    if (setter.apply(static_cast<int32_t>(value)) != 0)
        return {0, std::wstring(setter.method) + L" " + setter.exportName + L" Failed!"};
    return {1, std::wstring()};
}
