// The control's synchronous engine methods: versions, sessions, e-code and network, text
// analysis and results. Each forwards to the engine on the caller's thread, judges the
// answer, writes one line on failure and returns its result family's value.
#include <cstdint>
#include <cstring>
#include <new>

#include "EngineText.h"
#include "NeloPS.h"
#include "NeloRecognitionCtrl.h"
#include "PackedValues.h"
#include "log/Log.h"
#include "scriptdata/ScriptData.h"

static_assert(sizeof(ULONG) == sizeof(uint32_t), "phonetic items are 32-bit values");

namespace {

// Methods that wrap an engine bool: 1 or 0, with the failure line on 0.
LONG YesNo(bool ok, const wchar_t* line) {
    if (ok) return 1;
    LogError(line);
    return 0;
}

LONG YesNoWithCode(bool ok, const wchar_t* function, LONG nSession) {
    if (ok) return 1;
    LogEngineFailure(function, nSession);
    return 0;
}

// Values passed through: the engine's value, with the failure line when it is the failure value.
LONG PassThrough(LONG value, bool failed, const wchar_t* function, LONG nSession) {
    if (failed) LogEngineFailure(function, nSession);
    return value;
}

BSTR ToBstr(const std::wstring& text) {
    BSTR s = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    if (!s) throw std::bad_alloc();
    return s;
}

// The e-code step shared by the array and string forms: no bytes clears the e-code, eight
// set it, anything else is refused before the engine sees it. An engine refusal still
// returns 1; it shows in the log and the session's error code only.
LONG SetECodeBytes(LONG nSession, CByteBuffer& bytes) {
    bool ok;
    if (bytes.Empty()) {
        bytes.Reset();
        ok = PsSetECode(nSession, nullptr);
    } else if (bytes.Size() == 8) {
        unsigned char ecode[8];
        std::memcpy(ecode, bytes.Get(), sizeof ecode);
        bytes.Reset();
        ok = PsSetECode(nSession, ecode);
    } else {
        bytes.Reset();
        LogError(L"OcxSetECode: lenth of ecode is incorrect!");
        return 0;
    }
    if (!ok) LogEngineFailure(L"PsSetECode", nSession);
    return 1;
}

// The network step shared by both forms: the engine is called even with no bytes.
LONG LoadNetBytes(LONG nSession, const CByteBuffer& bytes) {
    const int result = PsLoadNet(nSession, bytes.Get(), static_cast<int>(bytes.Size()));
    if (result != 0) {
        LogEngineFailure(L"PsLoadNet", nSession);
        return 0;
    }
    return 1;
}

// Byte counts above INT_MAX cannot be told to the engine, whose counts are int.
bool FitsEngineCount(const CByteBuffer& bytes) { return bytes.Size() <= static_cast<ULONG>(INT_MAX); }

}  // namespace

// ---- Versions and sessions
LONG CNeloRecognitionCtrl::OcxGetEngineVer() { return PsGetEngineVer(); }

LONG CNeloRecognitionCtrl::OcxGetMinReadDataVer() {
    const LONG version = PsGetMinReadDataVer();
    if (version == -1) LogError(L"PsGetMinReadDataVer Failed!");
    return version;
}

LONG CNeloRecognitionCtrl::OcxStartSession() {
    const LONG session = PsStartSession();
    if (session == 0) LogError(L"PsStartSession Failed!");
    return session;
}

LONG CNeloRecognitionCtrl::OcxEndSession(LONG nSession) {
    return YesNo(PsEndSession(nSession), L"PsEndSession Failed!");
}

LONG CNeloRecognitionCtrl::OcxResetSession(LONG nSession) {
    return YesNo(PsResetSession(nSession), L"PsResetSession Failed!");
}

LONG CNeloRecognitionCtrl::OcxGetSessionErrCode(LONG nSession) {
    const LONG code = PsGetSessionErrCode(nSession);
    if (code == -1) LogError(L"PsGetSessionErrCode Failed!");
    return code;
}

BSTR CNeloRecognitionCtrl::OcxGetSessionErrInfo(LONG nErrCode) {
    std::wstring text;
    if (!ReadTwoCallText([nErrCode](char* buf, int size) { return PsGetSessionErrInfo(nErrCode, buf, size); }, text)) {
        LogError(L"PsGetSessionErrInfo Failed!");
        return nullptr;
    }
    return ToBstr(text);
}

// ---- E-code and network
LONG CNeloRecognitionCtrl::OcxSetECode(LONG nSession, const VARIANT& vData) {
    CByteBuffer bytes;
    if (GetArrayBytes(const_cast<VARIANT*>(&vData), bytes) != S_OK) {
        LogError(L"OcxSetECode: param of ecode is incorrect!");
        return 0;
    }
    return SetECodeBytes(nSession, bytes);
}

LONG CNeloRecognitionCtrl::OcxSetECodeByStr(LONG nSession, BSTR strCode) {
    CByteBuffer bytes;
    if (!GetStringBytes(strCode, bytes)) {
        LogError(L"OcxSetECode: strCode of param is incorrect!");
        return 0;
    }
    return SetECodeBytes(nSession, bytes);
}

LONG CNeloRecognitionCtrl::OcxLoadNet(LONG nSession, const VARIANT& vData) {
    CByteBuffer bytes;
    if (GetArrayBytes(const_cast<VARIANT*>(&vData), bytes) != S_OK || !FitsEngineCount(bytes)) {
        LogError(L"OcxLoadNet: param of vNet is incorrect!");
        return 0;
    }
    return LoadNetBytes(nSession, bytes);
}

