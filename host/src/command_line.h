// The host's command line, parsed without touching the system so tests can
// feed it exact argument lists.
//
//   NeloHost.exe [--progid <ProgID>] [--module <dll>] [--no-ctrl] [--activate]
//                [--timeout <s>] [--lib <file>]... <script.js|.vbs> [script args...]
#pragma once

#include <string>
#include <vector>

enum class EScriptLanguage { JScript, VBScript };

struct CHostOptions {
    std::wstring strProgId = L"NELORECOGNITION.NeloRecognitionCtrl.1";
    std::wstring strModule;          // non-empty: create the control from this DLL, no registry
    bool bCreateControl = true;      // false with --no-ctrl
    bool bActivate = false;
    unsigned nTimeoutSeconds = 120;
    std::vector<std::wstring> libs;  // parsed before the main script, in order
    std::wstring strScript;
    std::vector<std::wstring> scriptArgs;
    EScriptLanguage language = EScriptLanguage::JScript;
};

enum class EParseOutcome { Run, Help, Error };

struct CParseResult {
    EParseOutcome outcome = EParseOutcome::Error;
    CHostOptions options;
    std::wstring strError;  // set when outcome is Error
};

// `args` excludes the program name. Options must come before the script;
// everything after the script belongs to the script.
CParseResult ParseHostCommandLine(const std::vector<std::wstring>& args);

// The language a script file is written in, by its extension (.js or .vbs,
// any case). False for anything else.
bool LanguageOfScript(const std::wstring& path, EScriptLanguage& language);

const wchar_t* HostUsageText();
