#include <gtest/gtest.h>

#include <windows.h>

#include "file_ops.h"
#include "host_paths.h"
#include "script_error.h"
#include "text_codec.h"

namespace {

std::vector<unsigned char> Bytes(std::initializer_list<int> list) {
    std::vector<unsigned char> out;
    for (int b : list) out.push_back(static_cast<unsigned char>(b));
    return out;
}

TEST(ScriptText, DecodesTheEncodingsScriptsAreSavedIn) {
    const std::wstring expected = L"a\u00e9\u2713";
    EXPECT_EQ(DecodeScriptText(Bytes({0xEF, 0xBB, 0xBF, 'a', 0xC3, 0xA9, 0xE2, 0x9C, 0x93})), expected);
    EXPECT_EQ(DecodeScriptText(Bytes({'a', 0xC3, 0xA9, 0xE2, 0x9C, 0x93})), expected);
    EXPECT_EQ(DecodeScriptText(Bytes({0xFF, 0xFE, 'a', 0, 0xE9, 0, 0x13, 0x27})), expected);
    EXPECT_EQ(DecodeScriptText({}), L"");
    // Not UTF-8 (a lone Latin-1 byte): read in the ANSI code page, nothing dropped.
    auto ansi = Bytes({'x', 0xE9, 'y'});
    wchar_t viaAnsi[8] = {};
    int n = MultiByteToWideChar(CP_ACP, 0, reinterpret_cast<const char*>(ansi.data()), 3, viaAnsi, 8);
    EXPECT_EQ(DecodeScriptText(ansi), std::wstring(viaAnsi, static_cast<size_t>(n)));
    EXPECT_EQ(DecodeScriptText(ansi).size(), 3u);
}

TEST(ScriptText, HexBothWays) {
    auto data = Bytes({0x00, 0x7F, 0x80, 0xFF, 0x1A});
    std::wstring hex = BytesToHex(data.data(), data.size());
    EXPECT_EQ(hex, L"007F80FF1A");
    std::vector<unsigned char> back;
    ASSERT_TRUE(HexToBytes(hex, back));
    EXPECT_EQ(back, data);
    ASSERT_TRUE(HexToBytes(L"ff0a", back));  // lowercase accepted
    EXPECT_EQ(back, Bytes({0xFF, 0x0A}));
    for (const wchar_t* bad : {L"abc", L"0g", L"0 ", L"-1"}) {
        EXPECT_FALSE(HexToBytes(bad, back)) << Utf16ToUtf8(bad);
        EXPECT_TRUE(back.empty());
    }
}

TEST(ScriptErrorLine, ShowsOneBasedPositions) {
    EXPECT_EQ(FormatScriptError(L"a.js", 0, 0, L"Object expected"), L"a.js(1,1): Object expected");
    EXPECT_EQ(FormatScriptError(L"/w/b.vbs", 41, 6, L"Type mismatch\r\n"), L"/w/b.vbs(42,7): Type mismatch");
    EXPECT_EQ(FormatScriptError(L"c.js", 2, -1, L""), L"c.js(3,1): script error");
}

TEST(ScriptErrorLine, DescribesBareErrorCodes) {
    // The system's text when it has one, always with the code.
    std::wstring known = DescribeErrorCode(static_cast<long>(E_OUTOFMEMORY));
    EXPECT_NE(known.find(L"(0x8007000E)"), std::wstring::npos) << Utf16ToUtf8(known);
    EXPECT_GT(known.size(), std::wstring(L" (0x8007000E)").size());
    EXPECT_EQ(DescribeErrorCode(static_cast<long>(0x800A7FFF)), L"error 0x800A7FFF");
    EXPECT_EQ(DescribeErrorCode(0), L"script error");
}

TEST(HostPaths, TellsLinuxPathsApart) {
    const struct { const wchar_t* path; bool isUnix; const wchar_t* driveZ; } cases[] = {
        {L"/work/t/a.js", true, L"Z:\\work\\t\\a.js"},
        {L"/", true, L"Z:\\"},
        {L"//server/share/a.js", false, nullptr},
        {L"C:\\t\\a.js", false, nullptr},
        {L"a.js", false, nullptr},
        {L"", false, nullptr},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LooksLikeUnixPath(c.path), c.isUnix) << Utf16ToUtf8(c.path);
        if (c.driveZ) {
            EXPECT_EQ(UnixPathToDriveZ(c.path), c.driveZ);
        }
    }
}

TEST(HostPaths, RelativePathsBecomeAbsolute) {
    wchar_t cwd[MAX_PATH];
    DWORD n = GetCurrentDirectoryW(MAX_PATH, cwd);
    std::wstring base(cwd, n);
    if (base.back() != L'\\') base.push_back(L'\\');
    EXPECT_EQ(ResolveHostPath(L"sub\\x.js"), base + L"sub\\x.js");
    EXPECT_EQ(ResolveHostPath(L"C:\\a\\..\\b.js"), L"C:\\b.js");
}

// Under Wine a Linux path must name the same file the Windows side then opens.
TEST(HostPaths, LinuxPathReachesTheSameFileUnderWine) {
    if (!RunningUnderWine()) GTEST_SKIP() << "Linux paths only mean something under Wine";
    wchar_t tempDir[MAX_PATH];
    GetTempPathW(MAX_PATH, tempDir);
    std::wstring windowsPath = std::wstring(tempDir) + L"nelohost path \u00e9.txt";
    std::wstring error;
    ASSERT_TRUE(WriteWholeFile(windowsPath, Bytes({'o', 'k'}), error)) << Utf16ToUtf8(error);
    std::wstring unixPath = UnixPathOf(windowsPath);
    ASSERT_TRUE(LooksLikeUnixPath(unixPath)) << Utf16ToUtf8(unixPath);
    std::wstring resolved = ResolveHostPath(unixPath);
    EXPECT_EQ(SizeOfFile(resolved), 2) << Utf16ToUtf8(resolved);
    EXPECT_TRUE(RemoveFile(resolved));
    EXPECT_FALSE(IsExistingFile(windowsPath));
}

}  // namespace
