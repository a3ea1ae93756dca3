// Owning BSTR: freed with SysFreeString on every way out.
#pragma once
#include <windows.h>
#include <oleauto.h>
#include <string>

namespace nelo {

class BStr {
public:
    BStr() = default;
    explicit BStr(const wchar_t* text) : m_s(text ? SysAllocString(text) : nullptr) {}
    explicit BStr(const std::wstring& text)
        : m_s(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
    BStr(const BStr& o) : m_s(o.m_s ? SysAllocStringLen(o.m_s, SysStringLen(o.m_s)) : nullptr) {}
    BStr(BStr&& o) noexcept : m_s(o.m_s) { o.m_s = nullptr; }
    ~BStr() { SysFreeString(m_s); }
    BStr& operator=(BStr o) noexcept { std::swap(m_s, o.m_s); return *this; }

    static BStr Adopt(BSTR s) { BStr r; r.m_s = s; return r; }

    BSTR Get() const { return m_s; }
    BSTR Detach() { BSTR s = m_s; m_s = nullptr; return s; }
    BSTR* Receive() { SysFreeString(m_s); m_s = nullptr; return &m_s; }
    UINT Length() const { return SysStringLen(m_s); }
    // A null BSTR is the empty string to automation.
    std::wstring Str() const { return m_s ? std::wstring(m_s, SysStringLen(m_s)) : std::wstring(); }

private:
    BSTR m_s = nullptr;
};

}  // namespace nelo
