#include "MessageBox.h"

#include <string>

#include "Registration.h"

namespace nelo {
namespace {

MessageBoxHandler volatile g_handler = nullptr;

std::wstring ProcessTitle() {
    std::wstring path = GetModulePath(nullptr);
    size_t slash = path.find_last_of(L"\\/");
    std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
    size_t dot = name.find_last_of(L'.');
    return dot == std::wstring::npos ? name : name.substr(0, dot);
}

}  // namespace

int ShowMessageBox(const std::wstring& text, UINT type) {
    MessageBoxHandler handler = g_handler;
    if (handler) return handler(text, type);
    return MessageBoxW(nullptr, text.c_str(), ProcessTitle().c_str(), type | MB_TASKMODAL);
}

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler) {
    return reinterpret_cast<MessageBoxHandler>(InterlockedExchangePointer(
        reinterpret_cast<PVOID volatile*>(&g_handler), reinterpret_cast<PVOID>(handler)));
}

}  // namespace nelo
