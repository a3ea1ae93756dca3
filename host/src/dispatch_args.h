// Reading the arguments of an IDispatch::Invoke call in script order, with
// the conversions the host's own objects need, and raising script errors.
#pragma once

#include <windows.h>
#include <oaidl.h>
#include <string>

class CDispArgs {
public:
    explicit CDispArgs(const DISPPARAMS* params) : m_params(params) {}

    UINT Count() const;
    // Absent: beyond the count, or a VBScript "missing" (VT_ERROR
    // DISP_E_PARAMNOTFOUND), or JScript's undefined (VT_EMPTY).
    bool IsAbsent(UINT index) const;
    // The argument with any VT_BYREF followed; nullptr beyond the count.
    const VARIANT* At(UINT index) const;

    bool String(UINT index, std::wstring& out) const;
    bool Double(UINT index, double& out) const;
    // A whole number in [minValue, maxValue].
    bool Integer(UINT index, long long minValue, long long maxValue, long long& out) const;
    bool Bool(UINT index, bool& out) const;

private:
    const DISPPARAMS* m_params;
};

// Text a script would show for the value: numbers with a '.' decimal point,
// booleans as True/False, undefined/Empty as "", Null as "null".
std::wstring VariantToText(const VARIANT& value);

// Fills EXCEPINFO so the engine raises `text` as a script error.
HRESULT RaiseScriptError(EXCEPINFO* excepInfo, const std::wstring& text);
