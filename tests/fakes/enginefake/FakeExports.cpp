// The 28 engine functions as the fake answers them, and the FakePs_* control functions.
#include <windows.h>

#include <cstring>

#include "FakePs.h"
#include "FakeState.h"
#include "NeloPS.h"

using namespace fakeps;

namespace {

bool AsBool(const CallScope& call) { return call.Answer().value != 0; }
int AsInt(const CallScope& call) { return static_cast<int>(call.Answer().value); }

// Two-call text: the length first, then the text into a buffer of length + 1.
int TwoCallText(const CallScope& call, char* pBuf, int nSize) {
    const std::string& text = call.Text();
    if (!pBuf || nSize <= 0) return static_cast<int>(text.size());
    size_t n = text.size() < static_cast<size_t>(nSize - 1) ? text.size() : static_cast<size_t>(nSize - 1);
    std::memcpy(pBuf, text.data(), n);
    pBuf[n] = '\0';
    return call.Answer().second;
}

}  // namespace

extern "C" {

int PSAPI PsGetEngineVer(void) { CallScope c(kGetEngineVer, 0, {}, nullptr); return AsInt(c); }
int PSAPI PsGetMinReadDataVer(void) { CallScope c(kGetMinReadDataVer, 0, {}, nullptr); return AsInt(c); }

int PSAPI PsStartSession(void) {
    CallScope c(kStartSession, 0, {}, nullptr);
    return c.Answer().valueSet ? AsInt(c) : c.NextSession();
}
bool PSAPI PsEndSession(int s) { CallScope c(kEndSession, s, {}, nullptr); return AsBool(c); }
bool PSAPI PsResetSession(int s) { CallScope c(kResetSession, s, {}, nullptr); return AsBool(c); }
int PSAPI PsGetSessionErrCode(int s) { CallScope c(kGetSessionErrCode, s, {}, nullptr); return AsInt(c); }
int PSAPI PsGetSessionErrInfo(int code, char* pBuf, int nSize) {
    CallScope c(kGetSessionErrInfo, code, {nSize}, pBuf);
    return TwoCallText(c, pBuf, nSize);
}

bool PSAPI PsSetECode(int s, const unsigned char* pECode) {
    CallScope c(kSetECode, s, {}, pECode, pECode, pECode ? 8u : 0u);
    return AsBool(c);
}
int PSAPI PsLoadNet(int s, const void* pData, int nSize) {
    CallScope c(kLoadNet, s, {nSize}, pData, pData, nSize > 0 ? static_cast<uint32_t>(nSize) : 0u);
    return AsInt(c);
}
bool PSAPI PsNetIsExist(int s) { CallScope c(kNetIsExist, s, {}, nullptr); return AsBool(c); }

int PSAPI PsGetOrgText(int s, char* pBuf, int nSize) {
    CallScope c(kGetOrgText, s, {nSize}, pBuf);
    return TwoCallText(c, pBuf, nSize);
}
int PSAPI PsGetTextSplitCount(int s) { CallScope c(kGetTextSplitCount, s, {}, nullptr); return AsInt(c); }
bool PSAPI PsGetTextSplitItemW(int s, int nPos, PSSPLITITEM* pItem) {
    CallScope c(kGetTextSplitItemW, s, {nPos}, pItem);
    if (pItem) {
        *pItem = PSSPLITITEM{};
        pItem->nStart = c.Answer().pairFirst;
        pItem->nLength = c.Answer().pairSecond;
    }
    return AsBool(c);
}
int PSAPI PsSetPhoneticType(int s, int nType) { CallScope c(kSetPhoneticType, s, {nType}, nullptr); return AsInt(c); }
int PSAPI PsGetPhoneticCount(int s, int nSplitPos) {
    CallScope c(kGetPhoneticCount, s, {nSplitPos}, nullptr);
    return AsInt(c);
}
int PSAPI PsGetPhoneticItem(int s, int nSplitPos, int nPos, uint32_t* pCodes, int nCount) {
    CallScope c(kGetPhoneticItem, s, {nSplitPos, nPos, nCount}, pCodes);
    const std::vector<uint32_t>& codes = c.Codes();
    if (!pCodes || nCount <= 0) return c.Answer().valueSet ? AsInt(c) : static_cast<int>(codes.size());
    for (int i = 0; i < nCount && i < static_cast<int>(codes.size()); ++i) pCodes[i] = codes[i];
    return c.Answer().second;
}
int PSAPI PsGetTone(int s) { CallScope c(kGetTone, s, {}, nullptr); return AsInt(c); }
bool PSAPI PsGetStatementStress(int s, int nSplitPos) {
    CallScope c(kGetStatementStress, s, {nSplitPos}, nullptr);
    return AsBool(c);
}
bool PSAPI PsGetStressWord(int s, int nSplitPos) { CallScope c(kGetStressWord, s, {nSplitPos}, nullptr); return AsBool(c); }
bool PSAPI PsSetRange(int s, int nStart, int nEnd) { CallScope c(kSetRange, s, {nStart, nEnd}, nullptr); return AsBool(c); }
bool PSAPI PsGetRange(int s, int* pStart, int* pEnd) {
    CallScope c(kGetRange, s, {}, pStart);
    if (pStart) *pStart = c.Answer().pairFirst;
    if (pEnd) *pEnd = c.Answer().pairSecond;
    return AsBool(c);
}

bool PSAPI PsSoundByName(int s, const char* pszPath, uint32_t nOffset, int nLength) {
    CallScope c(kSoundByName, s, {nOffset, nLength}, pszPath, nullptr, 0, pszPath);
    return AsBool(c);
}
bool PSAPI PsSoundByPoint(int s, const PSSOUND* pSound, uint32_t nOffset, int nLength) {
    const void* data = pSound ? pSound->pData : nullptr;
    CallScope c(kSoundByPoint, s, {nOffset, nLength}, pSound, data, pSound ? pSound->nSize : 0);
    return AsBool(c);
}

unsigned int PSAPI PsGetEffectiveData(int s) {
    CallScope c(kGetEffectiveData, s, {}, nullptr);
    return static_cast<unsigned int>(c.Answer().value);
}
int PSAPI PsGetSentenceResult(int s, int nType) { CallScope c(kGetSentenceResult, s, {nType}, nullptr); return AsInt(c); }
int PSAPI PsGetWordResult(int s, int nIndex, int nType) {
    CallScope c(kGetWordResult, s, {nIndex, nType}, nullptr);
    return AsInt(c);
}
int PSAPI PsGetResPhonemeCount(int s, int nIndex) {
    CallScope c(kGetResPhonemeCount, s, {nIndex}, nullptr);
    return AsInt(c);
}
int64_t PSAPI PsGetResPhonemeItem(int s, int nIndex, int nPos) {
    CallScope c(kGetResPhonemeItem, s, {nIndex, nPos}, nullptr);
    return c.Answer().value;
}

// ---- Control functions
void __cdecl FakePs_Reset(void) { ResetAll(); }
int __cdecl FakePs_SetResult(const char* f, int64_t v) { return SetResult(f, v); }
int __cdecl FakePs_SetSecondResult(const char* f, int v) { return SetSecondResult(f, v); }
int __cdecl FakePs_SetText(const char* f, const char* t) { return SetText(f, t); }
void __cdecl FakePs_SetCodes(const uint32_t* codes, int count) { SetCodes(codes, count); }
int __cdecl FakePs_SetPair(const char* f, int a, int b) { return SetPair(f, a, b); }
int __cdecl FakePs_Hold(const char* f) { return Hold(f); }
int __cdecl FakePs_HeldCount(const char* f) { return HeldCount(f); }
int __cdecl FakePs_WaitHeld(const char* f, int n, unsigned long ms) { return WaitHeld(f, n, ms); }
int __cdecl FakePs_ReleaseOne(const char* f, int answer) { return ReleaseOne(f, answer); }
void __cdecl FakePs_Release(const char* f) { Release(f); }
int __cdecl FakePs_CallCount(void) { return CallCount(); }
int __cdecl FakePs_GetCall(int i, FAKEPSCALL* out) { return GetCall(i, out); }
int __cdecl FakePs_CountCalls(const char* f) { return CountCalls(f); }
int __cdecl FakePs_WaitCalls(const char* f, int n, unsigned long ms) { return WaitCalls(f, n, ms); }
int __cdecl FakePs_InsideCount(void) { return InsideCount(); }

}  // extern "C"
