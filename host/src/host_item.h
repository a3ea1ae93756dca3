// The "host" named item: the few services a test or demo script needs from
// its host (output, waiting with message pumping, ending the run, arguments,
// time, environment, processes, files, assertions). Members are documented
// in host/README.md.
#pragma once

#include <windows.h>
#include <oaidl.h>
#include <string>
#include <vector>

#include "com_object.h"
#include "run_state.h"

class CHostItem : public IDispatch {
public:
    CHostItem(CRunState& state, std::vector<std::wstring> scriptArgs, std::wstring scriptDir);

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    NELO_IMPLEMENT_REFCOUNT(CHostItem)

    STDMETHODIMP GetTypeInfoCount(UINT* pctinfo) override;
    STDMETHODIMP GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) override;
    STDMETHODIMP GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid, DISPID* rgDispId) override;
    STDMETHODIMP Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags, DISPPARAMS* pDispParams,
                        VARIANT* pVarResult, EXCEPINFO* pExcepInfo, UINT* puArgErr) override;

private:
    virtual ~CHostItem() = default;
    HRESULT Call(DISPID id, const DISPPARAMS* params, VARIANT* result, EXCEPINFO* excepInfo);

    CRefCount m_ref;
    CRunState& m_state;
    std::vector<std::wstring> m_scriptArgs;
    std::wstring m_strScriptDir;
    LARGE_INTEGER m_clockStart;
    LARGE_INTEGER m_clockFrequency;
};
