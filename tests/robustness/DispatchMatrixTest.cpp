// Every dispatch method of the control, called through IDispatch::Invoke by
// DISPID and by name, with every hostile value in every parameter position,
// in each state a page can bring the control into. Whatever comes in: no
// crash, no hang (the watchdog names the call), a result of the declared type
// inside its family's values, type mismatches only for typed parameters, and
// nothing outside the two folders touched. Hostile file names are refused
// with the method's failure value and its log line.
//
// Bounded by default (make test): a deterministic sample of the matrix. Long
// runs: NELO_ROBUSTNESS_FULL=1 (the whole matrix in every state) and
// NELO_ROBUSTNESS_SECONDS=1800 (random combinations for that long).
#include <gtest/gtest.h>

#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>

#include "ArgumentMatrix.h"
#include "ComPtr.h"
#include "FakePs.h"
#include "NeloRecognitionCtrl.h"
#include "RobustnessSupport.h"
#include "Variant.h"

namespace {

using namespace robust;

enum class Family { PassThrough, YesNo, ZeroForSuccess, CountOrHandle, Text, Array, QueueRead, None };

Family FamilyOf(const std::wstring& name) {
    static const std::map<std::wstring, Family> families = [] {
        std::map<std::wstring, Family> m;
        for (const wchar_t* n : {L"OcxEndSession", L"OcxResetSession", L"OcxSetECode", L"OcxSetECodeByStr", L"OcxLoadNet",
                                 L"OcxLoadNetByStr", L"OcxNetIsExist", L"OcxSetRange", L"OcxScoreSoundByBuf",
                                 L"OcxScoreSoundByName", L"OcxScoreSoundByStr", L"OcxRemoveFile", L"OcxMemoryBlockRelease",
                                 L"OcxOpenSoundByMBBuf", L"OcxPlaySoundByMBBuf", L"OcxPlaySound", L"OcxCloseSound",
                                 L"OcxStopSound", L"OcxPauseSound", L"OcxResumeSound", L"OcxSetPlayStatus",
                                 L"OcxPlaySoundEx", L"OcxStopRecord", L"OcxSetRecordNoVoiceTime",
                                 L"OcxSetRecordTailSilenceTime", L"OcxSetRecordMaxRecordTime", L"OcxSetRecordAutoStopEN",
                                 L"OcxGetStatementStress", L"OcxGetStressWord"})
            m[n] = Family::YesNo;
        for (const wchar_t* n : {L"OcxBeginRecord", L"OcxOpenSoundByFile", L"OcxOpenSoundByBuf", L"OcxOpenSoundByStr",
                                 L"OcxPlaySoundByFile", L"OcxPlaySoundByBuf", L"OcxPlaySoundByStr"})
            m[n] = Family::ZeroForSuccess;
        for (const wchar_t* n : {L"OcxMemoryBlockCreate", L"OcxMemoryBlockWrite", L"OcxMemoryBlockWriteByStr"})
            m[n] = Family::CountOrHandle;
        for (const wchar_t* n : {L"OcxGetSessionErrInfo", L"OcxGetOrgText", L"OcxCreateFile"}) m[n] = Family::Text;
        for (const wchar_t* n : {L"OcxGetPhoneticItem", L"OcxGetFileData"}) m[n] = Family::Array;
        for (const wchar_t* n : {L"OcxGetRecordState", L"OcxGetPlayState", L"OcxGetScoreState"}) m[n] = Family::QueueRead;
        for (const wchar_t* n : {L"OcxEndRecord", L"OcxCancelRecord"}) m[n] = Family::None;
        return m;
    }();
    auto it = families.find(name);
    return it == families.end() ? Family::PassThrough : it->second;
}

enum class State { Idle, MemoryBlocks, EngineFailing, Scoring, Playing, Paused, Recording };
const char* StateName(State s) {
    switch (s) {
        case State::Idle: return "no sound open";
        case State::MemoryBlocks: return "memory blocks live";
        case State::EngineFailing: return "engine failing";
        case State::Scoring: return "score jobs in flight";
        case State::Playing: return "playing";
        case State::Paused: return "paused";
        case State::Recording: return "recording";
    }
    return "?";
}

const char* const kEngineFunctions[] = {
    "PsGetEngineVer", "PsGetMinReadDataVer", "PsStartSession", "PsEndSession", "PsResetSession",
    "PsGetSessionErrCode", "PsGetSessionErrInfo", "PsSetECode", "PsLoadNet", "PsNetIsExist", "PsGetOrgText",
    "PsGetTextSplitCount", "PsGetTextSplitItemW", "PsSetPhoneticType", "PsGetPhoneticCount", "PsGetPhoneticItem",
    "PsGetTone", "PsGetStatementStress", "PsGetStressWord", "PsSetRange", "PsGetRange", "PsSoundByName",
    "PsSoundByPoint", "PsGetEffectiveData", "PsGetSentenceResult", "PsGetWordResult", "PsGetResPhonemeCount",
    "PsGetResPhonemeItem"};

// The engine answering failure everywhere: false, 0 or -1, and failing fills.
void MakeEngineFailEverywhere() {
    for (const char* f : kEngineFunctions) {
        const std::string name(f);
        const bool returnsBool = name == "PsEndSession" || name == "PsResetSession" || name == "PsSetECode" ||
                                 name == "PsNetIsExist" || name == "PsGetTextSplitItemW" || name == "PsGetStatementStress" ||
                                 name == "PsGetStressWord" || name == "PsSetRange" || name == "PsGetRange" ||
                                 name == "PsSoundByName" || name == "PsSoundByPoint";
        const bool zeroIsFailure = returnsBool || name == "PsStartSession" || name == "PsGetEffectiveData";
        FakePs_SetResult(f, zeroIsFailure ? 0 : -1);
    }
    for (const char* f : {"PsGetSessionErrInfo", "PsGetOrgText", "PsGetPhoneticItem"}) FakePs_SetSecondResult(f, -1);
}

struct Tally {
    long calls = 0;
    long byName = 0;
    std::map<std::string, long> outcomes;  // HRESULT name -> count
    std::vector<std::string> findings;
};

std::string HrName(HRESULT hr) {
    switch (hr) {
        case S_OK: return "S_OK";
        case DISP_E_TYPEMISMATCH: return "DISP_E_TYPEMISMATCH";
        case DISP_E_BADPARAMCOUNT: return "DISP_E_BADPARAMCOUNT";
        case DISP_E_PARAMNOTOPTIONAL: return "DISP_E_PARAMNOTOPTIONAL";
        case DISP_E_NONAMEDARGS: return "DISP_E_NONAMEDARGS";
        case DISP_E_MEMBERNOTFOUND: return "DISP_E_MEMBERNOTFOUND";
        case DISP_E_UNKNOWNNAME: return "DISP_E_UNKNOWNNAME";
        case DISP_E_EXCEPTION: return "DISP_E_EXCEPTION";
        case E_INVALIDARG: return "E_INVALIDARG";
        default: {
            char buf[32];
            std::snprintf(buf, sizeof buf, "0x%08lX", static_cast<unsigned long>(hr));
            return buf;
        }
    }
}

class DispatchMatrix : public ::testing::Test {
protected:
    void SetUp() override {
        FakePs_Reset();
        ASSERT_EQ(CNeloRecognitionCtrl::Create(IID_IDispatch, m_dispatch.ReceiveVoid()), S_OK);
        m_ctrl = static_cast<CNeloRecognitionCtrl*>(static_cast<nelo::ControlBase*>(m_dispatch.Get()));
        m_table = CNeloRecognitionCtrl::DispatchTable(&m_tableSize);
        WriteToneWav(RecordTempDir() + L"\\tone.wav", 3000);
        // Handles that were valid once, and live ones.
        m_session = CallLong(L"OcxStartSession", {});
        const LONG ended = CallLong(L"OcxStartSession", {});
        CallLong(L"OcxEndSession", {nelo::Variant::FromI4(ended)});
        const LONG released = CallLong(L"OcxMemoryBlockCreate", {nelo::Variant::FromI4(32)});
        CallLong(L"OcxMemoryBlockRelease", {nelo::Variant::FromI4(released)});
        m_block = CallLong(L"OcxMemoryBlockCreate", {nelo::Variant::FromI4(4096)});
        m_guard.reset(new OutsideGuard());
        m_values.reset(new ArgumentCatalogue(m_guard->SentinelPaths(), {ended, released}, {m_session, m_block}));
    }

