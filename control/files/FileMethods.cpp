// Script methods on files in the control's folders: make a temporary file, delete one from
// the record-temp folder, read any file of the two folders back as a script array. Every
// name a script gives passes the path-safety gate; a page never reaches outside the folders.
#include <new>

#include "FileIo.h"
#include "NeloRecognitionApp.h"
#include "NeloRecognitionCtrl.h"
#include "folders/SafePath.h"
#include "folders/WorkFolders.h"
#include "log/Log.h"
#include "scriptdata/ScriptArray.h"

namespace {

VARIANT EmptyVariant() {
    VARIANT empty;
    VariantInit(&empty);
    return empty;
}

UINT NameLength(BSTR name) { return name ? SysStringLen(name) : 0; }

}  // namespace

BSTR CNeloRecognitionCtrl::OcxCreateFile() {
    std::wstring path;
    if (!CreateTempSoundFile(GetRecordTempDir(theApp.m_strWorkDir), path)) {
        LogError(L"GetTempFileName Failed!");
        return nullptr;
    }
    const size_t slash = path.find_last_of(L'\\');
    const std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
    BSTR result = SysAllocStringLen(name.data(), static_cast<UINT>(name.size()));
    if (!result) throw std::bad_alloc();
    return result;
}

LONG CNeloRecognitionCtrl::OcxRemoveFile(BSTR strFileName) {
    std::wstring path;
    if (!JoinInFolder(GetRecordTempDir(theApp.m_strWorkDir), strFileName, NameLength(strFileName), path)) {
        LogError(L"OcxRemoveFile: param of strFileName is incorrect!");
        return 0;
    }
    if (!DeleteFileW(path.c_str())) {
        LogError(L"DeleteFile Failed!");
        return 0;
    }
    return 1;
}

VARIANT CNeloRecognitionCtrl::OcxGetFileData(LONG nDirType, BSTR strFileName) {
    std::wstring folder;
    if (!GetDirForType(nDirType, theApp.m_strModuleDir, theApp.m_strWorkDir, folder)) {
        LogError(FormatMessageText(L"OcxGetFileData nDirType[%d] Error!", static_cast<int>(nDirType)));
        return EmptyVariant();
    }
    std::wstring path;
    if (!JoinInFolder(folder, strFileName, NameLength(strFileName), path)) {
        LogError(L"OcxGetFileData: param of strFileName is incorrect!");
        return EmptyVariant();
    }
    CByteBuffer bytes;
    switch (ReadWholeFile(path, bytes)) {
        case EFileRead::CannotOpen:
            return EmptyVariant();  // a missing file is an ordinary answer, not worth a line
        case EFileRead::Failed:
            LogError(L"OcxGetFileData ReadFile Failed!");
            return EmptyVariant();
        case EFileRead::Read:
            break;
    }
    VARIANT result;
    const HRESULT hr = MakeScriptByteArray(bytes.Get(), bytes.Size(), &result);
    // Only memory can fail here; it reaches the script as the automation error it is.
    if (FAILED(hr)) throw std::bad_alloc();
    return result;
}
