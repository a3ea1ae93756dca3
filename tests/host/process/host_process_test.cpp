// NeloHost as a process: for a table of small scripts, the exit code and
// what reaches stdout and stderr. This is the contract other tests and the
// demo rely on (exit codes 0/Quit's, 1 assert, 2 usage, 3 error, 4 timeout).
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "host_paths.h"
#include "text_codec.h"

namespace {

constexpr DWORD kRunLimitMs = 120000;

std::wstring ExeFolder() {
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring p(path, n);
    return p.substr(0, p.find_last_of(L'\\') + 1);
}

std::wstring Quote(const std::wstring& arg) {
    return L"\"" + arg + L"\"";  // the arguments here hold no quotes of their own
}

struct CHostResult {
    bool bFinished = false;
    DWORD nExitCode = 0;
    std::string out;
    std::string err;
};

void Drain(HANDLE pipe, std::string& into) {
    DWORD available = 0;
    while (PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr) && available > 0) {
        char buf[4096];
        DWORD got = 0;
        if (!ReadFile(pipe, buf, available < sizeof(buf) ? available : sizeof(buf), &got, nullptr) || got == 0) return;
        into.append(buf, got);
    }
}

// Runs NeloHost.exe with `args`. Output is collected while it runs and once
// more after it exits, without waiting for the pipes to close: processes the
// host starts (a Linux shell, Wine's own helpers) may hold them longer.
CHostResult RunNeloHost(const std::vector<std::wstring>& args) {
    CHostResult result;
    SECURITY_ATTRIBUTES sa = {sizeof(sa), nullptr, TRUE};
    HANDLE outRead, outWrite, errRead, errWrite;
    if (!CreatePipe(&outRead, &outWrite, &sa, 1 << 16) || !CreatePipe(&errRead, &errWrite, &sa, 1 << 16)) return result;
    SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(errRead, HANDLE_FLAG_INHERIT, 0);

    std::wstring commandLine = Quote(ExeFolder() + L"NeloHost.exe");
    for (const auto& a : args) commandLine += L" " + Quote(a);
    std::vector<wchar_t> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back(0);
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    si.hStdOutput = outWrite;
    si.hStdError = errWrite;
    PROCESS_INFORMATION pi = {};
    BOOL started = CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
    CloseHandle(outWrite);
    CloseHandle(errWrite);
    if (started) {
        ULONGLONG start = GetTickCount64();
        for (;;) {
            DWORD w = WaitForSingleObject(pi.hProcess, 20);
            Drain(outRead, result.out);
            Drain(errRead, result.err);
            if (w == WAIT_OBJECT_0) {
                result.bFinished = true;
                GetExitCodeProcess(pi.hProcess, &result.nExitCode);
                break;
            }
            if (GetTickCount64() - start > kRunLimitMs) {
                TerminateProcess(pi.hProcess, 99);
                break;
            }
        }
        CloseHandle(pi.hProcess);
        CloseHandle(pi.hThread);
    }
    CloseHandle(outRead);
    CloseHandle(errRead);
    return result;
}

// The scripts of one test run live in a private temporary folder.
class HostProcess : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        s_folder = std::wstring(temp) + L"nelohost_process_" + std::to_wstring(GetCurrentProcessId()) + L"\\";
        CreateDirectoryW(s_folder.c_str(), nullptr);
        // Holding a window keeps Wine's desktop process up between the runs,
        // instead of each run starting it anew.
        s_keepDesktop = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    }
    static void TearDownTestSuite() {
        for (const auto& f : s_files) DeleteFileW(f.c_str());
        RemoveDirectoryW(s_folder.c_str());
        if (s_keepDesktop) DestroyWindow(s_keepDesktop);
    }
    static std::wstring WriteScript(const std::wstring& name, const std::string& utf8Text) {
        std::wstring path = s_folder + name;
        HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(h, utf8Text.data(), static_cast<DWORD>(utf8Text.size()), &written, nullptr);
        CloseHandle(h);
        s_files.push_back(path);
        return path;
    }
    static std::wstring s_folder;
    static std::vector<std::wstring> s_files;
    static HWND s_keepDesktop;
};
HWND HostProcess::s_keepDesktop = nullptr;
std::wstring HostProcess::s_folder;
std::vector<std::wstring> HostProcess::s_files;

