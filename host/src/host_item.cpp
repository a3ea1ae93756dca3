#include "host_item.h"

#include <cwctype>

#include "com_ptr.h"
#include "console_out.h"
#include "dispatch_args.h"
#include "file_ops.h"
#include "host_paths.h"
#include "message_pump.h"
#include "process_runner.h"
#include "text_codec.h"

namespace {

enum EHostMember : DISPID {
    kEcho = 1, kSleep, kQuit, kArguments, kArg, kArgCount, kNow, kEnv, kRun,
    kFileExists, kFileSize, kReadFileHex, kWriteFileHex, kWriteTextFile, kDeleteFile,
    kAssert, kScriptDir,
};

struct CMemberName {
    const wchar_t* name;
    DISPID id;
};

const CMemberName kMembers[] = {
    {L"Echo", kEcho}, {L"Sleep", kSleep}, {L"Quit", kQuit}, {L"Arguments", kArguments},
    {L"Arg", kArg}, {L"ArgCount", kArgCount}, {L"Now", kNow}, {L"Env", kEnv}, {L"Run", kRun},
    {L"FileExists", kFileExists}, {L"FileSize", kFileSize}, {L"ReadFileHex", kReadFileHex},
    {L"WriteFileHex", kWriteFileHex}, {L"WriteTextFile", kWriteTextFile}, {L"DeleteFile", kDeleteFile},
    {L"Assert", kAssert}, {L"ScriptDir", kScriptDir},
};

// Reading more than this in one call is a script bug, not a test need.
constexpr long long kMaxReadBytes = 64LL * 1024 * 1024;
constexpr long long kMaxSleepMs = 24LL * 3600 * 1000;

void SetString(VARIANT* result, const std::wstring& text) {
    if (!result) return;
    V_VT(result) = VT_BSTR;
    V_BSTR(result) = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
}

void SetNumber(VARIANT* result, long long value) {
    if (!result) return;
    if (value >= LONG_MIN && value <= LONG_MAX) {
        V_VT(result) = VT_I4;
        V_I4(result) = static_cast<LONG>(value);
    } else {
        V_VT(result) = VT_R8;
        V_R8(result) = static_cast<double>(value);
    }
}

void SetBool(VARIANT* result, bool value) {
    if (!result) return;
    V_VT(result) = VT_BOOL;
    V_BOOL(result) = value ? VARIANT_TRUE : VARIANT_FALSE;
}

bool EqualsNoCase(const wchar_t* a, const wchar_t* b) {
    for (; *a && *b; ++a, ++b)
        if (std::towlower(*a) != std::towlower(*b)) return false;
    return *a == *b;
}

bool PathArg(const CDispArgs& args, UINT index, std::wstring& path) {
    if (!args.String(index, path) || path.empty()) return false;
    path = ResolveHostPath(path);
    return true;
}

HRESULT BadArgs(EXCEPINFO* e, const wchar_t* usage) {
    return RaiseScriptError(e, std::wstring(L"host.") + usage + L": bad or missing argument");
}

}  // namespace

CHostItem::CHostItem(CRunState& state, std::vector<std::wstring> scriptArgs, std::wstring scriptDir)
    : m_state(state), m_scriptArgs(std::move(scriptArgs)), m_strScriptDir(std::move(scriptDir)) {
    QueryPerformanceFrequency(&m_clockFrequency);
    QueryPerformanceCounter(&m_clockStart);
}

