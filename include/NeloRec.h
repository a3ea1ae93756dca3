/*
 * NeloRec: the recorder library's exported functions, its notification
 * function type and the notices it sends.
 *
 * Shared by the recorder DLL (NeloRec.dll) and the control module's recording
 * code. C calling convention, undecorated export names (recorder/NeloRec.def).
 * Paths are wide strings; the library copies them before an export returns.
 *
 * Every export runs on the caller's thread and only stores a value, touches a
 * flag of the worker or posts a request to the library's one worker thread.
 * Notices are delivered by calling the caller's PS_NOTIFYPROC on that worker
 * thread; the user pointer must stay valid until the request's last notice.
 */
#ifndef NELO_REC_H
#define NELO_REC_H

#ifdef __cplusplus
#include <cstdint>
extern "C" {
#else
#include <stdint.h>
#include <wchar.h>
#endif

#if defined(_WIN32)
#define PSREC_API __cdecl
#else
#define PSREC_API
#endif

/* Called on the recorder's worker thread with the user pointer handed in with
 * the request, the notice class and the notice code. The result is ignored. */
typedef int32_t (PSREC_API *PS_NOTIFYPROC)(void *pUser, int32_t nClass, int32_t nCode);

/* Notice classes. */
#define NOTIFY_CLASS_RECORD 17
#define NOTIFY_CLASS_PLAY   33

/* Recording notices (class 17). An end code has 4 in its low 16 bits and the
 * reason in the high 16 bits. A recording sends REC_CAPTURING at most once,
 * REC_VOICE at most once, then exactly one end code, except when the device
 * or the file cannot be opened (a message box then reports it instead). */
#define REC_CAPTURING   0x00001 /* capture delivers audio (after 540 ms of settling) */
#define REC_VOICE       0x00002 /* voice onset found */
#define REC_END_SILENCE 0x00004 /* ended by tail silence; the file is written */
#define REC_END_CANCEL  0x10004 /* cancelled, or replaced by a newer record request; no file */
#define REC_END_NOVOICE 0x20004 /* no onset within the no-voice time; the file is written */
#define REC_END_STOP    0x30004 /* stop request or maximum time; the file is written */

#define REC_END_MASK    0xFFFF  /* low part of a recording notice: 4 marks an end */
#define REC_END_LOW     4

/* Playback notice (class 33). */
#define PLAY_END 1              /* playback ended, was cancelled, or failed to open */

/* Export results. 0 is success; callers treat anything else as failure. */
#define PS_OK                 0
#define PS_ERR_NO_WORKER    100 /* PS_PlayPause, PS_PlayGetTimePos before any worker exists */
#define PS_ERR_BAD_PATH     101 /* path missing, empty, or 1024 characters or longer; nothing posted */
#define PS_ERR_NO_WORKER_THREAD 102 /* the worker thread could not be started; nothing posted */

/* Longest accepted path, in UTF-16 units without the terminator. */
#define PS_MAX_PATH_CHARS 1023

/* Recording limits. They take effect at the next capture buffer of a running
 * recording. Any value is accepted; the caller validates. Always 0. */
int32_t PSREC_API PS_RecordSetNoVoiceTime(int32_t nTimeInMs);      /* default 5000 */
int32_t PSREC_API PS_RecordSetTailSilenceTime(int32_t nTimeInMs);  /* default 2000 */
int32_t PSREC_API PS_RecordSetMaxRecordTime(int32_t nTimeInMs);    /* default 18000 */
int32_t PSREC_API PS_RecordSetAutoStopEN(int32_t bEnable);         /* default 1 */

/* Records 16 kHz mono 16-bit audio from the default input into pszFile,
 * reporting through pfnNotify(pUser, 17, code). A request made while another
 * recording is still capturing ends that one with REC_END_CANCEL first; one
 * whose file is still to be written gets its file and end notice first. */
int32_t PSREC_API PS_RecordSentenceWithVad(const wchar_t *pszFile, PS_NOTIFYPROC pfnNotify, void *pUser);
int32_t PSREC_API PS_RecordCancel(void);
int32_t PSREC_API PS_RecordStop(void);

/* Plays a file through MCI; pfnNotify(pUser, 33, PLAY_END) when done. */
int32_t PSREC_API PS_PlayFile(const wchar_t *pszFile, PS_NOTIFYPROC pfnNotify, void *pUser);
int32_t PSREC_API PS_PlayCancel(void);
int32_t PSREC_API PS_PlayPause(int32_t bPause);
int32_t PSREC_API PS_PlayGetTimePos(int32_t *pnPosMs, int32_t *pnLengthMs);

#ifdef __cplusplus
}
#endif

#endif /* NELO_REC_H */