    void TearDown() override {
        LeaveState();
        FakePs_Reset();
        m_values.reset();
        m_dispatch = nullptr;
        PumpPending();
        EXPECT_TRUE(m_guard->Check().empty());
        m_guard.reset();
    }

    LONG CallLong(const wchar_t* name, std::vector<nelo::Variant> args) {
        const nelo::DispEntry* e = FindDispEntry(m_table, m_tableSize, name);
        std::vector<VARIANT> reversed;
        for (auto it = args.rbegin(); it != args.rend(); ++it) reversed.push_back(*it->Get());
        DISPPARAMS p = {reversed.empty() ? nullptr : reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
        nelo::Variant r;
        EXPECT_EQ(m_dispatch->Invoke(e->id, IID_NULL, 0, DISPATCH_METHOD, &p, r.Get(), nullptr, nullptr), S_OK);
        return r.Type() == VT_UI4 ? static_cast<LONG>(V_UI4(r.Get())) : V_I4(r.Get());
    }

    // One Invoke; `args` in declaration order (any number of them).
    HRESULT Invoke(const nelo::DispEntry& e, bool byName, const std::vector<VARIANT>& args, nelo::Variant& result,
                   WORD flags = DISPATCH_METHOD, bool named = false, bool wantResult = true) {
        DISPID id = e.id;
        if (byName) {
            LPOLESTR names[] = {const_cast<LPOLESTR>(e.name)};
            const HRESULT found = m_dispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
            if (found != S_OK || id != e.id) return found == S_OK ? E_UNEXPECTED : found;
            ++m_tally.byName;
        }
        std::vector<VARIANT> reversed(args.rbegin(), args.rend());
        DISPID namedId = 0;
        DISPPARAMS p = {reversed.empty() ? nullptr : reversed.data(), named ? &namedId : nullptr,
                        static_cast<UINT>(reversed.size()), named ? 1u : 0u};
        EXCEPINFO info = {};
        UINT argErr = 0;
        ++m_tally.calls;
        const HRESULT hr = m_dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &p,
                                              wantResult ? result.Receive() : nullptr, &info, &argErr);
        SysFreeString(info.bstrSource);
        SysFreeString(info.bstrDescription);
        SysFreeString(info.bstrHelpFile);
        ++m_tally.outcomes[HrName(hr)];
        return hr;
    }

