#include "WorkFolders.h"

#include <shlwapi.h>

#include <vector>

namespace {

const wchar_t kWorkDirSuffix[] = L"\\NeloRecognition";
const wchar_t kLogFileSuffix[] = L"\\NeloRecognition.log";
const wchar_t kRecordTempName[] = L"_RecordTemp";
const wchar_t kResourcesName[] = L"Resources";
const wchar_t kCreateFailedFormat[] = L"创建目录失败：";

// PathAppendW of a single plain part, without its 260-character buffer:
// one backslash between folder and part.
std::wstring AppendPart(const std::wstring& folder, const wchar_t* part) {
    std::wstring path = folder;
    if (!path.empty() && path.back() != L'\\' && path.back() != L'/') path += L'\\';
    path += part;
    return path;
}

// The full path of the module's file; the buffer grows for long paths
// rather than returning a cut one.
std::wstring ModuleFileName(HMODULE module) {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(module, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return std::wstring();
        if (length < buffer.size()) return std::wstring(buffer.data(), length);
        if (buffer.size() >= 32768) return std::wstring();
        buffer.resize(buffer.size() * 2);
    }
}

std::wstring TempPath() {
    std::vector<wchar_t> buffer(MAX_PATH + 1);
    DWORD length = ::GetTempPathW(static_cast<DWORD>(buffer.size()), buffer.data());
    if (length >= buffer.size()) {
        buffer.resize(length + 1);
        length = ::GetTempPathW(static_cast<DWORD>(buffer.size()), buffer.data());
    }
    if (length == 0 || length >= buffer.size()) return std::wstring();
    return std::wstring(buffer.data(), length);
}

void Show(MessageSink show, const std::wstring& text) {
    if (show) show(text);
}

// Makes `path` a folder: nothing to do when it is one, a file of that name
// is deleted first. Tells the user when the folder cannot be made.
// Returns true when `path` was already a folder.
bool EnsureFolder(const std::wstring& path, MessageSink show) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return true;
    if (attributes != INVALID_FILE_ATTRIBUTES) ::DeleteFileW(path.c_str());
    if (!::CreateDirectoryW(path.c_str(), nullptr)) Show(show, kCreateFailedFormat + path);
    return false;
}

class CFindHandle {
public:
    explicit CFindHandle(HANDLE handle) : m_handle(handle) {}
    ~CFindHandle() {
        if (m_handle != INVALID_HANDLE_VALUE) ::FindClose(m_handle);
    }
    CFindHandle(const CFindHandle&) = delete;
    CFindHandle& operator=(const CFindHandle&) = delete;
    HANDLE get() const { return m_handle; }
    bool valid() const { return m_handle != INVALID_HANDLE_VALUE; }

private:
    HANDLE m_handle;
};

void DeleteFilesIn(const std::wstring& folder) {
    WIN32_FIND_DATAW entry;
    CFindHandle find(::FindFirstFileW(AppendPart(folder, L"*.*").c_str(), &entry));
    if (!find.valid()) return;
    do {
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;  // also "." and ".."
        ::DeleteFileW(AppendPart(folder, entry.cFileName).c_str());
    } while (::FindNextFileW(find.get(), &entry));
}

}  // namespace

void PrepareWorkDir(HMODULE module, std::wstring& moduleDir, std::wstring& workDir, MessageSink show) {
    const std::wstring modulePath = ModuleFileName(module);
    moduleDir = modulePath.substr(0, PathFindFileNameW(modulePath.c_str()) - modulePath.c_str());

    const std::wstring temp = TempPath();
    if (temp.empty()) {
        // Without the temporary path the folder would land in the drive's
        // root; leave it unset so the log and file work fail instead.
        workDir.clear();
        Show(show, kCreateFailedFormat + std::wstring(kWorkDirSuffix));
        return;
    }
    // Plain concatenation: the temporary path's own trailing backslash stays,
    // so the folder's text holds a doubled one, which the file system reads
    // as one. Kept, since the log's path and messages have always shown it.
    workDir = temp + kWorkDirSuffix;
    EnsureFolder(workDir, show);
}

void PrepareRecordTempDir(const std::wstring& workDir, MessageSink show) {
    if (workDir.empty()) return;
    const std::wstring folder = GetRecordTempDir(workDir);
    if (EnsureFolder(folder, show)) DeleteFilesIn(folder);
}

std::wstring GetRecordTempDir(const std::wstring& workDir) { return AppendPart(workDir, kRecordTempName); }

std::wstring GetResourceDir(const std::wstring& moduleDir) { return AppendPart(moduleDir, kResourcesName); }

std::wstring GetLogPath(const std::wstring& workDir) {
    if (workDir.empty()) return std::wstring();
    return workDir + kLogFileSuffix;
}

bool GetDirForType(int nDirType, const std::wstring& moduleDir, const std::wstring& workDir,
                   std::wstring& folder) {
    switch (nDirType) {
        case DIRTYPE_RECORDTEMP: folder = GetRecordTempDir(workDir); return true;
        case DIRTYPE_RESOURCES: folder = GetResourceDir(moduleDir); return true;
        default: folder.clear(); return false;
    }
}

bool CreateTempSoundFile(const std::wstring& folder, std::wstring& path) {
    path.clear();
    wchar_t buffer[MAX_PATH];
    if (!::GetTempFileNameW(folder.c_str(), L"SND", 0, buffer)) return false;
    path = buffer;
    return true;
}
