// Finding and preparing the working and record-temp folders, in a private
// temporary folder that TMP and TEMP point at for each test.
#include "WorkFolders.h"

#include <windows.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const std::wstring kCreateFailed = L"\u521b\u5efa\u76ee\u5f55\u5931\u8d25\uff1a";

std::vector<std::wstring> g_messages;
void CaptureMessage(const std::wstring& text) { g_messages.push_back(text); }

bool IsFolder(const std::wstring& path) {
    const DWORD a = ::GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}
bool IsFile(const std::wstring& path) {
    const DWORD a = ::GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}
bool MakeFile(const std::wstring& path, DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
    HANDLE h = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, attributes, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    ::WriteFile(h, "data", 4, &written, nullptr);
    ::CloseHandle(h);
    return true;
}

void RemoveTree(const std::wstring& path) {
    WIN32_FIND_DATAW entry;
    HANDLE find = ::FindFirstFileW((path + L"\\*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = entry.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring child = path + L"\\" + name;
            ::SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTree(child);
            else ::DeleteFileW(child.c_str());
        } while (::FindNextFileW(find, &entry));
        ::FindClose(find);
    }
    ::RemoveDirectoryW(path.c_str());
}

std::wstring GetEnv(const wchar_t* name) {
    wchar_t buffer[32768];
    const DWORD n = ::GetEnvironmentVariableW(name, buffer, 32768);
    return (n > 0 && n < 32768) ? std::wstring(buffer, n) : std::wstring();
}

class WorkFolders : public ::testing::Test {
protected:
    void SetUp() override {
        m_oldTmp = GetEnv(L"TMP");
        m_oldTemp = GetEnv(L"TEMP");
        wchar_t temp[MAX_PATH + 1];
        ASSERT_NE(0u, ::GetTempPathW(MAX_PATH + 1, temp));
        static int counter = 0;
        m_root = std::wstring(temp) + L"nelo-folders-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                 std::to_wstring(++counter);
        ASSERT_TRUE(::CreateDirectoryW(m_root.c_str(), nullptr));
        PointTempAt(m_root);
        g_messages.clear();
    }
    void TearDown() override {
        ::SetEnvironmentVariableW(L"TMP", m_oldTmp.empty() ? nullptr : m_oldTmp.c_str());
        ::SetEnvironmentVariableW(L"TEMP", m_oldTemp.empty() ? nullptr : m_oldTemp.c_str());
        RemoveTree(m_root);
    }
    static void PointTempAt(const std::wstring& folder) {
        ::SetEnvironmentVariableW(L"TMP", folder.c_str());
        ::SetEnvironmentVariableW(L"TEMP", folder.c_str());
    }
    // What the working folder must be: the temporary path, as the system
    // gives it with its trailing backslash, plus "\NeloRecognition".
    static std::wstring ExpectedWorkDir() {
        wchar_t temp[MAX_PATH + 1];
        ::GetTempPathW(MAX_PATH + 1, temp);
        return std::wstring(temp) + L"\\NeloRecognition";
    }
    std::wstring Prepare() {
        std::wstring moduleDir, workDir;
        PrepareWorkDir(::GetModuleHandleW(nullptr), moduleDir, workDir, CaptureMessage);
        m_moduleDir = moduleDir;
        return workDir;
    }

    std::wstring m_root, m_oldTmp, m_oldTemp, m_moduleDir;
};

TEST_F(WorkFolders, FindsModuleFolderAndCreatesWorkingFolder) {
    const std::wstring workDir = Prepare();
    EXPECT_EQ(ExpectedWorkDir(), workDir);
    EXPECT_EQ(m_root + L"\\\\NeloRecognition", workDir);  // the doubled backslash stays
    EXPECT_TRUE(IsFolder(m_root + L"\\NeloRecognition"));
    EXPECT_TRUE(g_messages.empty());

    wchar_t exe[MAX_PATH];
    ::GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring expectedModuleDir(exe);
    expectedModuleDir.erase(expectedModuleDir.rfind(L'\\') + 1);
    EXPECT_EQ(expectedModuleDir, m_moduleDir);
}