    void Finding(const std::string& text) {
        if (m_tally.findings.size() < 200) m_tally.findings.push_back(text);
    }

    // What every call must satisfy, whatever it was given.
    void CheckOutcome(const nelo::DispEntry& e, HRESULT hr, const nelo::Variant& result, VARTYPE testedType,
                      const std::string& what) {
        const Family family = FamilyOf(e.name);
        if (hr == DISP_E_TYPEMISMATCH) {
            if (testedType == VT_VARIANT) Finding(what + ": type mismatch for a VARIANT parameter");
            return;
        }
        if (hr == DISP_E_PARAMNOTOPTIONAL && testedType != VT_VARIANT) return;  // VT_ERROR "missing" given
        if (hr == DISP_E_EXCEPTION && std::wstring(e.name) == L"OcxMemoryBlockCreate") return;  // out of memory
        if (hr != S_OK) {
            Finding(what + ": " + HrName(hr));
            return;
        }
        const VARTYPE vt = result.Type();
        const bool typeOk = e.resultType == VT_VARIANT ? (vt == VT_EMPTY || vt == (VT_ARRAY | VT_VARIANT))
                                                       : vt == e.resultType;
        if (!typeOk) {
            Finding(what + ": result type " + std::to_string(vt));
            return;
        }
        const LONG value = vt == VT_I4 ? V_I4(result.Get()) : 0;
        if ((family == Family::YesNo || family == Family::ZeroForSuccess) && value != 0 && value != 1)
            Finding(what + ": result " + std::to_string(value) + " is no yes/no value");
        if (family == Family::CountOrHandle && value < 0) Finding(what + ": negative count or handle");
        if (vt == (VT_ARRAY | VT_VARIANT) && SafeArrayGetDim(V_ARRAY(result.Get())) != 1)
            Finding(what + ": returned array is not one-dimensional");
    }