LONG CNeloRecognitionCtrl::OcxLoadNetByStr(LONG nSession, BSTR sNet) {
    CByteBuffer bytes;
    if (!GetStringBytes(sNet, bytes) || !FitsEngineCount(bytes)) {
        LogError(L"OcxLoadNet: sNet of param is incorrect!");
        return 0;
    }
    return LoadNetBytes(nSession, bytes);
}

LONG CNeloRecognitionCtrl::OcxNetIsExist(LONG nSession) {
    return YesNoWithCode(PsNetIsExist(nSession), L"PsNetIsExist", nSession);
}

// ---- Text analysis
BSTR CNeloRecognitionCtrl::OcxGetOrgText(LONG nSession) {
    std::wstring text;
    if (!ReadTwoCallText([nSession](char* buf, int size) { return PsGetOrgText(nSession, buf, size); }, text)) {
        LogEngineFailure(L"PsGetOrgText", nSession);
        return nullptr;
    }
    return ToBstr(text);
}

LONG CNeloRecognitionCtrl::OcxGetTextSplitCount(LONG nSession) {
    const LONG count = PsGetTextSplitCount(nSession);
    return PassThrough(count, count == -1, L"PsGetTextSplitCount", nSession);
}

LONG CNeloRecognitionCtrl::OcxGetTextSplitItem(LONG nSession, LONG nPos) {
    PSSPLITITEM item = {};
    if (!PsGetTextSplitItemW(nSession, nPos, &item)) {
        // The line names the engine's function without its W, as the method always has.
        LogEngineFailure(L"PsGetTextSplitItem", nSession);
        return -1;
    }
    return PackPair(item.nStart, item.nLength);
}

LONG CNeloRecognitionCtrl::OcxSetPhoneticType(LONG nSession, LONG nType) {
    const LONG result = PsSetPhoneticType(nSession, nType);
    return PassThrough(result, result == -1, L"PsSetPhoneticType", nSession);
}

LONG CNeloRecognitionCtrl::OcxGetPhoneticCount(LONG nSession, LONG nSplitPos) {
    const LONG count = PsGetPhoneticCount(nSession, nSplitPos);
    return PassThrough(count, count == -1, L"PsGetPhoneticCount", nSession);
}

VARIANT CNeloRecognitionCtrl::OcxGetPhoneticItem(LONG nSession, LONG nSplitPos, LONG nPos) {
    VARIANT result;
    VariantInit(&result);
    std::vector<ULONG> codes;
    const bool ok = ReadTwoCallCodes(
        [=](ULONG* values, int count) {
            return PsGetPhoneticItem(nSession, nSplitPos, nPos, reinterpret_cast<uint32_t*>(values), count);
        },
        codes);
    if (!ok) {
        LogEngineFailure(L"PsGetPhoneticItem", nSession);
        return result;
    }
    // An empty list is an empty array, so scripts can always take its length.
    const HRESULT hr = MakeScriptUI4Array(codes.data(), static_cast<ULONG>(codes.size()), &result);
    if (FAILED(hr)) throw std::bad_alloc();
    return result;
}

LONG CNeloRecognitionCtrl::OcxGetTone(LONG nSession) {
    const LONG tone = PsGetTone(nSession);
    return PassThrough(tone, tone < 0, L"PsGetTone", nSession);
}

LONG CNeloRecognitionCtrl::OcxGetStatementStress(LONG nSession, LONG nSplitPos) {
    return PsGetStatementStress(nSession, nSplitPos) ? 1 : 0;
}

LONG CNeloRecognitionCtrl::OcxGetStressWord(LONG nSession, LONG nSplitPos) {
    return PsGetStressWord(nSession, nSplitPos) ? 1 : 0;
}

LONG CNeloRecognitionCtrl::OcxSetRange(LONG nSession, LONG nStart, LONG nEnd) {
    return YesNoWithCode(PsSetRange(nSession, nStart, nEnd), L"PsSetRange", nSession);
}

LONG CNeloRecognitionCtrl::OcxGetRange(LONG nSession) {
    int start = 0, end = 0;
    if (!PsGetRange(nSession, &start, &end)) {
        LogEngineFailure(L"PsGetRange", nSession);
        return -1;
    }
    return PackPair(start, end);
}

// ---- Results of the last scored sound
ULONG CNeloRecognitionCtrl::OcxGetEffectiveData(LONG nSession) {
    const ULONG value = PsGetEffectiveData(nSession);
    if (value == 0) LogEngineFailure(L"PsGetEffectiveData", nSession);
    return value;
}

LONG CNeloRecognitionCtrl::OcxGetSentenceResult(LONG nSession, ULONG nType) {
    const LONG result = PsGetSentenceResult(nSession, static_cast<int>(nType));
    return PassThrough(result, result == -1, L"PsGetSentenceResult", nSession);
}

LONG CNeloRecognitionCtrl::OcxGetWordResult(LONG nSession, LONG nIndex, ULONG nType) {
    const LONG result = PsGetWordResult(nSession, nIndex, static_cast<int>(nType));
    return PassThrough(result, result == -1, L"PsGetWordResult", nSession);
}

LONG CNeloRecognitionCtrl::OcxGetResPhonemeCount(LONG nSession, LONG nIndex) {
    const LONG count = PsGetResPhonemeCount(nSession, nIndex);
    return PassThrough(count, count == -1, L"PsGetResPhonemeCount", nSession);
}

LONG CNeloRecognitionCtrl::OcxGetResPhonemeItem(LONG nSession, LONG nIndex, LONG nPos) {
    const LONG value = UpperHalf(PsGetResPhonemeItem(nSession, nIndex, nPos));
    return PassThrough(value, value == -1, L"PsGetResPhonemeItem", nSession);
}
