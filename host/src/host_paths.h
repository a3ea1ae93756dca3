// Paths from the command line and from scripts may be Linux paths
// (/work/x.js) or Windows paths. Under Wine a Linux path is mapped through
// Wine's own drive table; the pure helpers below are the fallback and are
// what the tests pin down.
#pragma once

#include <string>

// "/x/y" but not "//server/share": a path rooted in the Linux file system.
bool LooksLikeUnixPath(const std::wstring& path);
// The mapping Wine uses when Z: is the root drive: "/a/b" -> "Z:\a\b".
std::wstring UnixPathToDriveZ(const std::wstring& path);

bool RunningUnderWine();

// A full Windows path for `path`; Linux paths are translated when running
// under Wine, relative paths are made absolute against the current folder.
std::wstring ResolveHostPath(const std::wstring& path);

// The Linux path of a Windows path (Wine only); empty when not available.
std::wstring UnixPathOf(const std::wstring& windowsPath);
