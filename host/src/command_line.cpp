#include "command_line.h"

#include <cwctype>

namespace {

constexpr unsigned kMaxTimeoutSeconds = 7 * 24 * 3600;

std::wstring Lower(std::wstring s) {
    for (auto& c : s) c = static_cast<wchar_t>(std::towlower(c));
    return s;
}

bool EndsWith(const std::wstring& s, const std::wstring& suffix) {
    return s.size() >= suffix.size() && s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0;
}

bool ParseSeconds(const std::wstring& text, unsigned& seconds) {
    if (text.empty() || text.size() > 9) return false;
    unsigned value = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') return false;
        value = value * 10 + static_cast<unsigned>(c - L'0');
    }
    if (value == 0 || value > kMaxTimeoutSeconds) return false;
    seconds = value;
    return true;
}

CParseResult Fail(std::wstring message) {
    CParseResult r;
    r.outcome = EParseOutcome::Error;
    r.strError = std::move(message);
    return r;
}

}  // namespace

bool LanguageOfScript(const std::wstring& path, EScriptLanguage& language) {
    std::wstring lower = Lower(path);
    if (EndsWith(lower, L".js")) { language = EScriptLanguage::JScript; return true; }
    if (EndsWith(lower, L".vbs")) { language = EScriptLanguage::VBScript; return true; }
    return false;
}

CParseResult ParseHostCommandLine(const std::vector<std::wstring>& args) {
    CParseResult result;
    CHostOptions& o = result.options;
    bool bProgIdGiven = false;
    size_t i = 0;
    for (; i < args.size(); ++i) {
        const std::wstring& a = args[i];
        if (a.empty() || a[0] != L'-') break;
        if (a == L"--") { ++i; break; }
        if (a == L"-h" || a == L"--help" || a == L"/?") {
            result.outcome = EParseOutcome::Help;
            return result;
        }
        bool bNeedsValue = a == L"--progid" || a == L"--module" || a == L"--timeout" || a == L"--lib";
        if (bNeedsValue) {
            if (i + 1 >= args.size() || args[i + 1].empty())
                return Fail(L"option " + a + L" needs a value");
            const std::wstring& value = args[++i];
            if (a == L"--progid") { o.strProgId = value; bProgIdGiven = true; }
            else if (a == L"--module") o.strModule = value;
            else if (a == L"--lib") o.libs.push_back(value);
            else if (!ParseSeconds(value, o.nTimeoutSeconds))
                return Fail(L"--timeout needs a whole number of seconds from 1 to 604800, not '" + value + L"'");
        } else if (a == L"--no-ctrl") {
            o.bCreateControl = false;
        } else if (a == L"--activate") {
            o.bActivate = true;
        } else {
            return Fail(L"unknown option " + a);
        }
    }
    if (i >= args.size()) return Fail(L"no script given");
    o.strScript = args[i];
    o.scriptArgs.assign(args.begin() + static_cast<std::ptrdiff_t>(i + 1), args.end());

    if (!LanguageOfScript(o.strScript, o.language))
        return Fail(L"the script must end in .js or .vbs: " + o.strScript);
    for (const auto& lib : o.libs) {
        EScriptLanguage libLanguage;
        if (!LanguageOfScript(lib, libLanguage) || libLanguage != o.language)
            return Fail(L"--lib " + lib + L" is not in the main script's language");
    }
    if (!o.bCreateControl && (bProgIdGiven || !o.strModule.empty() || o.bActivate))
        return Fail(L"--no-ctrl cannot be combined with --progid, --module or --activate");
    if (bProgIdGiven && !o.strModule.empty())
        return Fail(L"give either --progid or --module, not both");

    result.outcome = EParseOutcome::Run;
    return result;
}

const wchar_t* HostUsageText() {
    return L"usage: NeloHost.exe [--progid <ProgID>] [--module <dll>] [--no-ctrl] [--activate]\n"
           L"                    [--timeout <s>] [--lib <file>]... <script.js|.vbs> [script args...]\n"
           L"  --progid <ProgID>  create the control by this ProgID\n"
           L"                     (default NELORECOGNITION.NeloRecognitionCtrl.1)\n"
           L"  --module <dll>     create the control from this module, without the registry\n"
           L"  --no-ctrl          add no control item\n"
           L"  --activate         in-place activate the control in a window, as a page does\n"
           L"  --timeout <s>      end a script still running after <s> seconds, exit code 4 (default 120)\n"
           L"  --lib <file>       run this file (same language) before the script; repeatable\n"
           L"exit codes: 0 or host.Quit's code; 1 failed host.Assert; 2 usage; 3 script error\n"
           L"            or host failure; 4 timeout\n";
}
