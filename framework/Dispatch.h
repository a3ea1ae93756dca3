// Table-driven IDispatch: each member is a row {DISPID, name, result type, parameter types,
// handler}. Invoke converts every argument to its declared type before the handler runs, so
// handlers only ever see well-typed values; no script value can reach them unchecked.
#pragma once
#include <windows.h>
#include <oleauto.h>
#include <cstddef>

namespace nelo {

constexpr UINT kMaxDispParams = 4;

// Handler: args[i] is parameter i in declaration order (already converted; VT_VARIANT
// parameters are the caller's VARIANT as passed). *result is empty on entry.
using DispHandler = void (*)(void* self, VARIANT* const* args, VARIANT* result);

struct DispEntry {
    DISPID id;
    const wchar_t* name;
    VARTYPE resultType;  // VT_EMPTY: no result
    UINT paramCount;
    VARTYPE paramTypes[kMaxDispParams];
    DispHandler handler;
};

const DispEntry* FindDispEntry(const DispEntry* table, size_t count, DISPID id);
// Names are matched without regard to case, as script languages expect.
const DispEntry* FindDispEntry(const DispEntry* table, size_t count, const wchar_t* name);

HRESULT GetIDsFromTable(const DispEntry* table, size_t count, LPOLESTR* names, UINT nameCount,
                        DISPID* ids);

// Runs one member for a caller's DISPPARAMS: refuses named arguments, wrong counts and
// unconvertible values (DISP_E_TYPEMISMATCH with *argErr set to the argument's position in
// rgvarg), converts the rest, calls the handler and hands its result over.
HRESULT InvokeDispEntry(const DispEntry& entry, void* self, WORD flags, DISPPARAMS* params,
                        VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr);

}  // namespace nelo
