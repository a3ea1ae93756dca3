// Owning Win32 kernel handle (thread, event, file): CloseHandle on every way out.
#pragma once
#include <windows.h>
#include <utility>

namespace nelo {

class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(HANDLE h) : m_h(Normalise(h)) {}
    UniqueHandle(UniqueHandle&& o) noexcept : m_h(o.m_h) { o.m_h = nullptr; }
    UniqueHandle& operator=(UniqueHandle&& o) noexcept {
        if (this != &o) { Reset(); m_h = o.m_h; o.m_h = nullptr; }
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { Reset(); }

    void Reset(HANDLE h = nullptr) {
        if (m_h) CloseHandle(m_h);
        m_h = Normalise(h);
    }
    HANDLE Get() const { return m_h; }
    HANDLE Release() { HANDLE h = m_h; m_h = nullptr; return h; }
    explicit operator bool() const { return m_h != nullptr; }

private:
    // CreateFile reports failure as INVALID_HANDLE_VALUE, the others as null: keep one "none".
    static HANDLE Normalise(HANDLE h) { return h == INVALID_HANDLE_VALUE ? nullptr : h; }
    HANDLE m_h = nullptr;
};

}  // namespace nelo
