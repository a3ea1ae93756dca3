// What the fake engine answers, function by function: pure data with its defaults, so the
// configuration text can be tested on its own.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace fakeps {

enum Fn {
    kGetEngineVer, kGetMinReadDataVer, kStartSession, kEndSession, kResetSession,
    kGetSessionErrCode, kGetSessionErrInfo, kSetECode, kLoadNet, kNetIsExist, kGetOrgText,
    kGetTextSplitCount, kGetTextSplitItemW, kSetPhoneticType, kGetPhoneticCount,
    kGetPhoneticItem, kGetTone, kGetStatementStress, kGetStressWord, kSetRange, kGetRange,
    kSoundByName, kSoundByPoint, kGetEffectiveData, kGetSentenceResult, kGetWordResult,
    kGetResPhonemeCount, kGetResPhonemeItem,
    kFnCount
};

const char* FnName(Fn fn);
// False for a name that is not one of the 28 engine functions.
bool FnFromName(const char* name, Fn& fn);

// The text answer that is replaced by the last data handed to the engine.
extern const char* const kLastDataText;

struct FnAnswer {
    int64_t value = 0;      // the return value (bools: non-zero = true)
    bool valueSet = false;  // PsStartSession counts up and PsGetPhoneticItem counts its codes unless set
    int second = 0;         // two-call functions: the answer of the filling call
    std::string text;       // PsGetSessionErrInfo, PsGetOrgText
    int pairFirst = 0;      // PsGetTextSplitItemW, PsGetRange
    int pairSecond = 0;
};

struct Answers {
    Answers();  // the defaults: every call succeeds
    FnAnswer fn[kFnCount];
    std::vector<uint32_t> codes;  // PsGetPhoneticItem
};

}  // namespace fakeps