struct CCase {
    const char* name;
    const wchar_t* fileName;
    const char* script;                  // UTF-8; nullptr: no script file on the command line
    std::vector<std::wstring> options;   // "$MODULE" stands for the test event source
    std::vector<std::wstring> scriptArgs;
    DWORD exitCode;
    const char* stdoutIs;                // exact, when not nullptr
    std::vector<std::string> stderrHas;  // "$SCRIPT" stands for the script's path as given
};

std::string Expand(const std::string& text, const std::wstring& scriptPath) {
    std::string out = text;
    size_t at = out.find("$SCRIPT");
    if (at != std::string::npos) out.replace(at, 7, Utf16ToUtf8(scriptPath));
    return out;
}

const std::wstring kModule = L"$MODULE";

const CCase kCases[] = {
    // Usage errors.
    {"no arguments", nullptr, nullptr, {}, {}, 2, "", {"usage:"}},
    {"unknown option", L"u.js", "", {L"--bogus"}, {}, 2, "", {"unknown option --bogus", "usage:"}},
    {"missing script file", nullptr, nullptr, {L"--no-ctrl", L"C:\\no\\such\\script.js"}, {}, 2, "", {"cannot open"}},

    // Script errors: "<file>(<line>,<col>): <description>", exit 3.
    {"JScript syntax error", L"syntax.js", "var a = 1;\nvar b = 2;\nvar c = ;\n", {L"--no-ctrl"}, {}, 3, "",
     {"$SCRIPT(3,"}},
    {"JScript runtime error", L"runtime.js", "host.Echo('before');\n\n  noSuchFunction();\nhost.Echo('after');\n",
     {L"--no-ctrl"}, {}, 3, "before\n", {"$SCRIPT(3,3): "}},
    {"VBScript runtime error", L"runtime.vbs", "host.Echo \"before\"\nx = 1\nCall NoSuchSub()\nhost.Echo \"after\"\n",
     {L"--no-ctrl"}, {}, 3, "before\n", {"$SCRIPT(3,"}},
    {"error in a JScript handler", L"handler_error.js",
     "function ctrl::EVENT_A(w, l) {\n  undefinedThing();\n}\nctrl.Fire(1, 0, 0);\nhost.Echo('after');\n",
     {L"--module", kModule}, {}, 3, "", {"$SCRIPT(2,"}},
    {"error in a VBScript handler", L"handler_error.vbs",
     "Sub ctrl_EVENT_A(w, l)\n  x = 1\n  Call NoSuchSub()\nEnd Sub\nctrl.Fire 1, 0, 0\nhost.Echo \"after\"\n",
     {L"--module", kModule}, {}, 3, "", {"$SCRIPT(3,"}},
    {"a JScript handler for an event the object lacks is reported", L"misspelt.js",
     "function ctrl::EVENT_C(w, l) {}\nfunction ctrl::EVENT_A(w, l) {}\nhost.Echo('ran');\n", {L"--module", kModule},
     {}, 0, "ran\n", {"ctrl has no event EVENT_C"}},
    {"VBScript MsgBox fails instead of waiting for a click", L"msgbox.vbs", "MsgBox \"hello\"\nhost.Echo \"after\"\n",
     {L"--no-ctrl", L"--timeout", L"60"}, {}, 3, "", {"$SCRIPT(1,"}},

    // host.Quit from the top level and from event handlers in both languages.
    {"Quit with a code", L"quit.js", "host.Echo('a');\nhost.Quit(5);\nhost.Echo('b');\n", {L"--no-ctrl"}, {}, 5, "a\n", {}},
    {"Quit without a code", L"quit0.vbs", "host.Quit\nhost.Echo \"b\"\n", {L"--no-ctrl"}, {}, 0, "", {}},
    {"Quit from a JScript handler", L"quit_handler.js",
     "function ctrl::EVENT_A(w, l) { host.Echo('handled ' + l); host.Quit(7); host.Echo('not here'); }\n"
     "ctrl.PostFromThread(1, 0, 3, 1, 10);\nhost.Sleep(60000);\nhost.Echo('after');\n",
     {L"--module", kModule}, {}, 7, "handled 3\n", {}},
    {"Quit from a VBScript handler", L"quit_handler.vbs",
     "Sub ctrl_EVENT_B(w, l)\n  host.Echo \"handled \" & l\n  host.Quit 9\nEnd Sub\n"
     "ctrl.PostFromThread 2, 0, 4, 1, 10\nhost.Sleep 60000\nhost.Echo \"after\"\n",
     {L"--module", kModule}, {}, 9, "handled 4\n", {}},

    // host.Assert.
    {"failed JScript assertion", L"assert.js", "host.Assert(1 == 1, 'fine');\nhost.Assert(1 == 2, 'one is two');\nhost.Echo('b');\n",
     {L"--no-ctrl"}, {}, 1, "", {"$SCRIPT(2,1): ASSERT FAILED: one is two"}},
    {"failed VBScript assertion", L"assert.vbs", "host.Assert True, \"fine\"\nhost.Assert 1 = 2, \"one is two\"\n",
     {L"--no-ctrl"}, {}, 1, "", {"$SCRIPT(2,1): ASSERT FAILED: one is two"}},
    {"failed assertion inside a handler", L"assert_handler.js",
     "function ctrl::EVENT_A(w, l) { host.Assert(l == 1, 'l is ' + l); }\nctrl.PostFromThread(1, 0, 2, 1, 10);\n"
     "host.Sleep(60000);\n",
     {L"--module", kModule}, {}, 1, "", {"ASSERT FAILED: l is 2"}},
    {"a caught assertion still fails the run", L"assert_caught.js",
     "try { host.Assert(false, 'caught'); } catch (e) {}\nvar x = 1;\n", {L"--no-ctrl"}, {}, 1, "", {"ASSERT FAILED: caught"}},

    // --timeout: a script waiting in the host, and one looping in its own code.
    {"timeout while sleeping", L"sleep.js", "host.Echo('waiting');\nhost.Sleep(600000);\nhost.Echo('woke');\n",
     {L"--no-ctrl", L"--timeout", L"1"}, {}, 4, "waiting\n", {"timeout"}},
    {"timeout in a busy loop", L"loop.vbs", "Do\nLoop\n", {L"--no-ctrl", L"--timeout", L"1"}, {}, 4, "", {"timeout"}},

    // Output and arguments.
    {"Echo writes UTF-8 and joins its arguments", L"echo.js",
     "host.Echo('h\\u00e9llo \\u2713', 1.5, true, 'z\xc3\xbc');\nhost.Echo();\n", {L"--no-ctrl"}, {}, 0,
     "h\xc3\xa9llo \xe2\x9c\x93 1.5 True z\xc3\xbc\n\n", {}},
    {"script arguments in JScript", L"args.js",
     "host.Echo(host.ArgCount() + '|' + host.Arg(0) + '|' + new VBArray(host.Arguments()).toArray().join(','));\n",
     {L"--no-ctrl"}, {L"a b", L"--c"}, 0, "2|a b|a b,--c\n", {}},
    {"script arguments in VBScript", L"args.vbs",
     "s = host.ArgCount & \"|\"\nFor Each a In host.Arguments\n  s = s & a & \"|\"\nNext\nhost.Echo s & host.Arg(1)\n",
     {L"--no-ctrl"}, {L"x", L"y z"}, 0, "2|x|y z|y z\n", {}},

    // Creating the control.
    {"unknown ProgID", L"p.js", "host.Echo('ran');\n", {L"--progid", L"NoSuch.Object.1"}, {}, 3, "",
     {"unknown ProgID NoSuch.Object.1"}},
    {"module without a type library", L"m.js", "host.Echo('ran');\n", {L"--module", L"$HOSTEXE"}, {}, 3, "",
     {"no type library"}},
    {"no control item with --no-ctrl", L"noctrl.js", "host.Echo(typeof ctrl);\n", {L"--no-ctrl"}, {}, 0,
     "undefined\n", {}},
};

