// Where the control's events go. The control fires into the host's sink;
// the router turns the event's DISPID into its name and calls the script:
//   - a handler the engine bound through IBindEventHandler
//     (JScript's `function ctrl::EVENT_X(w, l)`), else
//   - in VBScript, the global `Sub ctrl_EVENT_X(w, l)`, found by name in
//     the script's dispatch at the time of the event (Subs from --lib files
//     and from code parsed later are found too).
#pragma once

#include <windows.h>
#include <activscp.h>
#include <map>
#include <string>

#include "com_ptr.h"
#include "command_line.h"
#include "run_state.h"

class CEventRouter {
public:
    CEventRouter(CRunState& state, EScriptLanguage language, std::wstring itemName);
    CEventRouter(const CEventRouter&) = delete;
    CEventRouter& operator=(const CEventRouter&) = delete;

    void SetEngine(IActiveScript* engine) { m_engine = CComPtr<IActiveScript>::Share(engine); }
    void AddEventName(DISPID id, const std::wstring& name) { m_eventNames[id] = name; }
    // From the item's IBindEventHandler; a later binding replaces an earlier one.
    void BindHandler(const std::wstring& eventName, IDispatch* handler);
    // Drops every reference into the engine; called before it is closed.
    void Clear();

    // Calls the script for one event; failures are reported and stop the run.
    HRESULT Deliver(DISPID id, DISPPARAMS* params);

    // The VBScript Sub that handles `eventName` of this item ("ctrl_EVENT_X").
    std::wstring VBScriptHandlerName(const std::wstring& eventName) const;

private:
    HRESULT CallBoundHandler(IDispatch* handler, DISPPARAMS* params, EXCEPINFO* e);
    HRESULT CallVBScriptSub(const std::wstring& eventName, DISPPARAMS* params, EXCEPINFO* e, bool& found);

    CRunState& m_state;
    EScriptLanguage m_language;
    std::wstring m_strItemName;
    CComPtr<IActiveScript> m_engine;
    std::map<DISPID, std::wstring> m_eventNames;
    std::map<std::wstring, CComPtr<IDispatch>> m_handlers;
};

// Copies event arguments for Wine's VBScript, which cannot compare or add
// unsigned 32-bit values: VT_UI4 becomes VT_I4 when it fits and VT_R8 when
// not. Other values are copied unchanged. Pure; tested directly.
void ConvertArgsForVBScript(const DISPPARAMS& in, VARIANT* out);
