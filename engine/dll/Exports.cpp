// The C exports: find the session behind a handle, take its lock for the
// short state work, run long work (lesson preparation, scoring) outside it,
// and record every call's error code for the session and the calling thread.
// No C++ exception crosses this boundary.
#include <windows.h>

#include <new>
#include <vector>

#include "AnsiText.h"
#include "ErrorCodes.h"
#include "LessonFormat.h"
#include "NeloPS.h"
#include "Scorer.h"
#include "SessionRegistry.h"
#include "SessionState.h"
#include "SoundData.h"
#include "SoundFile.h"
#include "ThreadError.h"

static_assert(sizeof(bool) == 1, "the engine's bool must be one byte");
static_assert(sizeof(PSSPLITITEM) == 16, "split-item record layout");

using namespace nelo;

namespace {

constexpr int kEngineVersion = 10000;  // 1.00.00: major * 10000 + minor * 100 + patch

void Record(int handle, LockedSession* s, int err) {
    if (s) InterlockedExchange(&s->lastError, err);
    SetThreadError(handle, err);
}

int ErrorOf(const std::bad_alloc&) { return kErrOutOfMemory; }

// Runs `body(state, err)` under the session's lock (shared for queries,
// exclusive for changes) and records its error code.
template <bool Exclusive, class Result, class Body>
Result OnSession(int handle, Result failure, Body body) {
    std::shared_ptr<LockedSession> s;
    try {
        s = Sessions().find(handle);
        if (!s) {
            Record(handle, nullptr, kErrUnknownSession);
            return failure;
        }
        int err = kOk;
        Result value;
        if constexpr (Exclusive) {
            ExclusiveHold hold(s->lock);
            value = body(s->state, err);
        } else {
            SharedHold hold(s->lock);
            value = body(static_cast<const SessionState&>(s->state), err);
        }
        Record(handle, s.get(), err);
        return err == kOk ? value : failure;
    } catch (const std::bad_alloc& e) {
        Record(handle, s.get(), ErrorOf(e));
    } catch (...) {
        Record(handle, s.get(), kErrInternal);
    }
    return failure;
}

template <class Result, class Body>
Result Query(int handle, Result failure, Body body) {
    return OnSession<false>(handle, failure, body);
}

template <class Result, class Body>
Result Change(int handle, Result failure, Body body) {
    return OnSession<true>(handle, failure, body);
}

// Scores bytes that `load(bytes)` provides (a file's or the caller's).
template <class Load>
bool Score(int handle, uint32_t offsetMs, int lengthMs, Load load) {
    std::shared_ptr<LockedSession> s;
    int err = kOk;
    try {
        s = Sessions().find(handle);
        if (!s) {
            Record(handle, nullptr, kErrUnknownSession);
            return false;
        }
        ScoreTicket ticket;
        {
            SharedHold hold(s->lock);
            s->state.beginScore(ticket, err);
        }
        std::vector<int16_t> samples;
        if (err == kOk) err = load(samples);
        ScoreResult result;
        if (err == kOk) err = ScoreSamples(ticket, samples, offsetMs, lengthMs, result);
        if (err == kOk) {
            ExclusiveHold hold(s->lock);
            if (s->ended) err = kErrUnknownSession;
            else s->state.finishScore(ticket, std::move(result), err);
        }
    } catch (const std::bad_alloc& e) {
        err = ErrorOf(e);
    } catch (...) {
        err = kErrInternal;
    }
    Record(handle, s.get(), err);
    return err == kOk;
}

}  // namespace

