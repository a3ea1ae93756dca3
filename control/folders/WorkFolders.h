// The control's folders: the module folder (where the module file lies,
// with its trailing backslash), the working folder in the user's temporary
// area (also home of the log), the record-temp folder inside it, and the
// resources folder next to the module.
#pragma once

#include <windows.h>
#include <string>

// Shows a text to the user; the control passes one that opens a message box.
// May be null: the text is then dropped.
using MessageSink = void (*)(const std::wstring& text);

// Finds the module and working folders and makes sure the working folder is
// a folder (a file of that name is replaced). Shows "创建目录失败：<path>"
// when the folder cannot be made; start-up goes on.
void PrepareWorkDir(HMODULE module, std::wstring& moduleDir, std::wstring& workDir, MessageSink show);

// Makes sure the record-temp folder exists and deletes the files in it
// (subfolders and their content stay). Deletion failures are ignored.
void PrepareRecordTempDir(const std::wstring& workDir, MessageSink show);

std::wstring GetRecordTempDir(const std::wstring& workDir);
std::wstring GetResourceDir(const std::wstring& moduleDir);

// The log file's path inside the working folder.
std::wstring GetLogPath(const std::wstring& workDir);

// The folder a script chooses with nDirType; false for any other value.
const int DIRTYPE_RECORDTEMP = 0;
const int DIRTYPE_RESOURCES = 1;
bool GetDirForType(int nDirType, const std::wstring& moduleDir, const std::wstring& workDir,
                   std::wstring& folder);

// Makes a new empty temporary sound file "SND<hex>.tmp" in `folder` (the
// system picks the unique name); false when it cannot be created.
bool CreateTempSoundFile(const std::wstring& folder, std::wstring& path);
