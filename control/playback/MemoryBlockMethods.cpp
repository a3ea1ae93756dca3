// Script methods that create, fill and release memory blocks.
#include "NeloRecognitionCtrl.h"
#include "log/Log.h"
#include "scriptdata/ScriptData.h"

LONG CNeloRecognitionCtrl::OcxMemoryBlockCreate(LONG _nSize) {
    if (_nSize <= 0) {
        LogError(L"OcxMemoryBlockCreate is Failed!");
        return 0;
    }
    return m_listMemoryBlock.Add(static_cast<ULONG>(_nSize));
}

LONG CNeloRecognitionCtrl::OcxMemoryBlockRelease(LONG _nhandle) {
    if (_nhandle <= 0) {
        LogError(L"OcxMemoryBlockRelease handle is error!");
        return 0;
    }
    return m_listMemoryBlock.Remove(_nhandle) ? 1 : 0;  // an unknown handle is refused silently
}

LONG CNeloRecognitionCtrl::OcxMemoryBlockWrite(LONG _nhandle, LONG _nPos, const VARIANT& _data) {
    if (_nhandle <= 0 || _nPos < 0) {
        LogError(L"OcxMemoryBlockWrite _nhandle and _nPos is Error!");
        return 0;
    }
    tagMEMORYBLOCK* block = m_listMemoryBlock.Find(_nhandle);
    if (!block) return 0;
    // Tested before the data are converted: a write that cannot land costs no conversion.
    if (static_cast<ULONG>(_nPos) >= block->nSize) {
        LogError(L"OcxMemoryBlockWrite _nPos >= objMBlock.nSize!");
        return 0;
    }
    CByteBuffer bytes;
    // The conversion only reads the argument (it locks and unlocks a script's array).
    if (FAILED(GetArrayBytes(const_cast<VARIANT*>(&_data), bytes))) {
        LogError(L"OcxMemoryBlockWrite GetArrayBytes Failed!");
        return 0;
    }
    return static_cast<LONG>(CopyIntoBlock(*block, static_cast<ULONG>(_nPos), bytes.Get(), bytes.Size()));
}

LONG CNeloRecognitionCtrl::OcxMemoryBlockWriteByStr(LONG _nhandle, LONG _nPos, BSTR _sData) {
    if (_nhandle <= 0 || _nPos < 0) {
        LogError(L"OcxMemoryBlockWrite _nHandle and _nPos is Error!");
        return 0;
    }
    tagMEMORYBLOCK* block = m_listMemoryBlock.Find(_nhandle);
    if (!block) return 0;
    if (static_cast<ULONG>(_nPos) >= block->nSize) {
        LogError(L"OcxMemoryBlockWrite _nPos >= objMBlock.nSize!");
        return 0;
    }
    CByteBuffer bytes;
    if (!GetStringBytes(_sData, bytes)) {
        LogError(L"OcxMemoryBlockWrite GetStringBytes Failed!");
        return 0;
    }
    return static_cast<LONG>(CopyIntoBlock(*block, static_cast<ULONG>(_nPos), bytes.Get(), bytes.Size()));
}
