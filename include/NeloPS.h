/*
 * NeloPS: the pronunciation-scoring engine's exported functions.
 *
 * Shared by the engine DLL (NeloPS.dll) and the control module that imports it.
 * C calling convention, undecorated export names (see engine/dll/NeloPS.def).
 * Integers are 32-bit, bool is one byte (non-zero = success), text is in the
 * system ANSI code page. A session handle is an opaque non-zero int; 0 never
 * names a session.
 *
 * docs/engine/ describes the lesson format, the e-code, every result type and
 * unit, and the error codes.
 */
#ifndef NELO_PS_H
#define NELO_PS_H

#ifdef __cplusplus
#include <cstdint>
extern "C" {
#else
#include <stdbool.h>
#include <stdint.h>
#endif

#if defined(_WIN32)
#define PSAPI __cdecl
#else
#define PSAPI
#endif

/* The record PsGetTextSplitItemW fills. Callers that only need the word's
 * place in the text read the first two fields; the layout of those two never
 * changes. Positions count UTF-16 code units of the reference text. */
typedef struct tagPSSPLITITEM {
    int32_t nStart;         /* first UTF-16 unit of the word in the reference text */
    int32_t nLength;        /* its length in UTF-16 units */
    int32_t nPhoneticCount; /* pronunciations stored for the word (PsGetPhoneticCount) */
    uint32_t nFlags;        /* PS_ITEM_* bits below */
} PSSPLITITEM;

#define PS_ITEM_STATEMENT_STRESS 0x1u /* the word carries sentence stress */
#define PS_ITEM_STRESS_WORD      0x2u /* the word is the sentence's main (nuclear) stress */

/* The sound PsSoundByPoint receives: the bytes of a 16 kHz mono 16-bit PCM
 * WAV file, or bare 16-bit little-endian samples at 16 kHz, with their count.
 * The engine reads at most nSize bytes from pData and keeps no pointer. */
typedef struct tagPSSOUND {
    const void* pData;
    uint32_t nSize;
} PSSOUND;

/* PsGetSentenceResult types: scores are 0..100, times milliseconds of the scored sound */
#define PS_SENT_OVERALL      0 /* weighted from accuracy, fluency, completeness */
#define PS_SENT_ACCURACY     1 /* mean pronunciation score of the words in range */
#define PS_SENT_FLUENCY      2 /* pauses and speaking rate */
#define PS_SENT_COMPLETENESS 3 /* percent of the words in range that were read */
#define PS_SENT_RATE         4 /* speaking rate, percent of the reference's rate */
#define PS_SENT_PAUSES       5 /* pauses inside the speech the reference does not have */
#define PS_SENT_SPEECH_START 6 /* first speech, ms from the start of the scored sound */
#define PS_SENT_SPEECH_END   7 /* end of the last speech, ms */
#define PS_SENT_SPEECH_MS    8 /* milliseconds of speech found (as PsGetEffectiveData) */

/* PsGetWordResult types; nIndex is the split-item index */
#define PS_WORD_SCORE 0 /* 0..100 */
#define PS_WORD_START 1 /* ms from the start of the scored sound */
#define PS_WORD_END   2 /* ms */
#define PS_WORD_READ  3 /* 1 when the word was read, 0 when it was missed */

/* PsSetPhoneticType types: how PsGetPhoneticItem hands out phoneme codes */
#define PS_PHONETIC_WITH_STRESS 0 /* as stored: symbol bytes plus the stress mark (default) */
#define PS_PHONETIC_PLAIN       1 /* symbol bytes only, stress mark cleared */

/* A phoneme code: bits 0-23 hold up to three ASCII symbol characters, first
 * in the lowest byte; bits 24-27 the stress mark (0 none, 1 unstressed,
 * 2 secondary, 3 primary); bits 28-31 are zero. */
#define PS_PHONEME_SYMBOL(code) ((code) & 0x00FFFFFFu)
#define PS_PHONEME_STRESS(code) (((code) >> 24) & 0xFu)

/* Versions */
int PSAPI PsGetEngineVer(void);
int PSAPI PsGetMinReadDataVer(void);

/* Sessions and errors */
int PSAPI PsStartSession(void);
bool PSAPI PsEndSession(int nSession);
bool PSAPI PsResetSession(int nSession);
int PSAPI PsGetSessionErrCode(int nSession);
int PSAPI PsGetSessionErrInfo(int nErrCode, char* pBuf, int nSize);

/* E-code and lesson ("network") */
bool PSAPI PsSetECode(int nSession, const unsigned char* pECode);
int PSAPI PsLoadNet(int nSession, const void* pData, int nSize);
bool PSAPI PsNetIsExist(int nSession);

/* Text analysis of the lesson */
int PSAPI PsGetOrgText(int nSession, char* pBuf, int nSize);
int PSAPI PsGetTextSplitCount(int nSession);
bool PSAPI PsGetTextSplitItemW(int nSession, int nPos, PSSPLITITEM* pItem);
int PSAPI PsSetPhoneticType(int nSession, int nType);
int PSAPI PsGetPhoneticCount(int nSession, int nSplitPos);
int PSAPI PsGetPhoneticItem(int nSession, int nSplitPos, int nPos, uint32_t* pCodes, int nCount);
int PSAPI PsGetTone(int nSession);
bool PSAPI PsGetStatementStress(int nSession, int nSplitPos);
bool PSAPI PsGetStressWord(int nSession, int nSplitPos);
bool PSAPI PsSetRange(int nSession, int nStart, int nEnd);
bool PSAPI PsGetRange(int nSession, int* pStart, int* pEnd);

/* Scoring; nOffset and nLength are milliseconds of audio, nLength -1 = to the end */
bool PSAPI PsSoundByName(int nSession, const char* pszPath, uint32_t nOffset, int nLength);
bool PSAPI PsSoundByPoint(int nSession, const PSSOUND* pSound, uint32_t nOffset, int nLength);

/* Results of the last scored sound */
unsigned int PSAPI PsGetEffectiveData(int nSession);
int PSAPI PsGetSentenceResult(int nSession, int nType);
int PSAPI PsGetWordResult(int nSession, int nIndex, int nType);
int PSAPI PsGetResPhonemeCount(int nSession, int nIndex);
int64_t PSAPI PsGetResPhonemeItem(int nSession, int nIndex, int nPos);

#ifdef __cplusplus
}
#endif

#endif /* NELO_PS_H */