STDMETHODIMP CHostItem::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IDispatch) {
        *ppv = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP CHostItem::GetTypeInfoCount(UINT* pctinfo) {
    if (!pctinfo) return E_POINTER;
    *pctinfo = 0;
    return S_OK;
}

STDMETHODIMP CHostItem::GetTypeInfo(UINT, LCID, ITypeInfo** ppTInfo) {
    if (ppTInfo) *ppTInfo = nullptr;
    return DISP_E_BADINDEX;
}

STDMETHODIMP CHostItem::GetIDsOfNames(REFIID, LPOLESTR* rgszNames, UINT cNames, LCID, DISPID* rgDispId) {
    if (!rgszNames || !rgDispId || cNames == 0) return E_INVALIDARG;
    for (UINT i = 0; i < cNames; ++i) rgDispId[i] = DISPID_UNKNOWN;
    for (const auto& m : kMembers) {
        if (EqualsNoCase(rgszNames[0], m.name)) {
            rgDispId[0] = m.id;
            // The host's members take no named arguments.
            return cNames == 1 ? S_OK : DISP_E_UNKNOWNNAME;
        }
    }
    return DISP_E_UNKNOWNNAME;
}

STDMETHODIMP CHostItem::Invoke(DISPID dispIdMember, REFIID, LCID, WORD wFlags, DISPPARAMS* pDispParams,
                               VARIANT* pVarResult, EXCEPINFO* pExcepInfo, UINT*) {
    // Every member is a method; reading one as a property calls it, which is
    // what VBScript does for a call without parentheses.
    if (!(wFlags & (DISPATCH_METHOD | DISPATCH_PROPERTYGET))) return DISP_E_MEMBERNOTFOUND;
    if (pVarResult) VariantInit(pVarResult);
    if (m_state.Stopping()) return RaiseScriptError(pExcepInfo, L"the script is being stopped");
    return Call(dispIdMember, pDispParams, pVarResult, pExcepInfo);
}

HRESULT CHostItem::Call(DISPID id, const DISPPARAMS* params, VARIANT* result, EXCEPINFO* e) {
    CDispArgs args(params);
    switch (id) {
    case kEcho: {
        std::wstring line;
        for (UINT i = 0; i < args.Count(); ++i) {
            if (i) line.push_back(L' ');
            line += VariantToText(*args.At(i));
        }
        WriteLine(EStream::Out, line);
        return S_OK;
    }
    case kSleep: {
        long long ms;
        if (!args.Integer(0, 0, kMaxSleepMs, ms)) return BadArgs(e, L"Sleep(ms)");
        if (PumpingWait(nullptr, static_cast<DWORD>(ms), m_state.StopEvent()) == EWaitResult::Stopped)
            return RaiseScriptError(e, L"the script is being stopped");
        return S_OK;
    }
    case kQuit: {
        long long code = 0;
        if (!args.IsAbsent(0) && !args.Integer(0, INT_MIN, INT_MAX, code)) return BadArgs(e, L"Quit(code)");
        m_state.RequestStop(EStopReason::Quit, static_cast<int>(code));
        // The error unwinds the script, from its top level or from inside an
        // event handler; the host does not report it.
        return RaiseScriptError(e, L"host.Quit");
    }
    case kArguments: {
        SAFEARRAY* psa = SafeArrayCreateVector(VT_VARIANT, 0, static_cast<ULONG>(m_scriptArgs.size()));
        if (!psa) return E_OUTOFMEMORY;
        {
            VARIANT* items = nullptr;
            CSafeArrayAccess access(psa, reinterpret_cast<void**>(&items));
            if (!access.Ok()) { SafeArrayDestroy(psa); return E_FAIL; }
            for (size_t i = 0; i < m_scriptArgs.size(); ++i) {
                V_VT(&items[i]) = VT_BSTR;
                V_BSTR(&items[i]) = SysAllocString(m_scriptArgs[i].c_str());
            }
        }
        if (!result) { SafeArrayDestroy(psa); return S_OK; }
        V_VT(result) = VT_ARRAY | VT_VARIANT;
        V_ARRAY(result) = psa;
        return S_OK;
    }
    case kArg: {
        long long index;
        if (!args.Integer(0, 0, LONG_MAX, index)) return BadArgs(e, L"Arg(index)");
        if (static_cast<size_t>(index) >= m_scriptArgs.size())
            return RaiseScriptError(e, L"host.Arg(" + std::to_wstring(index) + L"): there are only " +
                                           std::to_wstring(m_scriptArgs.size()) + L" script arguments");
        SetString(result, m_scriptArgs[static_cast<size_t>(index)]);
        return S_OK;
    }
    case kArgCount:
        SetNumber(result, static_cast<long long>(m_scriptArgs.size()));
        return S_OK;
    case kNow: {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        if (result) {
            V_VT(result) = VT_R8;
            V_R8(result) = static_cast<double>(now.QuadPart - m_clockStart.QuadPart) * 1000.0 /
                           static_cast<double>(m_clockFrequency.QuadPart);
        }
        return S_OK;
    }
    case kEnv: {
        std::wstring name;
        if (!args.String(0, name) || name.empty()) return BadArgs(e, L"Env(name)");
        DWORD n = GetEnvironmentVariableW(name.c_str(), nullptr, 0);
        std::wstring value;
        if (n > 0) {
            value.resize(n);
            n = GetEnvironmentVariableW(name.c_str(), &value[0], n);
            value.resize(n);
        }
        SetString(result, value);
        return S_OK;
    }
    case kRun: {
        std::wstring commandLine;
        bool bWait = false;
        if (!args.String(0, commandLine) || commandLine.empty()) return BadArgs(e, L"Run(commandLine, wait)");
        if (!args.IsAbsent(1) && !args.Bool(1, bWait)) return BadArgs(e, L"Run(commandLine, wait)");
        CRunOutcome outcome = RunCommand(commandLine, bWait, m_state.StopEvent());
        if (!outcome.bStarted)
            return RaiseScriptError(e, L"host.Run: cannot start " + commandLine + L": " + outcome.strError);
        if (outcome.bStopped) return RaiseScriptError(e, L"the script is being stopped");
        if (!outcome.strError.empty()) return RaiseScriptError(e, L"host.Run: " + outcome.strError);
        SetNumber(result, outcome.nExitCode);
        return S_OK;
    }
    case kFileExists: {
        std::wstring path;
        if (!PathArg(args, 0, path)) return BadArgs(e, L"FileExists(path)");
        SetBool(result, IsExistingFile(path));
        return S_OK;
    }
    case kFileSize: {
        std::wstring path;
        if (!PathArg(args, 0, path)) return BadArgs(e, L"FileSize(path)");
        SetNumber(result, SizeOfFile(path));
        return S_OK;
    }
    case kReadFileHex: {
        std::wstring path, error;
        long long offset = 0, count = 0;
        if (!PathArg(args, 0, path) || !args.Integer(1, 0, 1LL << 52, offset) ||
            !args.Integer(2, 0, kMaxReadBytes, count))
            return BadArgs(e, L"ReadFileHex(path, offset, count)");
        std::vector<unsigned char> bytes;
        if (!ReadFileRange(path, static_cast<unsigned long long>(offset), static_cast<size_t>(count), bytes, error))
            return RaiseScriptError(e, L"host.ReadFileHex: " + error);
        SetString(result, BytesToHex(bytes.data(), bytes.size()));
        return S_OK;
    }
    case kWriteFileHex:
    case kWriteTextFile: {
        std::wstring path, data, error;
        if (!PathArg(args, 0, path) || !args.String(1, data))
            return BadArgs(e, id == kWriteFileHex ? L"WriteFileHex(path, hex)" : L"WriteTextFile(path, text)");
        std::vector<unsigned char> bytes;
        if (id == kWriteFileHex) {
            if (!HexToBytes(data, bytes)) return RaiseScriptError(e, L"host.WriteFileHex: not an even run of hex digits");
        } else {
            std::string utf8 = Utf16ToUtf8(data);
            bytes.assign(utf8.begin(), utf8.end());
        }
        if (!WriteWholeFile(path, bytes, error))
            return RaiseScriptError(e, std::wstring(id == kWriteFileHex ? L"host.WriteFileHex: " : L"host.WriteTextFile: ") + error);
        return S_OK;
    }
    case kDeleteFile: {
        std::wstring path;
        if (!PathArg(args, 0, path)) return BadArgs(e, L"DeleteFile(path)");
        SetBool(result, RemoveFile(path));
        return S_OK;
    }
    case kAssert: {
        bool bHolds = false;
        if (!args.Bool(0, bHolds)) return BadArgs(e, L"Assert(condition, message)");
        if (bHolds) return S_OK;
        std::wstring message = args.IsAbsent(1) ? std::wstring(L"(no message)") : VariantToText(*args.At(1));
        std::wstring report = L"ASSERT FAILED: " + message;
        if (m_state.RequestStop(EStopReason::Assert, kExitAssert)) m_state.SetPendingReport(report);
        return RaiseScriptError(e, report);
    }
    case kScriptDir:
        SetString(result, m_strScriptDir);
        return S_OK;
    default:
        return DISP_E_MEMBERNOTFOUND;
    }
}