    // Side effects the matrix must not pile up: blocks it made are released at once.
    void Tidy(const nelo::DispEntry& e, HRESULT hr, const nelo::Variant& result) {
        if (hr == S_OK && std::wstring(e.name) == L"OcxMemoryBlockCreate" && result.Type() == VT_I4 &&
            V_I4(result.Get()) > 0 && V_I4(result.Get()) != m_block)
            CallLong(L"OcxMemoryBlockRelease", {nelo::Variant::FromI4(V_I4(result.Get()))});
    }

    void EnterState(State s) {
        m_state = s;
        switch (s) {
            case State::EngineFailing: MakeEngineFailEverywhere(); break;
            case State::Scoring:
                FakePs_Hold("PsSoundByName");
                FakePs_Hold("PsSoundByPoint");
                break;
            default: break;
        }
        RefreshState();
    }

    // The matrix itself may stop a sound or a recording: brought back before each method.
    void RefreshState() {
        switch (m_state) {
            case State::Scoring:
                CallLong(L"OcxScoreSoundByName", {nelo::Variant::FromI4(m_session), nelo::Variant::FromString(L"tone.wav"),
                                                  nelo::Variant::FromUI4(0), nelo::Variant::FromI4(0)});
                break;
            case State::Playing:
            case State::Paused:
                // Opening through MCI is slow under Wine: only when the matrix closed the sound.
                if (m_ctrl->m_objPlayer.wDeviceID != 0) break;
                CallLong(L"OcxPlaySoundByFile", {nelo::Variant::FromI4(0), nelo::Variant::FromString(L"tone.wav")});
                if (m_state == State::Paused) CallLong(L"OcxPauseSound", {});
                break;
            case State::Recording:
                CallLong(L"OcxSetRecordNoVoiceTime", {nelo::Variant::FromI4(20000)});
                CallLong(L"OcxBeginRecord", {nelo::Variant::FromString(L"rec.wav"), nelo::Variant::FromI4(0)});
                break;
            case State::MemoryBlocks:
                if (CallLong(L"OcxMemoryBlockWriteByStr", {nelo::Variant::FromI4(m_block), nelo::Variant::FromI4(0),
                                                          nelo::Variant::FromString(L"52494646")}) == 0) {
                    m_block = CallLong(L"OcxMemoryBlockCreate", {nelo::Variant::FromI4(4096)});
                }
                break;
            default: break;
        }
        PumpPending();
    }

    void LeaveState() {
        switch (m_state) {
            case State::Scoring:
                FakePs_Release("PsSoundByName");
                FakePs_Release("PsSoundByPoint");
                PumpUntil([] { return FakePs_InsideCount() == 0; }, 60000);
                break;
            case State::Recording: {
                Guarded("OcxCancelRecord leaving the recording state", [&] {
                    const nelo::DispEntry* e = FindDispEntry(m_table, m_tableSize, L"OcxCancelRecord");
                    nelo::Variant r;
                    Invoke(*e, false, {}, r);
                });
                break;
            }
            case State::Playing:
            case State::Paused:
                CallLong(L"OcxCloseSound", {});
                break;
            default: break;
        }
        FakePs_Reset();
        PumpPending();
        m_state = State::Idle;
    }

    // Which values of the catalogue a pass takes: every `stride`-th (starting
    // at `offset`, so passes in different states cover different values), by
    // name every `nameStride`-th; methods that open a sound through MCI (a
    // few hundred milliseconds a call under Wine) every `soundStride`-th.
    struct Sampling { size_t stride, nameStride, soundStride, offset; };