TEST_F(WorkFolders, ReplacesAFileOfTheWorkingFoldersName) {
    ASSERT_TRUE(MakeFile(m_root + L"\\NeloRecognition"));
    Prepare();
    EXPECT_TRUE(IsFolder(m_root + L"\\NeloRecognition"));
    EXPECT_TRUE(g_messages.empty());
}

TEST_F(WorkFolders, KeepsAnExistingWorkingFolderAndItsContent) {
    ASSERT_TRUE(::CreateDirectoryW((m_root + L"\\NeloRecognition").c_str(), nullptr));
    ASSERT_TRUE(MakeFile(m_root + L"\\NeloRecognition\\NeloRecognition.log"));
    Prepare();
    EXPECT_TRUE(IsFile(m_root + L"\\NeloRecognition\\NeloRecognition.log"));
    EXPECT_TRUE(g_messages.empty());
}

TEST_F(WorkFolders, ToldWhenTheWorkingFolderCannotBeMade) {
    PointTempAt(m_root + L"\\missing\\deeper");
    const std::wstring workDir = Prepare();
    ASSERT_EQ(1u, g_messages.size());
    EXPECT_EQ(kCreateFailed + workDir, g_messages[0]);
    EXPECT_FALSE(IsFolder(m_root + L"\\missing"));
}

