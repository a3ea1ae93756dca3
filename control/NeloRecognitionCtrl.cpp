// Construction, destruction, message routing, the state queues and the events.
#include "NeloRecognitionCtrl.h"

#include <mmsystem.h>

#include "MessageBox.h"
#include "Module.h"
#include "NeloGuids.h"
#include "NeloRecognitionApp.h"
#include "RecordNotice.h"
#include "folders/WorkFolders.h"
#include "log/Log.h"

const wchar_t* const CNeloRecognitionCtrl::kNotifyWindowClass = L"NeloRecognitionCtrlNotify";

namespace {

const nelo::ControlDescription& Description() {
    static const nelo::ControlDescription description = [] {
        nelo::ControlDescription d = {};
        d.clsid = &CLSID_NeloRecognitionCtrl;
        d.dispatchIid = &DIID__DNeloRecognition;
        d.eventIid = &DIID__DNeloRecognitionEvents;
        d.propertyPages = &CLSID_NeloRecognitionPropPage;
        d.propertyPageCount = 1;
        d.miscStatus = OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_SETCLIENTSITEFIRST | OLEMISC_INSIDEOUT |
                       OLEMISC_CANTLINKINSIDE | OLEMISC_RECOMPOSEONRESIZE;  // 0x20191
        d.userTypeNameId = 1;
        d.persistVersion = (static_cast<DWORD>(kControlVersionMajor) << 16) | kControlVersionMinor;
        d.windowClassName = CNeloRecognitionCtrl::kNotifyWindowClass;
        d.dispatchTable = CNeloRecognitionCtrl::DispatchTable(&d.dispatchCount);
        return d;
    }();
    return description;
}

void ShowMessageText(const std::wstring& text) { nelo::ShowMessageBox(text, MB_OK); }

}  // namespace

CNeloRecognitionCtrl::CNeloRecognitionCtrl()
    : nelo::ControlBase(Description()),
      m_xObjSafe(this),
      m_objPlayer{this, 0, 0, WM_PLAY_NOTIFY, 0},
      m_bAutoClose(FALSE) {
    StartModuleResources();
}

CNeloRecognitionCtrl::~CNeloRecognitionCtrl() {
    StopModuleResources();
    ReleaseMemoryBlocks();
    ReleasePlayer();
    m_listRecordState.RemoveAll();
    m_listPlayState.RemoveAll();
    m_listScoreState.RemoveAll();
    // Posts still on their way are dropped with the window; jobs that post later fail harmlessly.
    DestroyControlWindows();
}

void CNeloRecognitionCtrl::StartModuleResources() {
    nelo::LockGuard guard(theApp.m_instanceLock);
    if (theApp.m_nInstanceCount == 0) {
        PrepareWorkDir(theApp.m_hInstance, theApp.m_strModuleDir, theApp.m_strWorkDir, ShowMessageText);
        PrepareRecordTempDir(theApp.m_strWorkDir, ShowMessageText);
        const std::wstring logPath = theApp.m_strWorkDir + L"\\NeloRecognition.log";
        if (!OpenLog(logPath)) ShowMessageText(FormatMessageText(L"Open logfile failed:%s\n", logPath.c_str()));
    }
    ++theApp.m_nInstanceCount;
}

void CNeloRecognitionCtrl::StopModuleResources() {
    nelo::LockGuard guard(theApp.m_instanceLock);
    if (theApp.m_nInstanceCount == 1) CloseLog();
    --theApp.m_nInstanceCount;
}

void CNeloRecognitionCtrl::ReleaseMemoryBlocks() {
    m_listMemoryBlock.RemoveAll();  // the list owns and frees every block's storage
}

void CNeloRecognitionCtrl::ReleasePlayer() {
    if (m_objPlayer.wDeviceID != 0) {
        MCI_GENERIC_PARMS generic = {};
        if (mciSendCommandW(m_objPlayer.wDeviceID, MCI_STOP, MCI_WAIT, reinterpret_cast<DWORD_PTR>(&generic)) == 0) {
            MCI_SEEK_PARMS seek = {};
            mciSendCommandW(m_objPlayer.wDeviceID, MCI_SEEK, MCI_WAIT | MCI_SEEK_TO_START,
                            reinterpret_cast<DWORD_PTR>(&seek));
            if (m_objPlayer.nTimerID != 0) {
                KillTimer(NotifyWindow(), m_objPlayer.nTimerID);
                m_objPlayer.nTimerID = 0;
            }
        }
    }
    if (m_objPlayer.wDeviceID != 0) {
        MCI_GENERIC_PARMS generic = {};
        if (mciSendCommandW(m_objPlayer.wDeviceID, MCI_CLOSE, MCI_WAIT, reinterpret_cast<DWORD_PTR>(&generic)) == 0)
            m_objPlayer.wDeviceID = 0;
    }
    // A timer left running (the stop failed) would call into a freed player record.
    if (m_objPlayer.nTimerID != 0) {
        KillTimer(NotifyWindow(), m_objPlayer.nTimerID);
        m_objPlayer.nTimerID = 0;
    }
}

LRESULT CNeloRecognitionCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_RECORD_NOTIFY:
            OnRecordNotify(wParam, lParam);
            return 0;
        case WM_PLAY_NOTIFY:
            OnPlayNotify(wParam, lParam);
            return 0;
        case WM_SCORE_NOTIFY:
            OnScoreNotify(wParam, lParam);
            return 0;
        default:
            return nelo::ControlBase::WindowProc(message, wParam, lParam);
    }
}

void CNeloRecognitionCtrl::OnRecordNotify(WPARAM wParam, LPARAM lParam) {
    const RecordNoticeDecision decision = DecideRecordNotice(wParam, lParam);
    switch (decision.action) {
        case RecordNoticeDecision::LogOnly:
            LogError(decision.logText);
            return;
        case RecordNoticeDecision::Ignore:
            return;
        case RecordNoticeDecision::Queue:
            m_listRecordState.AddHead(decision.state);  // queued before the event: a handler can read it
            FireEvent(DISPID_EVENT_RECORD_NOTIFY,
                      {nelo::Variant::FromUI4(0), nelo::Variant::FromI4(static_cast<LONG>(decision.state))});
            return;
    }
}

void CNeloRecognitionCtrl::OnScoreNotify(WPARAM wParam, LPARAM lParam) {
    // Session handles and outcomes are 32-bit values, whatever the width of the message words.
    const tagSCORESTATE state = {static_cast<LONG>(wParam), static_cast<LONG>(lParam)};
    m_listScoreState.AddHead(state);
    FireEvent(DISPID_EVENT_SCORE_NOTIFY,
              {nelo::Variant::FromUI4(static_cast<ULONG>(wParam)), nelo::Variant::FromI4(state.nState)});
}

LONG CNeloRecognitionCtrl::OcxGetRecordState() { return static_cast<LONG>(TakeOldestState(m_listRecordState)); }

LONG CNeloRecognitionCtrl::OcxGetPlayState() { return static_cast<LONG>(TakeOldestState(m_listPlayState)); }

void CNeloRecognitionCtrl::OcxEndRecord() {}

HRESULT CNeloRecognitionCtrl::QueryExtraInterface(REFIID riid, void** ppv) {
    if (riid == IID_IObjectSafety) {
        *ppv = static_cast<IObjectSafety*>(&m_xObjSafe);
        m_xObjSafe.AddRef();
        return S_OK;
    }
    return E_NOINTERFACE;
}