class HostProcessCases : public HostProcess, public ::testing::WithParamInterface<CCase> {};

TEST_P(HostProcessCases, ExitCodeAndOutput) {
    const CCase& c = GetParam();
    std::vector<std::wstring> args;
    for (const auto& o : c.options) {
        if (o == kModule) args.push_back(ExeFolder() + L"NeloHostTestSource.dll");
        else if (o == L"$HOSTEXE") args.push_back(ExeFolder() + L"NeloHost.exe");
        else args.push_back(o);
    }
    std::wstring scriptPath;
    if (c.fileName && c.script) {
        scriptPath = WriteScript(c.fileName, c.script);
        args.push_back(scriptPath);
    }
    for (const auto& a : c.scriptArgs) args.push_back(a);

    CHostResult r = RunNeloHost(args);
    ASSERT_TRUE(r.bFinished) << "NeloHost did not finish; stdout: " << r.out << " stderr: " << r.err;
    EXPECT_EQ(r.nExitCode, c.exitCode) << "stderr: " << r.err;
    if (c.stdoutIs) {
        EXPECT_EQ(r.out, c.stdoutIs) << "stderr: " << r.err;
    }
    for (const auto& expected : c.stderrHas) {
        std::string text = Expand(expected, scriptPath);
        EXPECT_NE(r.err.find(text), std::string::npos) << "stderr lacks '" << text << "': " << r.err;
    }
}