    static bool OpensSound(const nelo::DispEntry& e) {
        const std::wstring n = e.name;
        return n.find(L"SoundBy") != std::wstring::npos && n.find(L"Score") == std::wstring::npos;
    }

    // Every sampled value in every position of every method, by DISPID and by name.
    void RunMatrix(State s, const Sampling& sampling) {
        EnterState(s);
        const std::vector<HostileValue>& values = m_values->Values();
        for (size_t m = 0; m < m_tableSize; ++m) {
            const nelo::DispEntry& e = m_table[m];
            const ULONGLONG methodStart = GetTickCount64();
            RefreshState();
            std::vector<VARIANT> benign(e.paramCount);
            for (UINT i = 0; i < e.paramCount; ++i)
                MakeBenignArgument(e.paramTypes[i], e.paramTypes[i] == VT_I4 && i == 0 ? BenignHandle(e) : 1, benign[i]);
            for (UINT position = 0; position < e.paramCount; ++position) {
                const size_t stride = OpensSound(e) ? sampling.soundStride : sampling.stride;
                for (size_t v = 0; v < values.size(); ++v) {
                    const size_t k = v + sampling.offset + position;
                    if (k % stride != 0) continue;
                    std::vector<VARIANT> args = benign;
                    args[position] = values[v].value;
                    for (int byName = 0; byName < 2; ++byName) {
                        if (byName && k % (stride * sampling.nameStride) != 0) continue;
                        const std::string what = std::string(StateName(s)) + ": " + Narrow(e.name) + " argument " +
                                                 std::to_string(position + 1) + " = " + values[v].name +
                                                 (byName ? " (by name)" : " (by DISPID)");
                        nelo::Variant result;
                        HRESULT hr = S_OK;
                        Guarded(what, [&] { hr = Invoke(e, byName != 0, args, result); });
                        CheckOutcome(e, hr, result, e.paramTypes[position], what);
                        Tidy(e, hr, result);
                    }
                }
                PumpPending();
            }
            if (e.paramCount == 0) {
                nelo::Variant result;
                HRESULT hr = S_OK;
                const std::string what = std::string(StateName(s)) + ": " + Narrow(e.name);
                Guarded(what, [&] { hr = Invoke(e, false, {}, result); });
                CheckOutcome(e, hr, result, VT_EMPTY, what);
                Guarded(what + " (by name)", [&] { hr = Invoke(e, true, {}, result); });
                CheckOutcome(e, hr, result, VT_EMPTY, what + " (by name)");
            }
            for (VARIANT& b : benign) VariantClear(&b);
            const std::vector<std::string> outside = m_guard->Check();
            for (const std::string& o : outside) Finding(std::string(StateName(s)) + ", after " + Narrow(e.name) + ": " + o);
            PumpPending();
            m_methodMs[Narrow(e.name)] += GetTickCount64() - methodStart;
        }
        LeaveState();
    }

    LONG BenignHandle(const nelo::DispEntry& e) const {
        const std::wstring n = e.name;
        if (n.find(L"MemoryBlock") != std::wstring::npos || n.find(L"MBBuf") != std::wstring::npos) return m_block;
        if (n == L"OcxOpenSoundByFile" || n == L"OcxPlaySoundByFile" || n == L"OcxGetFileData") return 0;
        return m_session;
    }

    void Report(const char* title) {
        std::printf("[ figures  ] %s: %ld calls (%ld by name)", title, m_tally.calls, m_tally.byName);
        for (const auto& o : m_tally.outcomes) std::printf(", %s %ld", o.first.c_str(), o.second);
        std::printf("; recorder boxes dismissed %zu\n", WorkerBoxes().size());
        for (const std::string& f : m_tally.findings) ADD_FAILURE() << f;
    }

