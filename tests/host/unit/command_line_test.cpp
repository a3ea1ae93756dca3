#include <gtest/gtest.h>

#include "command_line.h"

namespace {

CParseResult Parse(std::vector<std::wstring> args) { return ParseHostCommandLine(args); }

TEST(HostCommandLine, ScriptAloneGetsTheDefaults) {
    CParseResult r = Parse({L"/work/t/a.js"});
    ASSERT_EQ(r.outcome, EParseOutcome::Run);
    EXPECT_EQ(r.options.strScript, L"/work/t/a.js");
    EXPECT_EQ(r.options.strProgId, L"NELORECOGNITION.NeloRecognitionCtrl.1");
    EXPECT_TRUE(r.options.strModule.empty());
    EXPECT_TRUE(r.options.bCreateControl);
    EXPECT_FALSE(r.options.bActivate);
    EXPECT_EQ(r.options.nTimeoutSeconds, 120u);
    EXPECT_TRUE(r.options.libs.empty());
    EXPECT_TRUE(r.options.scriptArgs.empty());
    EXPECT_EQ(r.options.language, EScriptLanguage::JScript);
}

TEST(HostCommandLine, EveryOptionAndTheScriptsOwnArguments) {
    CParseResult r = Parse({L"--module", L"C:\\m\\x.dll", L"--activate", L"--timeout", L"7", L"--lib", L"a.VBS",
                            L"--lib", L"b.vbs", L"Main.Vbs", L"one", L"--timeout", L"9", L"--no-ctrl"});
    ASSERT_EQ(r.outcome, EParseOutcome::Run) << r.strError;
    EXPECT_EQ(r.options.strModule, L"C:\\m\\x.dll");
    EXPECT_TRUE(r.options.bActivate);
    EXPECT_EQ(r.options.nTimeoutSeconds, 7u);
    EXPECT_EQ(r.options.libs, (std::vector<std::wstring>{L"a.VBS", L"b.vbs"}));
    EXPECT_EQ(r.options.language, EScriptLanguage::VBScript);
    // After the script, options belong to the script.
    EXPECT_EQ(r.options.scriptArgs, (std::vector<std::wstring>{L"one", L"--timeout", L"9", L"--no-ctrl"}));
    EXPECT_TRUE(r.options.bCreateControl);
}

TEST(HostCommandLine, ProgIdNoCtrlAndEndOfOptions) {
    CParseResult r = Parse({L"--progid", L"Scripting.Dictionary", L"s.js"});
    ASSERT_EQ(r.outcome, EParseOutcome::Run);
    EXPECT_EQ(r.options.strProgId, L"Scripting.Dictionary");

    r = Parse({L"--no-ctrl", L"s.js"});
    ASSERT_EQ(r.outcome, EParseOutcome::Run);
    EXPECT_FALSE(r.options.bCreateControl);

    r = Parse({L"--", L"-odd name.js", L"x"});
    ASSERT_EQ(r.outcome, EParseOutcome::Run);
    EXPECT_EQ(r.options.strScript, L"-odd name.js");
    EXPECT_EQ(r.options.scriptArgs, std::vector<std::wstring>{L"x"});

    EXPECT_EQ(Parse({L"--help"}).outcome, EParseOutcome::Help);
}

TEST(HostCommandLine, RefusesBadCommandLines) {
    struct Case {
        std::vector<std::wstring> args;
        const wchar_t* errorMentions;
    };
    const Case cases[] = {
        {{}, L"no script"},
        {{L"--activate"}, L"no script"},
        {{L"--bogus", L"s.js"}, L"unknown option --bogus"},
        {{L"--progid"}, L"--progid needs a value"},
        {{L"--timeout", L"0", L"s.js"}, L"--timeout"},
        {{L"--timeout", L"-5", L"s.js"}, L"--timeout"},
        {{L"--timeout", L"1.5", L"s.js"}, L"--timeout"},
        {{L"--timeout", L"99999999", L"s.js"}, L"--timeout"},
        {{L"notes.txt"}, L".js or .vbs"},
        {{L"--lib", L"h.vbs", L"s.js"}, L"h.vbs"},
        {{L"--no-ctrl", L"--activate", L"s.js"}, L"--no-ctrl"},
        {{L"--progid", L"A.B", L"--module", L"m.dll", L"s.js"}, L"either --progid or --module"},
    };
    for (const auto& c : cases) {
        CParseResult r = Parse(c.args);
        std::wstring shown;
        for (const auto& a : c.args) shown += a + L" ";
        EXPECT_EQ(r.outcome, EParseOutcome::Error) << "args: " << std::string(shown.begin(), shown.end());
        EXPECT_NE(r.strError.find(c.errorMentions), std::wstring::npos)
            << "error was: " << std::string(r.strError.begin(), r.strError.end());
    }
}

}  // namespace
