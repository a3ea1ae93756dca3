// The four setters: times must be positive and are refused with the method's own line
// without reaching the recorder; the auto-stop switch passes any value; a recorder that
// reports failure gives 0 and the method's failure line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RecordSetters.h"

namespace {

std::vector<int32_t> g_applied;
int32_t g_recorderResult = 0;

int32_t PSREC_API FakeSetting(int32_t value) {
    g_applied.push_back(value);
    return g_recorderResult;
}

struct SetterRow {
    const RecordSetter* setter;
    const wchar_t* refusedLine;  // null: every value is passed on
    const wchar_t* failedLine;
};

const SetterRow kRows[] = {
    {&kSetRecordNoVoiceTime, L"OcxSetRecordNoVoiceTime: lTimeInMS is incorrect!",
     L"OcxSetRecordNoVoiceTime PS_RecordSetNoVoiceTime Failed!"},
    {&kSetRecordTailSilenceTime, L"OcxSetRecordTailSilenceTime: lTimeInMS is incorrect!",
     L"OcxSetRecordTailSilenceTime PS_RecordSetTailSilenceTime Failed!"},
    {&kSetRecordMaxRecordTime, L"OcxSetRecordMaxRecordTime: lTimeInMS is incorrect!",
     L"OcxSetRecordMaxRecordTime PS_RecordSetMaxRecordTime Failed!"},
    {&kSetRecordAutoStopEN, nullptr, L"OcxSetRecordAutoStopEN PS_RecordSetAutoStopEN Failed!"},
};

RecordSetterOutcome Apply(const SetterRow& row, LONG value, int32_t recorderResult) {
    RecordSetter withFake = *row.setter;  // the real names and rule, a stand-in recorder
    withFake.apply = FakeSetting;
    g_applied.clear();
    g_recorderResult = recorderResult;
    return ApplyRecordSetter(withFake, value);
}

TEST(RecordSetters, TheRealRowsDriveTheRecordersExports) {
    EXPECT_EQ(kSetRecordNoVoiceTime.apply, &PS_RecordSetNoVoiceTime);
    EXPECT_EQ(kSetRecordTailSilenceTime.apply, &PS_RecordSetTailSilenceTime);
    EXPECT_EQ(kSetRecordMaxRecordTime.apply, &PS_RecordSetMaxRecordTime);
    EXPECT_EQ(kSetRecordAutoStopEN.apply, &PS_RecordSetAutoStopEN);
}

TEST(RecordSetters, ValuesAtOrBelowZeroAreRefusedForTimesOnly) {
    const LONG nonPositive[] = {0, -1, -60, LONG(0x80000000)};
    for (const SetterRow& row : kRows) {
        for (LONG value : nonPositive) {
            SCOPED_TRACE(testing::Message() << row.setter->method << "(" << value << ")");
            const RecordSetterOutcome out = Apply(row, value, 0);
            if (row.refusedLine) {
                EXPECT_EQ(out.result, 0);
                EXPECT_EQ(out.logLine, row.refusedLine);
                EXPECT_TRUE(g_applied.empty()) << "the recorder's setting must stay unchanged";
            } else {
                EXPECT_EQ(out.result, 1);
                EXPECT_TRUE(out.logLine.empty());
                EXPECT_EQ(g_applied, std::vector<int32_t>{value});  // unchanged, not normalised
            }
        }
    }
}

TEST(RecordSetters, PositiveValuesReachTheRecorderUnchanged) {
    const LONG positive[] = {1, 60, 5000, 0x7FFFFFFF};
    for (const SetterRow& row : kRows) {
        for (LONG value : positive) {
            SCOPED_TRACE(testing::Message() << row.setter->method << "(" << value << ")");
            const RecordSetterOutcome out = Apply(row, value, 0);
            EXPECT_EQ(out.result, 1);
            EXPECT_TRUE(out.logLine.empty());
            EXPECT_EQ(g_applied, std::vector<int32_t>{value});
        }
    }
}

TEST(RecordSetters, ARecorderFailureGivesZeroAndTheFailureLine) {
    for (const SetterRow& row : kRows) {
        for (int32_t failure : {1, 100, -1}) {
            SCOPED_TRACE(testing::Message() << row.setter->method << " recorder " << failure);
            const RecordSetterOutcome out = Apply(row, 500, failure);
            EXPECT_EQ(out.result, 0);
            EXPECT_EQ(out.logLine, row.failedLine);
        }
    }
}

}  // namespace