    nelo::ComPtr<IDispatch> m_dispatch;
    CNeloRecognitionCtrl* m_ctrl = nullptr;
    const nelo::DispEntry* m_table = nullptr;
    size_t m_tableSize = 0;
    LONG m_session = 0;
    LONG m_block = 0;
    State m_state = State::Idle;
    std::unique_ptr<OutsideGuard> m_guard;
    std::unique_ptr<ArgumentCatalogue> m_values;
    Tally m_tally;
    std::map<std::string, ULONGLONG> m_methodMs;  // time spent per method, for tuning the bounded pass
};

TEST_F(DispatchMatrix, EveryMethodTakesEveryHostileValueInEveryState) {
    // Bounded: a third of the values with no sound open, a seventh in every other
    // state (each state a different seventh). NELO_ROBUSTNESS_FULL=1 takes
    // every value everywhere, by DISPID and by name (about an hour).
    const bool full = std::getenv("NELO_ROBUSTNESS_FULL") != nullptr;
    const Sampling idle = full ? Sampling{1, 1, 1, 0} : Sampling{3, 3, 12, 0};
    const struct { State state; Sampling sampling; } plan[] = {
        {State::Idle, idle},
        {State::MemoryBlocks, full ? idle : Sampling{7, 3, 21, 1}},
        {State::EngineFailing, full ? idle : Sampling{7, 3, 21, 2}},
        {State::Scoring, full ? idle : Sampling{7, 3, 21, 3}},
        {State::Playing, full ? idle : Sampling{7, 3, 21, 4}},
        {State::Paused, full ? idle : Sampling{7, 3, 21, 5}},
        {State::Recording, full ? idle : Sampling{7, 3, 21, 6}},
    };
    const char* only = std::getenv("NELO_ROBUSTNESS_STATES");  // e.g. "0" or "0356": states by number
    for (const auto& step : plan) {
        if (only && !std::strchr(only, '0' + static_cast<int>(step.state))) continue;
        const long before = m_tally.calls;
        const ULONGLONG started = GetTickCount64();
        RunMatrix(step.state, step.sampling);
        std::printf("[ figures  ] %-22s %7ld calls in %5.1f s\n", StateName(step.state), m_tally.calls - before,
                    (GetTickCount64() - started) / 1000.0);
    }
    std::vector<std::pair<ULONGLONG, std::string>> costly;
    for (const auto& m : m_methodMs) costly.push_back({m.second, m.first});
    std::sort(costly.rbegin(), costly.rend());
    for (size_t i = 0; i < costly.size() && i < 8; ++i)
        std::printf("[ figures  ]   %-28s %6.1f s\n", costly[i].second.c_str(), costly[i].first / 1000.0);
    Report("hostile value matrix");
}

// The call's shape rather than its values: too few, too many, named and
// "missing" arguments, other invoke flags, no result pointer, unknown members.
TEST_F(DispatchMatrix, MalformedCallsAreRefusedByTheDispatchLayer) {
    for (size_t m = 0; m < m_tableSize; ++m) {
        const nelo::DispEntry& e = m_table[m];
        std::vector<VARIANT> benign(e.paramCount);
        for (UINT i = 0; i < e.paramCount; ++i) MakeBenignArgument(e.paramTypes[i], BenignHandle(e), benign[i]);
        const std::string name = Narrow(e.name);
        struct Case { std::string what; std::vector<VARIANT> args; WORD flags; bool named; std::set<HRESULT> allowed; };
        std::vector<Case> cases;
        std::vector<VARIANT> extra = benign;
        extra.push_back(benign.empty() ? VARIANT{} : benign[0]);
        cases.push_back({"one argument too many", extra, DISPATCH_METHOD, false, {DISP_E_BADPARAMCOUNT}});
        if (e.paramCount > 0) {
            std::vector<VARIANT> fewer(benign.begin(), benign.end() - 1);
            cases.push_back({"one argument too few", fewer, DISPATCH_METHOD, false, {DISP_E_PARAMNOTOPTIONAL, DISP_E_BADPARAMCOUNT}});
            cases.push_back({"named argument", benign, DISPATCH_METHOD, true, {DISP_E_NONAMEDARGS}});
        }
        cases.push_back({"property put", benign, DISPATCH_PROPERTYPUT, false, {DISP_E_MEMBERNOTFOUND}});
        cases.push_back({"no flags", benign, 0, false, {DISP_E_MEMBERNOTFOUND}});
        for (Case& c : cases) {
            nelo::Variant result;
            HRESULT hr = S_OK;
            Guarded(name + ": " + c.what, [&] { hr = Invoke(e, false, c.args, result, c.flags, c.named); });
            EXPECT_TRUE(c.allowed.count(hr)) << name << ": " << c.what << " gave " << HrName(hr);
        }
        // A caller that wants no result still gets the call made, and nothing leaks.
        nelo::Variant unused;
        HRESULT hr = S_OK;
        Guarded(name + " without a result pointer", [&] { hr = Invoke(e, false, benign, unused, DISPATCH_METHOD, false, false); });
        EXPECT_TRUE(hr == S_OK || hr == DISP_E_TYPEMISMATCH) << name << " without a result pointer: " << HrName(hr);
        Tidy(e, hr, unused);
        for (VARIANT& b : benign) VariantClear(&b);
    }
    // Members that do not exist, and names that do not resolve.
    for (DISPID id : std::initializer_list<DISPID>{0, -1, 23, 31, 34, 41, 72, 1000, DISPID_NEWENUM, DISPID_VALUE, static_cast<DISPID>(0x80000000)}) {
        DISPPARAMS none = {nullptr, nullptr, 0, 0};
        nelo::Variant result;
        EXPECT_EQ(m_dispatch->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &none, result.Get(), nullptr, nullptr),
                  DISP_E_MEMBERNOTFOUND) << "DISPID " << id;
    }
    for (const wchar_t* odd : {L"", L"Ocx", L"OcxGetEngineVer ", L"OcxGetEngineVer\x0100", L"%n%s"}) {
        LPOLESTR names[] = {const_cast<LPOLESTR>(odd)};
        DISPID id = 7;
        EXPECT_EQ(m_dispatch->GetIDsOfNames(IID_NULL, names, 1, 0, &id), DISP_E_UNKNOWNNAME) << Narrow(odd);
        EXPECT_EQ(id, DISPID_UNKNOWN);
    }
    LPOLESTR mixedCase[] = {const_cast<LPOLESTR>(L"oCXgETrESpHONEMEcOUNT"), const_cast<LPOLESTR>(L"nSession")};
    DISPID ids[2] = {};
    EXPECT_EQ(m_dispatch->GetIDsOfNames(IID_NULL, mixedCase, 1, 0, ids), S_OK);
    EXPECT_EQ(ids[0], 28);
    EXPECT_EQ(m_dispatch->GetIDsOfNames(IID_NULL, mixedCase, 2, 0, ids), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(m_dispatch->GetIDsOfNames(IID_NULL, nullptr, 1, 0, ids), E_POINTER);
    Report("malformed calls");
}

// Each method that takes a file name refuses every hostile one with its
// failure value and its own log line, and the sentinel files stay as they were.
TEST_F(DispatchMatrix, HostileFileNamesAreRefusedWithTheFailureValueAndALogLine) {
    // failure -1: the empty VARIANT of the array family.
    const struct { const wchar_t* method; int namePosition; bool hasDirType; LONG failure; const char* logLine; } methods[] = {
        {L"OcxRemoveFile", 0, false, 0, "OcxRemoveFile: param of strFileName is incorrect!"},
        {L"OcxGetFileData", 1, true, -1, "OcxGetFileData: param of strFileName is incorrect!"},
        {L"OcxOpenSoundByFile", 1, true, 1, "OcxOpenSoundByFile: param of strFileName is incorrect!"},
        {L"OcxPlaySoundByFile", 1, true, 1, "param of strFileName is incorrect!"},
        {L"OcxBeginRecord", 0, false, 1, "OcxBeginRecord: param of strFileName is incorrect!"},
        {L"OcxScoreSoundByName", 1, false, 0, "OcxScoreSoundByName: param of strFileName is incorrect!"},
    };
    const std::vector<const HostileValue*> names = m_values->FileNames();
    ASSERT_GT(names.size(), 30u);
    for (const auto& m : methods) {
        const nelo::DispEntry* e = FindDispEntry(m_table, m_tableSize, m.method);
        ASSERT_NE(e, nullptr);
        for (int dirType = 0; dirType < (m.hasDirType ? 2 : 1); ++dirType) {
            for (const HostileValue* name : names) {
                std::vector<VARIANT> args(e->paramCount);
                for (UINT i = 0; i < e->paramCount; ++i) MakeBenignArgument(e->paramTypes[i], m_session, args[i]);
                if (m.hasDirType) V_I4(&args[0]) = dirType;
                VariantClear(&args[m.namePosition]);
                args[m.namePosition] = name->value;  // borrowed: not cleared below
                const size_t logBefore = FlushedLog().size();
                nelo::Variant result;
                HRESULT hr = S_OK;
                const std::string what = Narrow(m.method) + " (folder " + std::to_string(dirType) + ") with " + name->name;
                Guarded(what, [&] { hr = Invoke(*e, false, args, result); });
                for (UINT i = 0; i < e->paramCount; ++i)
                    if (static_cast<int>(i) != m.namePosition) VariantClear(&args[i]);
                ASSERT_EQ(hr, S_OK) << what;
                if (m.failure == -1) {
                    EXPECT_EQ(result.Type(), VT_EMPTY) << what;
                } else {
                    EXPECT_EQ(V_I4(result.Get()), m.failure) << what;
                }
                const std::string added = FlushedLog().substr(logBefore);
                EXPECT_NE(added.find(m.logLine), std::string::npos) << what << "; log got: " << added;
            }
        }
        PumpPending();
    }
    const std::vector<std::string> outside = m_guard->Check();
    EXPECT_TRUE(outside.empty()) << outside.front();
    Report("hostile file names");
}

// The long run: random methods with random values in every position, random
// states, for NELO_ROBUSTNESS_SECONDS (a short burst otherwise).
TEST_F(DispatchMatrix, RandomCombinationsForASetTime) {
    const char* env = std::getenv("NELO_ROBUSTNESS_SECONDS");
    const double seconds = env ? std::atof(env) : 8.0;
    const unsigned seed = env && std::getenv("NELO_ROBUSTNESS_SEED") ? std::atoi(std::getenv("NELO_ROBUSTNESS_SEED"))
                                                                     : GetTickCount();
    std::printf("[ figures  ] random combinations for %.0f s, seed %u\n", seconds, seed);
    std::srand(seed);
    const std::vector<HostileValue>& values = m_values->Values();
    const State states[] = {State::Idle, State::MemoryBlocks, State::EngineFailing, State::Scoring,
                            State::Playing, State::Paused, State::Recording};
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(seconds * 1000);
    while (GetTickCount64() < end) {
        EnterState(states[std::rand() % 7]);
        for (int round = 0; round < 300; ++round) {
            const nelo::DispEntry& e = m_table[std::rand() % m_tableSize];
            std::vector<VARIANT> args(e.paramCount);
            std::string what = std::string(StateName(m_state)) + ": " + Narrow(e.name) + "(";
            for (UINT i = 0; i < e.paramCount; ++i) {
                const HostileValue& chosen = values[std::rand() % values.size()];
                args[i] = chosen.value;
                what += (i ? ", " : "") + chosen.name;
            }
            what += ")";
            const bool byName = (std::rand() & 1) != 0;
            // A typed parameter among them may refuse its value as a type mismatch.
            VARTYPE tested = VT_VARIANT;
            for (UINT i = 0; i < e.paramCount; ++i)
                if (e.paramTypes[i] != VT_VARIANT) tested = e.paramTypes[i];
            nelo::Variant result;
            HRESULT hr = S_OK;
            Guarded(what, [&] { hr = Invoke(e, byName, args, result); });
            CheckOutcome(e, hr, result, tested, what);
            Tidy(e, hr, result);
            if (round % 50 == 0) PumpPending();
        }
        LeaveState();
        for (const std::string& o : m_guard->Check()) Finding("random run: " + o);
    }
    Report("random combinations");
}

}  // namespace
