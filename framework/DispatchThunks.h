// Builds dispatch rows from member function pointers: parameter and result automation types
// follow from the C++ signature, so the table cannot disagree with the method it calls.
//   LONG -> VT_I4, ULONG -> VT_UI4, BSTR -> VT_BSTR (borrowed in, owned out),
//   const VARIANT& -> VT_VARIANT (the caller's value as passed), VARIANT result -> owned,
//   void result -> none.
#pragma once
#include <type_traits>
#include <utility>

#include "Dispatch.h"

namespace nelo {

template <class T> struct DispArg;
template <> struct DispArg<LONG> {
    static constexpr VARTYPE vt = VT_I4;
    static LONG From(VARIANT& v) { return V_I4(&v); }
};
template <> struct DispArg<ULONG> {
    static constexpr VARTYPE vt = VT_UI4;
    static ULONG From(VARIANT& v) { return V_UI4(&v); }
};
template <> struct DispArg<BSTR> {
    static constexpr VARTYPE vt = VT_BSTR;
    static BSTR From(VARIANT& v) { return V_BSTR(&v); }
};
template <> struct DispArg<const VARIANT&> {
    static constexpr VARTYPE vt = VT_VARIANT;
    static const VARIANT& From(VARIANT& v) { return v; }
};

template <class T> struct DispResult;
template <> struct DispResult<void> { static constexpr VARTYPE vt = VT_EMPTY; };
template <> struct DispResult<LONG> {
    static constexpr VARTYPE vt = VT_I4;
    static void To(VARIANT* r, LONG x) { V_VT(r) = VT_I4; V_I4(r) = x; }
};
template <> struct DispResult<ULONG> {
    static constexpr VARTYPE vt = VT_UI4;
    static void To(VARIANT* r, ULONG x) { V_VT(r) = VT_UI4; V_UI4(r) = x; }
};
template <> struct DispResult<BSTR> {
    static constexpr VARTYPE vt = VT_BSTR;
    static void To(VARIANT* r, BSTR x) { V_VT(r) = VT_BSTR; V_BSTR(r) = x; }
};
template <> struct DispResult<VARIANT> {
    static constexpr VARTYPE vt = VT_VARIANT;
    static void To(VARIANT* r, VARIANT x) { *r = x; }
};

template <auto Method> struct DispMethod;

template <class C, class R, class... A, R (C::*Method)(A...)>
struct DispMethod<Method> {
    static_assert(sizeof...(A) <= kMaxDispParams, "too many dispatch parameters");

    static void Call(void* self, VARIANT* const* args, VARIANT* result) {
        CallWith(static_cast<C*>(self), args, result, std::index_sequence_for<A...>{});
    }

    static constexpr DispEntry Make(DISPID id, const wchar_t* name) {
        return DispEntry{id, name, DispResult<R>::vt, static_cast<UINT>(sizeof...(A)),
                         {DispArg<A>::vt...}, &Call};
    }

private:
    template <size_t... I>
    static void CallWith(C* self, VARIANT* const* args, VARIANT* result, std::index_sequence<I...>) {
        if constexpr (std::is_void_v<R>) {
            (self->*Method)(DispArg<A>::From(*args[I])...);
        } else {
            DispResult<R>::To(result, (self->*Method)(DispArg<A>::From(*args[I])...));
        }
    }
};

}  // namespace nelo

// One row of a dispatch table: NELO_DISP(Class, 42, Method) uses the method's own name.
#define NELO_DISP(Class, dispid, Method) ::nelo::DispMethod<&Class::Method>::Make(dispid, L## #Method)
