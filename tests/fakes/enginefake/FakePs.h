/*
 * Control functions of the engine test double (the fake NeloPS.dll).
 *
 * Tests set each engine function's answer, read back every call with its arguments and
 * thread, and can hold PsSoundByName / PsSoundByPoint (or any function) until released.
 * Function names are the engine's export names ("PsLoadNet"); an unknown name is refused.
 *
 * Scripts, which cannot call these, configure the fake through a text file named by the
 * environment variable NELO_FAKEPS_CONFIG (see FakeConfigText.h for its lines); the fake
 * reads it again whenever its content changes, before every engine call.
 */
#ifndef NELO_FAKE_PS_H
#define NELO_FAKE_PS_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* One engine call as the fake saw it. */
typedef struct tagFAKEPSCALL {
    char szFunction[32];     /* export name */
    unsigned long nThreadId; /* GetCurrentThreadId() of the caller */
    int nSession;            /* first integer argument (PsGetSessionErrInfo: the error code) */
    int64_t args[4];         /* the remaining integer arguments, in order (sizes, counts, offsets, lengths) */
    int bPointerGiven;       /* the call's buffer / data / path pointer was not null */
    uint32_t nDataSize;      /* bytes handed in (PsLoadNet, PsSoundByPoint, PsSetECode: 8) */
    unsigned char data[64];  /* their first bytes */
    int nTextLength;         /* PsSoundByName: strlen of the path, -1 when null */
    char szText[600];        /* the path, cut to fit (the whole length is nTextLength) */
} FAKEPSCALL;

/* Back to the defaults: every function succeeds with neutral values (sessions count up from
 * 1, counts 0, texts empty); empties the call log, releases and stops every hold. */
void __cdecl FakePs_Reset(void);

/* The main answer of a function: its return value (bool functions: non-zero = true;
 * PsGetResPhonemeItem: the whole 64-bit value). PsStartSession: a fixed handle instead of
 * counting up. Returns 0 for an unknown name. */
int __cdecl FakePs_SetResult(const char* function, int64_t value);
/* Two-call functions (PsGetSessionErrInfo, PsGetOrgText, PsGetPhoneticItem): the answer of
 * the call that fills the buffer (0 = success). */
int __cdecl FakePs_SetSecondResult(const char* function, int value);
/* PsGetSessionErrInfo, PsGetOrgText: the text. "@lastdata" answers the last data handed to
 * the engine as "<function> <HEX>" ("PsSetECode null" for no e-code, "PsSoundByName <path>"). */
int __cdecl FakePs_SetText(const char* function, const char* text);
/* PsGetPhoneticItem: the item list; the first call answers its count. */
void __cdecl FakePs_SetCodes(const uint32_t* codes, int count);
/* PsGetTextSplitItemW (the record's first two fields) and PsGetRange (start, end). */
int __cdecl FakePs_SetPair(const char* function, int first, int second);

/* Holding: while on, each call of the function waits inside the engine until released. */
int __cdecl FakePs_Hold(const char* function);
/* Calls of the function now waiting; FakePs_WaitHeld waits until at least n are (true) or
 * the time is up (false). */
int __cdecl FakePs_HeldCount(const char* function);
int __cdecl FakePs_WaitHeld(const char* function, int n, unsigned long timeoutMs);
/* Lets the longest-waiting held call go on, answering `answer` (bool functions: 0/1);
 * answer < 0 keeps the configured answer. 0 when none was waiting. */
int __cdecl FakePs_ReleaseOne(const char* function, int answer);
/* Stops holding the function and lets every waiting call go on with the configured answer. */
void __cdecl FakePs_Release(const char* function);

/* The call log, oldest first. */
int __cdecl FakePs_CallCount(void);
int __cdecl FakePs_GetCall(int index, FAKEPSCALL* out);
/* Calls recorded so far of one function; FakePs_WaitCalls waits until at least n. */
int __cdecl FakePs_CountCalls(const char* function);
int __cdecl FakePs_WaitCalls(const char* function, int n, unsigned long timeoutMs);
/* Calls currently inside the engine (entered, not yet returned), of any function. */
int __cdecl FakePs_InsideCount(void);

#ifdef __cplusplus
}
#endif

#endif /* NELO_FAKE_PS_H */
