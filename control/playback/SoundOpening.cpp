// Script methods that open a sound: from a file of the control's folders, or from a script
// array, a hexadecimal string or a memory block, written whole to a new temporary file.
#include "NeloRecognitionApp.h"
#include "NeloRecognitionCtrl.h"
#include "PlayerDevice.h"
#include "files/FileIo.h"
#include "folders/SafePath.h"
#include "folders/WorkFolders.h"
#include "log/Log.h"
#include "scriptdata/ScriptData.h"

namespace {

// A new "SND....tmp" file in the record-temp folder holding the bytes. When the system
// cannot name a file the write has failed: no path is ever made up.
bool WriteTempSoundFile(const BYTE* bytes, ULONG length, std::wstring& path) {
    if (!CreateTempSoundFile(GetRecordTempDir(theApp.m_strWorkDir), path)) return false;
    return WriteToFile(path, bytes, length) != FALSE;
}

}  // namespace

LONG CNeloRecognitionCtrl::OcxOpenSoundByFile(LONG nDirType, BSTR strFileName) {
    std::wstring folder;
    if (!GetDirForType(nDirType, theApp.m_strModuleDir, theApp.m_strWorkDir, folder)) {
        LogError(FormatMessageText(L"OcxOpenSoundByFile nDirType[%d] Error!", static_cast<int>(nDirType)));
        return 1;
    }
    std::wstring path;
    if (!JoinInFolder(folder, strFileName, strFileName ? SysStringLen(strFileName) : 0, path)) {
        LogError(L"OcxOpenSoundByFile: param of strFileName is incorrect!");
        return 1;
    }
    m_listPlayState.RemoveAll();
    if (!MciOpen(m_objPlayer, path)) {
        LogError(L"OcxOpenSoundByFile Open Failed!");
        return 1;
    }
    return 0;
}

LONG CNeloRecognitionCtrl::OcxOpenSoundByBuf(const VARIANT& vData) {
    CByteBuffer bytes;
    // The conversion only reads the argument (it locks and unlocks a script's array).
    if (FAILED(GetArrayBytes(const_cast<VARIANT*>(&vData), bytes))) {
        LogError(L"OcxOpenSoundByBuf: param of vData is incorrect!");
        return 1;
    }
    if (bytes.Empty()) {
        LogError(L"OcxOpenSoundByBuf: length of vData is incorrect!");
        return 1;
    }
    std::wstring path;
    if (!WriteTempSoundFile(bytes.Get(), bytes.Size(), path)) {
        LogError(L"OcxOpenSoundByBuf: WriteToFile Failed!");
        return 1;
    }
    m_listPlayState.RemoveAll();
    if (!MciOpen(m_objPlayer, path)) {
        LogError(L"OcxOpenSoundByBuf Open Failed!");
        return 1;
    }
    return 0;
}

LONG CNeloRecognitionCtrl::OcxOpenSoundByStr(BSTR strData) {
    CByteBuffer bytes;
    if (!GetStringBytes(strData, bytes)) {
        LogError(L"OcxOpenSoundByStr: param of strData is incorrect!");
        return 1;
    }
    if (bytes.Empty()) {
        LogError(L"OcxOpenSoundByStr: length of strData is incorrect!");
        return 1;
    }
    std::wstring path;
    if (!WriteTempSoundFile(bytes.Get(), bytes.Size(), path)) {
        LogError(L"OcxOpenSoundByStr: WriteToFile Failed!");
        return 1;
    }
    m_listPlayState.RemoveAll();
    if (!MciOpen(m_objPlayer, path)) {
        LogError(L"OcxOpenSoundByStr Open Failed!");
        return 1;
    }
    return 0;
}

LONG CNeloRecognitionCtrl::OcxOpenSoundByMBBuf(LONG _nhandle, LONG _nState) {
    if (_nhandle <= 0) {
        LogError(L"OcxOpenSoundByMBBuf _nhandle is err!");
        return 0;
    }
    tagMEMORYBLOCK* block = m_listMemoryBlock.Find(_nhandle);
    if (!block) return 0;
    // Checked before the write: a refused call should leave no file behind for nothing.
    if (_nState != 0 && _nState != 1) {
        LogError(L"OcxOpenSoundByMBBuf _nState Error!");
        return 0;
    }
    std::wstring path;
    if (!WriteTempSoundFile(block->pBuf, block->nSize, path)) {
        LogError(L"OcxOpenSoundByMBBuf WriteToFile Failed!");
        return 0;
    }
    // State 1 hands the block over: it is gone whatever the open yields.
    if (_nState == 1) m_listMemoryBlock.Remove(_nhandle);
    m_listPlayState.RemoveAll();
    if (!MciOpen(m_objPlayer, path)) {
        LogError(L"OcxOpenSoundByMBBuf Open Failed!");
        return 0;
    }
    return 1;
}
