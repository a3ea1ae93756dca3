#include "FakeAnswers.h"

#include <cstring>

namespace fakeps {
namespace {

const char* const kNames[kFnCount] = {
    "PsGetEngineVer", "PsGetMinReadDataVer", "PsStartSession", "PsEndSession", "PsResetSession",
    "PsGetSessionErrCode", "PsGetSessionErrInfo", "PsSetECode", "PsLoadNet", "PsNetIsExist", "PsGetOrgText",
    "PsGetTextSplitCount", "PsGetTextSplitItemW", "PsSetPhoneticType", "PsGetPhoneticCount",
    "PsGetPhoneticItem", "PsGetTone", "PsGetStatementStress", "PsGetStressWord", "PsSetRange", "PsGetRange",
    "PsSoundByName", "PsSoundByPoint", "PsGetEffectiveData", "PsGetSentenceResult", "PsGetWordResult",
    "PsGetResPhonemeCount", "PsGetResPhonemeItem",
};

}  // namespace

const char* const kLastDataText = "@lastdata";

const char* FnName(Fn fn) { return fn >= 0 && fn < kFnCount ? kNames[fn] : "?"; }

bool FnFromName(const char* name, Fn& fn) {
    if (!name) return false;
    for (int i = 0; i < kFnCount; ++i) {
        if (std::strcmp(kNames[i], name) == 0) {
            fn = static_cast<Fn>(i);
            return true;
        }
    }
    return false;
}

Answers::Answers() {
    // Success everywhere: bools true, PsLoadNet 0, versions and effective data non-zero
    // (0 / -1 would read as failures), counts and codes 0.
    for (Fn f : {kEndSession, kResetSession, kSetECode, kNetIsExist, kGetTextSplitItemW, kGetStatementStress,
                 kGetStressWord, kSetRange, kGetRange, kSoundByName, kSoundByPoint})
        fn[f].value = 1;
    fn[kGetEngineVer].value = 1;
    fn[kGetMinReadDataVer].value = 1;
    fn[kGetEffectiveData].value = 1;
}

}  // namespace fakeps
