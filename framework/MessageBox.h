// Message boxes of the module. In the product every call shows a real, modal box. A test
// that links the module's code into its own executable installs a handler instead: it
// sees the text and the box type and answers as the user would, and no window appears.
// (There is deliberately no environment variable or export for this: the shipped module
// has no switch that a page or a user could turn.)
#pragma once
#include <windows.h>
#include <string>

namespace nelo {

using MessageBoxHandler = int (*)(const std::wstring& text, UINT type);

// Shows text (caption: the executable's name, as the system does for an owner-less box)
// and returns the button chosen.
int ShowMessageBox(const std::wstring& text, UINT type);

// Replaces the real box (nullptr restores it); returns the previous handler.
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);

}  // namespace nelo
