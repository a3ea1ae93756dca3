// A Win32 thread running a function, joined on destruction; and a manual
// reset event. Tests wait on these with generous limits, never sleep.
#pragma once
#include <windows.h>

#include <functional>
#include <memory>

namespace nelo::test {

class Win32Thread {
public:
    explicit Win32Thread(std::function<void()> body) : body_(new std::function<void()>(std::move(body))) {
        handle_ = CreateThread(nullptr, 0, &Win32Thread::Run, body_.get(), 0, nullptr);
    }
    ~Win32Thread() { join(); }
    Win32Thread(const Win32Thread&) = delete;
    Win32Thread& operator=(const Win32Thread&) = delete;

    bool started() const { return handle_ != nullptr; }
    // True when the thread ended within the limit.
    bool join(DWORD limitMs = 120000) {
        if (!handle_) return true;
        const bool ended = WaitForSingleObject(handle_, limitMs) == WAIT_OBJECT_0;
        if (ended) {
            CloseHandle(handle_);
            handle_ = nullptr;
        }
        return ended;
    }

private:
    static DWORD WINAPI Run(LPVOID p) {
        (*static_cast<std::function<void()>*>(p))();
        return 0;
    }
    std::unique_ptr<std::function<void()>> body_;
    HANDLE handle_ = nullptr;
};

class Event {
public:
    Event() : h_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    ~Event() { CloseHandle(h_); }
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;
    void set() { SetEvent(h_); }
    bool wait(DWORD limitMs = 60000) { return WaitForSingleObject(h_, limitMs) == WAIT_OBJECT_0; }

private:
    HANDLE h_;
};

}  // namespace nelo::test
