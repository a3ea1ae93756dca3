// The one gate between a script's file name and the file system.
//
// The control is marked safe for untrusted pages, so a name from a script
// must never lead out of the folder it is meant for. A name is a relative
// path inside `folder`, possibly into subfolders, joined the way PathAppendW
// joins it. Refused (false, `fullPath` emptied), never cut or repaired:
// null or empty names; absolute, drive-relative and UNC paths and the
// "\\?\" and "\\.\" prefixes; ".." that climbs out of the folder; names that
// end up at the folder itself or end in a separator; device names (CON,
// NUL, COM1, ...), also with an extension or trailing dots or spaces;
// alternate data streams (any colon); parts ending in a dot or a space,
// which the system would silently strip; wildcards, characters the file
// system forbids and control characters; embedded NUL characters; results
// longer than 259 characters. '/' counts as a separator like '\'.
//
// Pure: no file-system call, so it can be driven with any data.
#pragma once

#include <cstddef>
#include <string>

// `name` as a C string; null is refused.
bool JoinInFolder(const std::wstring& folder, const wchar_t* name, std::wstring& fullPath);

// `name` with its length, for strings that carry their length (a BSTR:
// pass SysStringLen), so an embedded NUL is seen and refused.
bool JoinInFolder(const std::wstring& folder, const wchar_t* name, std::size_t nameLength,
                  std::wstring& fullPath);

bool JoinInFolder(const std::wstring& folder, const std::wstring& name, std::wstring& fullPath);

// The longest full path accepted: the system's 260-character limit less
// the terminating NUL.
const std::size_t kMaxJoinedPath = 259;
