// The control: 65 script methods, three events, the state queues and the player record.
#pragma once
#include <windows.h>
#include <objsafe.h>

#include "ControlBase.h"
#include "ControlTypes.h"
#include "StateList.h"
#include "playback/MemoryBlockList.h"

class CNeloRecognitionCtrl : public nelo::ControlBase {
public:
    CNeloRecognitionCtrl();
    ~CNeloRecognitionCtrl() override;

    static HRESULT Create(REFIID riid, void** ppv) { return CreateInstance<CNeloRecognitionCtrl>(riid, ppv); }

    // IObjectSafety, answered through the interface map (QueryExtraInterface).
    class XObjSafe : public IObjectSafety {
    public:
        explicit XObjSafe(CNeloRecognitionCtrl* owner) : m_pOwner(owner) {}
        STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
        STDMETHODIMP_(ULONG) AddRef() override;
        STDMETHODIMP_(ULONG) Release() override;
        STDMETHODIMP GetInterfaceSafetyOptions(REFIID riid, DWORD* supported, DWORD* enabled) override;
        STDMETHODIMP SetInterfaceSafetyOptions(REFIID riid, DWORD optionSetMask, DWORD enabledOptions) override;

    private:
        CNeloRecognitionCtrl* m_pOwner;
    };

    // ---- Script methods (DISPIDs in CtrlDispatchTable.cpp)
    // Engine, sessions, text analysis and results
    LONG OcxGetEngineVer();
    LONG OcxGetMinReadDataVer();
    LONG OcxStartSession();
    LONG OcxEndSession(LONG nSession);
    LONG OcxResetSession(LONG nSession);
    LONG OcxGetSessionErrCode(LONG nSession);
    BSTR OcxGetSessionErrInfo(LONG nErrCode);
    LONG OcxSetECode(LONG nSession, const VARIANT& vData);
    LONG OcxLoadNet(LONG nSession, const VARIANT& vData);
    LONG OcxNetIsExist(LONG nSession);
    ULONG OcxGetEffectiveData(LONG nSession);
    BSTR OcxGetOrgText(LONG nSession);
    LONG OcxGetTextSplitCount(LONG nSession);
    LONG OcxGetTextSplitItem(LONG nSession, LONG nPos);
    LONG OcxSetPhoneticType(LONG nSession, LONG nType);
    LONG OcxGetPhoneticCount(LONG nSession, LONG nSplitPos);
    VARIANT OcxGetPhoneticItem(LONG nSession, LONG nSplitPos, LONG nPos);
    LONG OcxGetTone(LONG nSession);
    LONG OcxGetStatementStress(LONG nSession, LONG nSplitPos);
    LONG OcxGetStressWord(LONG nSession, LONG nSplitPos);
    LONG OcxSetRange(LONG nSession, LONG nStart, LONG nEnd);
    LONG OcxGetRange(LONG nSession);
    LONG OcxGetSentenceResult(LONG nSession, ULONG nType);
    LONG OcxGetWordResult(LONG nSession, LONG nIndex, ULONG nType);
    LONG OcxGetResPhonemeCount(LONG nSession, LONG nIndex);
    LONG OcxGetResPhonemeItem(LONG nSession, LONG nIndex, LONG nPos);
    LONG OcxSetECodeByStr(LONG nSession, BSTR strCode);
    LONG OcxLoadNetByStr(LONG nSession, BSTR sNet);
    // Scoring jobs
    LONG OcxScoreSoundByBuf(LONG nSession, const VARIANT& vData, ULONG nOffset, LONG nLen);
    LONG OcxScoreSoundByName(LONG nSession, BSTR strFileName, ULONG nOffset, LONG nLen);
    LONG OcxScoreSoundByStr(LONG nSession, BSTR sData, ULONG nOffset, LONG nLen);
    LONG OcxGetScoreState(LONG nSession);
    // Recording
    LONG OcxBeginRecord(BSTR strFileName, LONG lTime);
    void OcxEndRecord();
    void OcxCancelRecord();
    LONG OcxGetRecordState();
    LONG OcxStopRecord();
    LONG OcxSetRecordNoVoiceTime(LONG lTimeInMS);
    LONG OcxSetRecordTailSilenceTime(LONG lTimeInMS);
    LONG OcxSetRecordMaxRecordTime(LONG lTimeInMS);
    LONG OcxSetRecordAutoStopEN(LONG lBoolEnable);
    // Files
    BSTR OcxCreateFile();
    LONG OcxRemoveFile(BSTR strFileName);
    VARIANT OcxGetFileData(LONG nDirType, BSTR strFileName);
    // Memory blocks
    LONG OcxMemoryBlockCreate(LONG _nSize);
    LONG OcxMemoryBlockRelease(LONG _nhandle);
    LONG OcxMemoryBlockWrite(LONG _nhandle, LONG _nPos, const VARIANT& _data);
    LONG OcxMemoryBlockWriteByStr(LONG _nhandle, LONG _nPos, BSTR _sData);
    // Opening and playing sounds
    LONG OcxOpenSoundByFile(LONG nDirType, BSTR strFileName);
    LONG OcxOpenSoundByBuf(const VARIANT& vData);
    LONG OcxOpenSoundByMBBuf(LONG _nhandle, LONG _nState);
    LONG OcxOpenSoundByStr(BSTR strData);
    LONG OcxGetPlayState();
    LONG OcxPlaySound();
    LONG OcxCloseSound();
    LONG OcxStopSound();
    LONG OcxPauseSound();
    LONG OcxResumeSound();
    ULONG OcxGetPlayStatus(LONG nItem);
    LONG OcxSetPlayStatus(LONG nItem, ULONG nValue);
    LONG OcxPlaySoundEx(ULONG nFrom, ULONG nTo);
    LONG OcxPlaySoundByFile(LONG nDirType, BSTR strFileName);
    LONG OcxPlaySoundByBuf(const VARIANT& vData);
    LONG OcxPlaySoundByMBBuf(LONG _nhandle, LONG _nState);
    LONG OcxPlaySoundByStr(BSTR strData);

    // ---- Notification handlers (the control's thread, from WindowProc)
    void OnRecordNotify(WPARAM wParam, LPARAM lParam);
    void OnPlayNotify(WPARAM wParam, LPARAM lParam);  // wParam: serial of the sound it is for
    void OnScoreNotify(WPARAM wParam, LPARAM lParam);

    // Fields, in the order the class has always declared them.
    XObjSafe m_xObjSafe;
    CStateList<DWORD> m_listRecordState;
    CStateList<DWORD> m_listPlayState;
    CStateList<tagSCORESTATE> m_listScoreState;
    CMemoryBlockList m_listMemoryBlock;  // blocks by opaque handle (control/playback/)
    tagMCIPLAYER m_objPlayer;
    BOOL m_bAutoClose;

    // The dispatch table, shared by every control (also used by tests to check coverage).
    static const nelo::DispEntry* DispatchTable(size_t* count);
    // The window class of the message-only window; tools that post notifications find it by name.
    static const wchar_t* const kNotifyWindowClass;

protected:
    void* DispatchObject() override { return this; }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    HRESULT QueryExtraInterface(REFIID riid, void** ppv) override;

private:
    void StartModuleResources();
    void StopModuleResources();
    void ReleasePlayer();
    void ReleaseMemoryBlocks();
};