INSTANTIATE_TEST_SUITE_P(Table, HostProcessCases, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<CCase>& info) {
                             std::string name;
                             for (const char* p = info.param.name; *p; ++p)
                                 name.push_back(isalnum(static_cast<unsigned char>(*p)) ? *p : '_');
                             return name;
                         });

// A --lib file runs first; an error in it names the library, not the main script.
TEST_F(HostProcess, ErrorInALibraryNamesTheLibrary) {
    std::wstring lib = WriteScript(L"broken_lib.js", "function helper() {}\nhelper(;\n");
    std::wstring main = WriteScript(L"after_lib.js", "host.Echo('main ran');\n");
    CHostResult r = RunNeloHost({L"--no-ctrl", L"--lib", lib, main});
    ASSERT_TRUE(r.bFinished);
    EXPECT_EQ(r.nExitCode, 3u);
    EXPECT_NE(r.err.find(Utf16ToUtf8(lib) + "(2,"), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
}

// After host.Quit in a handler of a synchronous event, the script goes on
// only until its next call of the host or the control; that call is refused.
TEST_F(HostProcess, QuitInASynchronousHandlerStopsFurtherControlCalls) {
    std::wstring marker = s_folder + L"touched.txt";
    std::string markerText = Utf16ToUtf8(marker);
    std::string escaped;
    for (char ch : markerText) escaped += ch == '\\' ? std::string("\\\\") : std::string(1, ch);
    std::wstring script = WriteScript(L"quit_sync.js",
        "function ctrl::EVENT_A(w, l) { host.Quit(6); }\n"
        "ctrl.Touch('" + escaped + ".before');\n"
        "ctrl.Fire(1, 0, 0);\n"
        "ctrl.Touch('" + escaped + "');\n");
    CHostResult r = RunNeloHost({L"--module", ExeFolder() + L"NeloHostTestSource.dll", script});
    ASSERT_TRUE(r.bFinished);
    EXPECT_EQ(r.nExitCode, 6u) << r.err;
    EXPECT_NE(GetFileAttributesW((marker + L".before").c_str()), INVALID_FILE_ATTRIBUTES)
        << "the control call before the stop went through";
    EXPECT_EQ(GetFileAttributesW(marker.c_str()), INVALID_FILE_ATTRIBUTES) << "the call after the stop was refused";
    s_files.push_back(marker + L".before");
    s_files.push_back(marker);
}

// Scripts and modules may be named by Linux paths (Wine maps them).
TEST_F(HostProcess, LinuxPathsForScriptAndModule) {
    if (!RunningUnderWine()) GTEST_SKIP() << "Linux paths only mean something under Wine";
    std::wstring script = WriteScript(L"unix_path.js", "host.Echo(ctrl.Add(20, 22));\n");
    std::wstring unixScript = UnixPathOf(script);
    std::wstring unixModule = UnixPathOf(ExeFolder() + L"NeloHostTestSource.dll");
    ASSERT_FALSE(unixScript.empty());
    ASSERT_FALSE(unixModule.empty());
    CHostResult r = RunNeloHost({L"--module", unixModule, unixScript});
    ASSERT_TRUE(r.bFinished);
    EXPECT_EQ(r.nExitCode, 0u) << r.err;
    EXPECT_EQ(r.out, "42\n");
}

}  // namespace
