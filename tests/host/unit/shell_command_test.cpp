#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include "file_ops.h"
#include "host_paths.h"
#include "process_runner.h"
#include "shell_command.h"
#include "text_codec.h"

namespace {

// How Windows (and Wine, for a Linux program's argv) splits a command line.
std::vector<std::wstring> SplitLikeWindows(const std::wstring& commandLine) {
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(commandLine.c_str(), &argc);
    std::vector<std::wstring> out(argv, argv + argc);
    LocalFree(argv);
    return out;
}

const std::wstring kAwkwardWords[] = {
    L"plain", L"two words", L"", L"tab\there", L"say \"hi\"", L"trailing\\", L"C:\\dir with space\\",
    L"back\\\\\"slash", L"\"", L"it's", L"$HOME `x` ; & | > <",
};

TEST(ShellCommand, WindowsQuotingSurvivesTheSplit) {
    for (const auto& word : kAwkwardWords) {
        auto parts = SplitLikeWindows(L"prog.exe " + QuoteWindowsArgument(word) + L" next");
        ASSERT_EQ(parts.size(), 3u) << Utf16ToUtf8(word);
        EXPECT_EQ(parts[1], word) << Utf16ToUtf8(word);
        EXPECT_EQ(parts[2], L"next");
    }
}

TEST(ShellCommand, ShellScriptIsOneArgumentOfSh) {
    std::wstring command = L"/usr/bin/printf '%s' \"a b\" > /tmp/o\\ x";
    auto parts = SplitLikeWindows(BuildShellCommandLine(command, L""));
    ASSERT_EQ(parts.size(), 3u);
    EXPECT_EQ(parts[0], L"/bin/sh");
    EXPECT_EQ(parts[1], L"-c");
    EXPECT_EQ(parts[2], command);

    parts = SplitLikeWindows(BuildShellCommandLine(command, L"/tmp/st'at"));
    ASSERT_EQ(parts.size(), 3u);
    // The command runs in a subshell, then its status goes to the file.
    EXPECT_EQ(parts[2].find(L"(\n" + command + L"\n)\necho $? > "), 0u);
    EXPECT_NE(parts[2].find(QuoteShellWord(L"/tmp/st'at")), std::wstring::npos);
}

TEST(ShellCommand, RecognisesLinuxPrograms) {
    const struct { const wchar_t* command; bool isUnix; } cases[] = {
        {L"/usr/bin/paplay --device=micsink x.wav", true},
        {L"   /bin/true", true},
        {L"\"/opt/my tools/run\" a", true},
        {L"cmd.exe /c exit 3", false},
        {L"C:\\windows\\notepad.exe /x", false},
        {L"//server/share/prog.exe", false},
        {L"/", false},
        {L"", false},
    };
    for (const auto& c : cases) EXPECT_EQ(IsUnixProgramCommand(c.command), c.isUnix) << Utf16ToUtf8(c.command);
}

TEST(ShellCommand, ParsesExitStatusFiles) {
    const struct { const char* text; bool ok; int code; } cases[] = {
        {"0\n", true, 0}, {"127\n", true, 127}, {" 5 \r\n", true, 5}, {"255", true, 255},
        {"", false, 0}, {"\n", false, 0}, {"x\n", false, 0}, {"12a\n", false, 0}, {"-1\n", false, 0},
        {"1 2\n", false, 0},
    };
    for (const auto& c : cases) {
        int code = -99;
        EXPECT_EQ(ParseExitStatus(c.text, code), c.ok) << '"' << c.text << '"';
        if (c.ok) {
            EXPECT_EQ(code, c.code) << '"' << c.text << '"';
        }
    }
}

// Under Wine, the real thing: each awkward word goes through the Windows
// command line, /bin/sh and printf, and comes back byte for byte.
TEST(ShellCommand, ShellQuotingRoundTripsThroughRealShell) {
    if (!RunningUnderWine()) GTEST_SKIP() << "needs Wine to start Linux programs";
    HANDLE neverStop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    wchar_t tempDir[MAX_PATH];
    GetTempPathW(MAX_PATH, tempDir);
    std::wstring outPath = std::wstring(tempDir) + L"nelohost_quote_test.txt";
    std::wstring outUnix = UnixPathOf(outPath);
    ASSERT_FALSE(outUnix.empty());
    for (const auto& word : kAwkwardWords) {
        std::wstring command = L"/usr/bin/printf %s " + QuoteShellWord(word) + L" > " + QuoteShellWord(outUnix);
        CRunOutcome outcome = RunCommand(command, true, neverStop);
        ASSERT_TRUE(outcome.bStarted) << Utf16ToUtf8(outcome.strError);
        EXPECT_EQ(outcome.nExitCode, 0) << Utf16ToUtf8(word);
        std::vector<unsigned char> bytes;
        std::wstring error;
        ASSERT_TRUE(ReadFileRange(outPath, 0, 1000, bytes, error)) << Utf16ToUtf8(error);
        EXPECT_EQ(std::string(bytes.begin(), bytes.end()), Utf16ToUtf8(word));
    }
    // And the exit status of a failing command, including one that calls exit itself.
    EXPECT_EQ(RunCommand(L"/bin/sh -c 'exit 42'", true, neverStop).nExitCode, 42);
    EXPECT_EQ(RunCommand(L"/bin/false; exit 7", true, neverStop).nExitCode, 7);
    RemoveFile(outPath);
    CloseHandle(neverStop);
}

TEST(ShellCommand, WaitingForALinuxProgramEndsWhenTheRunStops) {
    if (!RunningUnderWine()) GTEST_SKIP() << "needs Wine to start Linux programs";
    HANDLE stop = CreateEventW(nullptr, TRUE, TRUE, nullptr);  // already told to stop
    CRunOutcome outcome = RunCommand(L"/bin/sleep 2", true, stop);
    EXPECT_TRUE(outcome.bStarted);
    EXPECT_TRUE(outcome.bStopped);
    CloseHandle(stop);
}

}  // namespace