extern "C" {

int PSAPI PsGetEngineVer(void) { return kEngineVersion; }

int PSAPI PsGetMinReadDataVer(void) { return kLessonMinReadVersion; }

int PSAPI PsStartSession(void) {
    try {
        return Sessions().open();
    } catch (...) {
        return 0;
    }
}

bool PSAPI PsEndSession(int nSession) {
    try {
        const bool closed = Sessions().close(nSession);
        SetThreadError(nSession, closed ? kOk : kErrUnknownSession);
        return closed;
    } catch (...) {
        return false;
    }
}

bool PSAPI PsResetSession(int nSession) {
    return Change(nSession, false, [](SessionState& st, int& err) {
        st.reset();
        err = kOk;
        return true;
    });
}

int PSAPI PsGetSessionErrCode(int nSession) {
    std::shared_ptr<LockedSession> s = Sessions().find(nSession);
    if (!s) return -1;
    int code = kOk;
    if (GetThreadError(nSession, code)) return code;
    return static_cast<int>(InterlockedCompareExchange(&s->lastError, 0, 0));
}

int PSAPI PsGetSessionErrInfo(int nErrCode, char* pBuf, int nSize) {
    const char* text = ErrorText(nErrCode);
    if (!text) return -1;
    int err = kOk;
    return CopyTextTwoCall(text, pBuf, nSize, err);
}

bool PSAPI PsSetECode(int nSession, const unsigned char* pECode) {
    return Change(nSession, false, [pECode](SessionState& st, int& err) {
        err = st.setECode(pECode);
        return true;
    });
}

int PSAPI PsLoadNet(int nSession, const void* pData, int nSize) {
    std::shared_ptr<LockedSession> s;
    int err = kOk;
    try {
        s = Sessions().find(nSession);
        if (!s) {
            Record(nSession, nullptr, kErrUnknownSession);
            return kErrUnknownSession;
        }
        std::shared_ptr<const PreparedLesson> prepared;
        err = PrepareLessonData(static_cast<const uint8_t*>(pData), nSize, prepared);
        if (err == kOk) {
            ExclusiveHold hold(s->lock);
            s->state.installLesson(std::move(prepared));
        }
    } catch (const std::bad_alloc& e) {
        err = ErrorOf(e);
    } catch (...) {
        err = kErrInternal;
    }
    Record(nSession, s.get(), err);
    return err;
}

bool PSAPI PsNetIsExist(int nSession) {
    return Query(nSession, false, [](const SessionState& st, int& err) {
        err = st.hasLesson() ? kOk : kErrNoLesson;
        return true;
    });
}

int PSAPI PsGetOrgText(int nSession, char* pBuf, int nSize) {
    return Query(nSession, -1, [pBuf, nSize](const SessionState& st, int& err) {
        if (!st.hasLesson()) {
            err = kErrNoLesson;
            return -1;
        }
        return CopyTextTwoCall(Utf8ToAnsi(st.lesson()->lesson.text), pBuf, nSize, err);
    });
}

int PSAPI PsGetTextSplitCount(int nSession) {
    return Query(nSession, -1, [](const SessionState& st, int& err) { return st.splitCount(err); });
}

bool PSAPI PsGetTextSplitItemW(int nSession, int nPos, PSSPLITITEM* pItem) {
    return Query(nSession, false, [nPos, pItem](const SessionState& st, int& err) {
        SplitItemInfo info;
        if (!st.splitItem(nPos, info, err)) return false;
        if (!pItem) {
            err = kErrInvalidArgument;
            return false;
        }
        pItem->nStart = info.start;
        pItem->nLength = info.length;
        pItem->nPhoneticCount = info.pronunciations;
        pItem->nFlags = info.flags;
        return true;
    });
}

int PSAPI PsSetPhoneticType(int nSession, int nType) {
    return Change(nSession, -1, [nType](SessionState& st, int& err) { return st.setPhoneticType(nType, err); });
}

int PSAPI PsGetPhoneticCount(int nSession, int nSplitPos) {
    return Query(nSession, -1, [nSplitPos](const SessionState& st, int& err) { return st.phoneticCount(nSplitPos, err); });
}

int PSAPI PsGetPhoneticItem(int nSession, int nSplitPos, int nPos, uint32_t* pCodes, int nCount) {
    return Query(nSession, -1, [=](const SessionState& st, int& err) {
        return st.phoneticItem(nSplitPos, nPos, pCodes, nCount, err);
    });
}

int PSAPI PsGetTone(int nSession) {
    return Query(nSession, -1, [](const SessionState& st, int& err) { return st.tone(err); });
}

bool PSAPI PsGetStatementStress(int nSession, int nSplitPos) {
    return Query(nSession, false, [nSplitPos](const SessionState& st, int& err) { return st.statementStress(nSplitPos, err); });
}

bool PSAPI PsGetStressWord(int nSession, int nSplitPos) {
    return Query(nSession, false, [nSplitPos](const SessionState& st, int& err) { return st.stressWord(nSplitPos, err); });
}

bool PSAPI PsSetRange(int nSession, int nStart, int nEnd) {
    return Change(nSession, false, [nStart, nEnd](SessionState& st, int& err) { return st.setRange(nStart, nEnd, err); });
}

bool PSAPI PsGetRange(int nSession, int* pStart, int* pEnd) {
    return Query(nSession, false, [pStart, pEnd](const SessionState& st, int& err) { return st.getRange(pStart, pEnd, err); });
}

bool PSAPI PsSoundByName(int nSession, const char* pszPath, uint32_t nOffset, int nLength) {
    return Score(nSession, nOffset, nLength, [pszPath](std::vector<int16_t>& samples) {
        std::vector<uint8_t> bytes;
        const int err = ReadSoundFile(pszPath, bytes);
        return err ? err : DecodeWavFile(bytes.data(), bytes.size(), samples);
    });
}

bool PSAPI PsSoundByPoint(int nSession, const PSSOUND* pSound, uint32_t nOffset, int nLength) {
    return Score(nSession, nOffset, nLength, [pSound](std::vector<int16_t>& samples) {
        if (!pSound || !pSound->pData || pSound->nSize == 0) return static_cast<int>(kErrInvalidArgument);
        return DecodeSound(static_cast<const uint8_t*>(pSound->pData), pSound->nSize, samples);
    });
}

unsigned int PSAPI PsGetEffectiveData(int nSession) {
    return Query(nSession, 0u, [](const SessionState& st, int& err) { return st.effectiveData(err); });
}

int PSAPI PsGetSentenceResult(int nSession, int nType) {
    return Query(nSession, -1, [nType](const SessionState& st, int& err) { return st.sentenceResult(nType, err); });
}

int PSAPI PsGetWordResult(int nSession, int nIndex, int nType) {
    return Query(nSession, -1, [=](const SessionState& st, int& err) { return st.wordResult(nIndex, nType, err); });
}

int PSAPI PsGetResPhonemeCount(int nSession, int nIndex) {
    return Query(nSession, -1, [nIndex](const SessionState& st, int& err) { return st.phonemeCount(nIndex, err); });
}

int64_t PSAPI PsGetResPhonemeItem(int nSession, int nIndex, int nPos) {
    return Query(nSession, static_cast<int64_t>(-1), [=](const SessionState& st, int& err) { return st.phonemeItem(nIndex, nPos, err); });
}

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) return ThreadErrorInit() ? TRUE : FALSE;
    // At process exit (reserved non-null) other threads are gone; freeing the
    // slots is only needed when the module is unloaded while the process lives.
    if (reason == DLL_PROCESS_DETACH && reserved == nullptr) ThreadErrorFree();
    return TRUE;
}

}  // extern "C"
