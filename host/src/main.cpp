// NeloHost: runs a JScript or VBScript file with the system's script engines
// and the control as the named item "ctrl", as a page in a browser would.
#include <windows.h>

#include <string>
#include <vector>

#include "command_line.h"
#include "console_out.h"
#include "run_state.h"
#include "script_runner.h"

int wmain(int argc, wchar_t** argv) {
    std::vector<std::wstring> args;
    for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
    CParseResult parsed = ParseHostCommandLine(args);
    switch (parsed.outcome) {
    case EParseOutcome::Help:
        WriteLine(EStream::Out, HostUsageText());
        return kExitOk;
    case EParseOutcome::Error:
        WriteLine(EStream::Err, L"NeloHost: " + parsed.strError);
        WriteLine(EStream::Err, HostUsageText());
        return kExitUsage;
    case EParseOutcome::Run:
        break;
    }
    return RunHost(parsed.options);
}