TEST_F(WorkFolders, RecordTempKeepsSubfoldersAndLosesFiles) {
    const std::wstring workDir = Prepare();
    const std::wstring recordTemp = m_root + L"\\NeloRecognition\\_RecordTemp";
    ASSERT_TRUE(::CreateDirectoryW(recordTemp.c_str(), nullptr));
    ASSERT_TRUE(MakeFile(recordTemp + L"\\a.wav"));
    ASSERT_TRUE(MakeFile(recordTemp + L"\\SND1.tmp"));
    ASSERT_TRUE(MakeFile(recordTemp + L"\\noext"));
    ASSERT_TRUE(MakeFile(recordTemp + L"\\hidden.wav", FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(MakeFile(recordTemp + L"\\\u4e2d\u6587.wav"));
    ASSERT_TRUE(::CreateDirectoryW((recordTemp + L"\\keep").c_str(), nullptr));
    ASSERT_TRUE(MakeFile(recordTemp + L"\\keep\\inner.wav"));

    PrepareRecordTempDir(workDir, CaptureMessage);

    for (const wchar_t* gone : {L"a.wav", L"SND1.tmp", L"noext", L"hidden.wav", L"\u4e2d\u6587.wav"}) {
        EXPECT_FALSE(IsFile(recordTemp + L"\\" + gone));
    }
    EXPECT_TRUE(IsFolder(recordTemp + L"\\keep"));
    EXPECT_TRUE(IsFile(recordTemp + L"\\keep\\inner.wav"));
    EXPECT_TRUE(g_messages.empty());
}

TEST_F(WorkFolders, RecordTempIsCreatedOrReplacesAFile) {
    for (bool fileInTheWay : {false, true}) {
        const std::wstring workDir = Prepare();
        const std::wstring recordTemp = m_root + L"\\NeloRecognition\\_RecordTemp";
        if (fileInTheWay) {
            ASSERT_TRUE(MakeFile(recordTemp));
        }
        PrepareRecordTempDir(workDir, CaptureMessage);
        EXPECT_TRUE(IsFolder(recordTemp)) << fileInTheWay;
        EXPECT_TRUE(g_messages.empty());
        RemoveTree(recordTemp);
    }
}

// A file that cannot be deleted is passed over; the rest still go.
TEST_F(WorkFolders, RecordTempIgnoresFilesThatCannotBeDeleted) {
    const std::wstring workDir = Prepare();
    const std::wstring recordTemp = m_root + L"\\NeloRecognition\\_RecordTemp";
    ASSERT_TRUE(::CreateDirectoryW(recordTemp.c_str(), nullptr));
    ASSERT_TRUE(MakeFile(recordTemp + L"\\a.wav"));
    ASSERT_TRUE(MakeFile(recordTemp + L"\\b.wav"));
    HANDLE held = ::CreateFileW((recordTemp + L"\\a.wav").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    PrepareRecordTempDir(workDir, CaptureMessage);
    ::CloseHandle(held);
    EXPECT_FALSE(IsFile(recordTemp + L"\\b.wav"));
    EXPECT_TRUE(g_messages.empty());
}

TEST_F(WorkFolders, ToldWhenRecordTempCannotBeMade) {
    const std::wstring workDir = m_root + L"\\no-such-work-dir";
    PrepareRecordTempDir(workDir, CaptureMessage);
    ASSERT_EQ(1u, g_messages.size());
    EXPECT_EQ(kCreateFailed + GetRecordTempDir(workDir), g_messages[0]);
    // No sink: the failure is still survived.
    PrepareRecordTempDir(workDir, nullptr);
}

TEST_F(WorkFolders, NamedFoldersMatchThePlatformJoin) {
    const std::wstring workDir = Prepare();
    wchar_t buffer[MAX_PATH];
    wcscpy(buffer, workDir.c_str());
    ASSERT_TRUE(PathAppendW(buffer, L"\\_RecordTemp"));
    EXPECT_EQ(std::wstring(buffer), GetRecordTempDir(workDir));
    wcscpy(buffer, m_moduleDir.c_str());
    ASSERT_TRUE(PathAppendW(buffer, L"\\Resources"));
    EXPECT_EQ(std::wstring(buffer), GetResourceDir(m_moduleDir));
    EXPECT_EQ(workDir + L"\\NeloRecognition.log", GetLogPath(workDir));
    EXPECT_EQ(L"", GetLogPath(L""));

    struct DirTypeCase {
        int nDirType;
        bool ok;
        std::wstring folder;
    } const cases[] = {
        {0, true, GetRecordTempDir(workDir)},
        {1, true, GetResourceDir(m_moduleDir)},
        {2, false, L""},
        {-1, false, L""},
    };
    for (const DirTypeCase& c : cases) {
        std::wstring folder = L"left over";
        EXPECT_EQ(c.ok, GetDirForType(c.nDirType, m_moduleDir, workDir, folder)) << c.nDirType;
        EXPECT_EQ(c.folder, folder) << c.nDirType;
    }
}

TEST_F(WorkFolders, TemporarySoundFilesAreNewEmptySndFiles) {
    std::wstring first, second;
    ASSERT_TRUE(CreateTempSoundFile(m_root, first));
    ASSERT_TRUE(CreateTempSoundFile(m_root, second));
    EXPECT_NE(first, second);
    for (const std::wstring& path : {first, second}) {
        const std::wstring name = PathFindFileNameW(path.c_str());
        EXPECT_EQ(m_root + L"\\" + name, path);
        EXPECT_EQ(0u, name.find(L"SND"));
        EXPECT_EQ(name.size() - 4, name.rfind(L".tmp"));
        WIN32_FILE_ATTRIBUTE_DATA data;
        ASSERT_TRUE(::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data));
        EXPECT_EQ(0u, data.nFileSizeLow);
    }
    std::wstring missing = L"left over";
    EXPECT_FALSE(CreateTempSoundFile(m_root + L"\\missing", missing));
    EXPECT_EQ(L"", missing);
}

TEST_F(WorkFolders, ThousandPreparationsLeakNoHandles) {
    const std::wstring workDir = Prepare();
    const std::wstring recordTemp = GetRecordTempDir(workDir);
    PrepareRecordTempDir(workDir, CaptureMessage);
    DWORD before = 0, after = 0;
    ASSERT_TRUE(::GetProcessHandleCount(::GetCurrentProcess(), &before));
    for (int i = 0; i < 1000; ++i) {
        ASSERT_TRUE(MakeFile(recordTemp + L"\\f.wav"));
        PrepareRecordTempDir(workDir, CaptureMessage);
        ASSERT_FALSE(IsFile(recordTemp + L"\\f.wav"));
    }
    ASSERT_TRUE(::GetProcessHandleCount(::GetCurrentProcess(), &after));
    EXPECT_EQ(before, after);
    EXPECT_TRUE(g_messages.empty());
}

}  // namespace
